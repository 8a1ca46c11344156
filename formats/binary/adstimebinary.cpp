#include "adstimebinary.h"

#include "channelreader.h"
#include "headerlines.h"
#include "inputfile.h"
#include "sampleconvert.h"

#include <QByteArray>
#include <QList>

#include <algorithm>
#include <limits>

namespace {

struct TimeHeader
{
    int64_t dataOffset = 0;
    int64_t count = 0;
};

// The fourth blank-separated field of the second line as an unsigned 32-bit count.
bool countField(std::string_view line, int64_t &count)
{
    const QList<QByteArray> fields = QByteArray(line.data(), int(line.size())).split(' ');
    if (fields.size() < 4)
        return false;
    bool ok = false;
    const uint value = fields[3].trimmed().toUInt(&ok);
    count = value;
    return ok;
}

// Reads the four header lines; false (with the file and the reason noted) when the file does
// not open, ends early, has no readable count, or holds fewer points than it announces.
bool readHeader(const QString &path, TimeHeader &h)
{
    InputFile file(path);
    if (!file.isOpen())
        return false;
    HeaderLines lines(file.chars(), file.size());
    static const int64_t limits[4] = {99, 199, 99, 199};
    for (int k = 0; k < 4; ++k) {
        const auto line = lines.next(limits[k]);
        if (!line) {
            file.fail(
                    IqStatus::FirstFile,
                    QStringLiteral("the file ends inside its header, in line %1 of 4").arg(k + 1));
            return false;
        }
        if (k == 1 && !countField(*line, h.count)) {
            file.fail(IqStatus::FirstFile,
                      QStringLiteral("the header's second line has no point count as its fourth "
                                     "field"));
            return false;
        }
    }
    h.dataOffset = lines.offset();
    const int64_t present = (file.size() - h.dataOffset) / 16;
    if (h.count <= present)
        return true;
    file.fail(IqStatus::FirstFile, QStringLiteral("header announces %1 samples, the file holds %2")
                                           .arg(h.count)
                                           .arg(present));
    return false;
}

// The value of each (time, value) pair; the time column is skipped.
void valuesAt(const unsigned char *src, int64_t n, float *dst, std::ptrdiff_t stride)
{
    sampleconvert::toFloatsStrided<double>(dst, stride, src, n, 16, 8);
}

std::unique_ptr<FrameReader> openAdsTimeReader(const QString &iFile, const QString &qFile, int,
                                               IqStatus &status)
{
    TimeHeader hi, hq;
    status = IqStatus::FirstFile;
    if (!readHeader(iFile, hi))
        return nullptr;
    status = IqStatus::SecondFile;
    if (!readHeader(qFile, hq))
        return nullptr;
    return openedReader(
            std::make_unique<ChannelReader>(
                    std::min(hi.count, hq.count),
                    ChannelPlace{iFile, IqStatus::FirstFile, hi.dataOffset, 16, valuesAt},
                    ChannelPlace{qFile, IqStatus::SecondFile, hq.dataOffset, 16, valuesAt}),
            status);
}

}  // namespace

const FrameCodec &adsTimeFrameCodec()
{
    static const FrameCodec codec{openAdsTimeReader, nullptr};
    return codec;
}
