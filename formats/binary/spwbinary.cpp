#include "spwbinary.h"
#include "filetypes.h"

#include "binaryinput.h"
#include "channelreader.h"
#include "framewriters.h"
#include "sampleconvert.h"
#include "headerlines.h"
#include "inputfile.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace {

constexpr int64_t kLineBytes = 99;

struct SpwHeader
{
    int64_t dataOffset = 0;
    int64_t dataBytes = 0;  // what follows the marker
    int64_t count = 0;
    bool hasRate = false;
    double rate = 0.0;
};

// Applies one header line; false when its point count cannot be a count at all.
bool applyLine(std::string_view line, SpwHeader &h)
{
    const size_t eq = line.find("= ");
    if (eq == std::string_view::npos)
        return true;
    const std::string_view key = line.substr(0, eq);
    const std::string_view value = line.substr(eq + 2);
    if (key.find("Sampling") != std::string_view::npos) {
        h.rate = leadingDouble(value);
        h.hasRate = true;
    }
    if (key.find("Number o") != std::string_view::npos) {
        const auto n = leadingInteger(value);
        if (!n || *n < 0 || *n > std::numeric_limits<int32_t>::max())
            return false;
        h.count = *n;
    }
    return true;
}

// Reads the header up to marker; false when the file does not open or ends first. The Q
// file of the two-file type only needs its marker found (useLines false).
bool readHeader(const QString &path, std::string_view marker, SpwHeader &h, bool useLines = true)
{
    InputFile file(path);
    if (!file.isOpen())
        return false;
    HeaderLines lines(file.chars(), file.size());
    for (;;) {
        const auto line = lines.next(kLineBytes);
        if (!line) {
            const std::string_view name = marker.substr(0, marker.size() - 1);
            file.fail(IqStatus::FirstFile,
                      QStringLiteral("the header ends without its \"%1\" line")
                              .arg(QLatin1String(name.data(), int(name.size()))));
            return false;
        }
        if (*line == marker)
            break;
        if (useLines && !applyLine(*line, h)) {
            file.fail(IqStatus::FirstFile,
                      QStringLiteral("the header's number of points is not a count"));
            return false;
        }
    }
    h.dataOffset = lines.offset();
    h.dataBytes = file.size() - h.dataOffset;
    return true;
}

}  // namespace

QByteArray spwBinaryHeader(double sampleRate, int64_t sampleCount)
{
    char rate[400];
    const auto r = std::to_chars(rate, rate + sizeof rate, sampleRate, std::chars_format::fixed, 1);
    QByteArray h;
    h += "$SIGNAL_FILE 9\n$USER_COMMENT\n\n$COMMON_INFO\n     SPW Version        = 4.70\n"
         "System Type        = solaris2\n     Sampling Frequency = ";
    h += QByteArray(rate, int(r.ptr - rate));
    h += "\nStarting Time    = 0.0\n$DATA_INFO\n     Number of points   = ";
    h += QByteArray::number(qlonglong(sampleCount));
    h += "\nSignal Type          = Double\n     Complex Format     = Real_Imag\n$DATA BINARY\n";
    return h;
}

namespace {

HeaderFacts rateFact(const SpwHeader &h)
{
    return [h](IqBuffer &r) {
        if (h.hasRate)
            r.sampleRate = h.rate;
    };
}

void doublesAt(const unsigned char *src, int64_t n, float *dst, std::ptrdiff_t stride)
{
    sampleconvert::toFloatsStrided<double>(dst, stride, src, n, 8);
}

std::unique_ptr<FrameReader> openSpwReader(const QString &iFile, const QString &qFile, int typeCode,
                                           IqStatus &status)
{
    SpwHeader hi, hq;
    const bool two = typeCode == TypeCode::AdsBinarySingle;
    const int64_t frameBytes = two ? 8 : 16;
    status = IqStatus::FirstFile;
    if (!readHeader(iFile, two ? "$DATA\n" : "$DATA BINARY\n", hi))
        return nullptr;
    const auto tooFew = [&](const QString &path, int64_t held) {
        failFile(status, path,
                 QStringLiteral("header announces %1 samples, the file holds %2")
                         .arg(hi.count)
                         .arg(held));
        return nullptr;
    };
    if (hi.count > hi.dataBytes / frameBytes)
        return tooFew(iFile, hi.dataBytes / frameBytes);
    if (!two)
        return openedReader(std::make_unique<PairReader>(
                                    iFile, hi.count, hi.dataOffset, 16,
                                    [](const unsigned char *src, int64_t n, const FrameSpan &out) {
                                        sampleconvert::splitPairsStrided<double>(
                                                out.i, out.q, out.stride, src, n);
                                    },
                                    rateFact(hi)),
                            status);
    status = IqStatus::SecondFile;
    if (!readHeader(qFile, "$DATA\n", hq, false))
        return nullptr;
    if (hi.count > hq.dataBytes / 8)
        return tooFew(qFile, hq.dataBytes / 8);
    return openedReader(
            std::make_unique<ChannelReader>(
                    hi.count, ChannelPlace{iFile, IqStatus::FirstFile, hi.dataOffset, 8, doublesAt},
                    ChannelPlace{qFile, IqStatus::SecondFile, hq.dataOffset, 8, doublesAt},
                    rateFact(hi)),
            status);
}

// The header states the count, so it comes from begin's total.
std::unique_ptr<FrameWriter> openSpwWriter(const QString &iFile, const QString &, int typeCode,
                                           IqStatus &status)
{
    status = IqStatus::Ok;
    if (typeCode != TypeCode::SpwBinaryMixed)
        return nullptr;  // the two-file ADS type is only read
    const auto header = [](const IqBuffer &facts, int64_t total, QByteArray &out) {
        out = spwBinaryHeader(facts.sampleRate, total);
        return IqStatus::Ok;
    };
    return openedWriter(std::make_unique<PairsWriter<double>>(iFile, header), status);
}

}  // namespace

const FrameCodec &spwFrameCodec()
{
    static const FrameCodec codec{openSpwReader, openSpwWriter};
    return codec;
}

const FrameCodec &adsBinaryFrameCodec()
{
    static const FrameCodec codec{openSpwReader, nullptr};
    return codec;
}
