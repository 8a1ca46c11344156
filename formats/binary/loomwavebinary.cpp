#include "loomwavebinary.h"

#include "binaryinput.h"
#include "bytes.h"
#include "channelreader.h"
#include "framewriters.h"
#include "sampleconvert.h"

#include <algorithm>
#include <limits>

namespace {

constexpr int kHeaderBytes = 40;
constexpr int kLongHeaderBytes = 64;

}  // namespace

QByteArray loomwaveHeader(double sampleRate, int32_t sampleCount)
{
    unsigned char h[kHeaderBytes] = {};
    uint64_t rate;
    std::memcpy(&rate, &sampleRate, 8);
    bytes::putLe32(h, kHeaderBytes);
    bytes::putLe32(h + 4, uint32_t(sampleCount));
    std::memcpy(h + 8, "VTP", 4);
    bytes::putLe64(h + 16, rate);
    bytes::putLe32(h + 24, 1);
    bytes::putLe32(h + 28, uint32_t(sampleCount));
    bytes::putLe64(h + 32, rate);
    return QByteArray(reinterpret_cast<const char *>(h), kHeaderBytes);
}

namespace {

void floatsAt(const unsigned char *src, int64_t n, float *dst, std::ptrdiff_t stride)
{
    sampleconvert::toFloatsStrided<float>(dst, stride, src, n, 4);
}

std::unique_ptr<FrameReader> openLoomwaveReader(const QString &iFile, const QString &, int,
                                                IqStatus &status)
{
    BinaryInput in(iFile);
    unsigned char h[kLongHeaderBytes];
    const QString shortHeader
            = QStringLiteral("the file (%1 bytes) ends inside its %2-byte header");
    status = IqStatus::FirstFile;
    if (!in.isOpen())
        return nullptr;
    if (!in.readExact(h, kHeaderBytes))
        return in.fail(status, shortHeader.arg(in.size()).arg(kHeaderBytes)), nullptr;
    if (int32_t(bytes::le32(h)) > kHeaderBytes) {
        if (!in.readExact(h + kHeaderBytes, kLongHeaderBytes - kHeaderBytes))
            return in.fail(status, shortHeader.arg(in.size()).arg(kLongHeaderBytes)), nullptr;
        if (const uint32_t mark = bytes::le32(h + kHeaderBytes); mark != 0) {
            status = in.fail(IqStatus::Scrambled,
                             QStringLiteral("the header marks the samples as scrambled (%1 at "
                                            "byte %2)")
                                     .arg(mark)
                                     .arg(kHeaderBytes));
            return nullptr;
        }
    }
    const int64_t n = int32_t(bytes::le32(h + 4));
    if (n < 0 || n > in.remaining() / 8)
        return in.fail(status, QStringLiteral("header announces %1 samples, the file holds %2")
                                       .arg(n)
                                       .arg(in.remaining() / 8)),
               nullptr;
    const int64_t data = in.size() - in.remaining();
    const double rate = bytes::leDouble(h + 32);
    return openedReader(std::make_unique<ChannelReader>(
                                n, ChannelPlace{iFile, IqStatus::FirstFile, data, 4, floatsAt},
                                ChannelPlace{iFile, IqStatus::FirstFile, data + 4 * n, 4, floatsAt},
                                [rate](IqBuffer &r) { r.sampleRate = rate; }),
                        status);
}

// The header states the count, which must fit its 32 bits.
std::unique_ptr<FrameWriter> openLoomwaveWriter(const QString &iFile, const QString &, int,
                                                IqStatus &status)
{
    const auto header = [iFile](const IqBuffer &facts, int64_t total, QByteArray &out) {
        if (total < 0 || total > std::numeric_limits<int32_t>::max())
            return failFile(IqStatus::FirstFile, iFile,
                            QStringLiteral("%1 samples do not fit in the header's 32-bit count")
                                    .arg(total));
        out = loomwaveHeader(facts.sampleRate, int32_t(total));
        return IqStatus::Ok;
    };
    return openedWriter(std::make_unique<FloatBlocksWriter>(iFile, header), status);
}

}  // namespace

const FrameCodec &loomwaveFrameCodec()
{
    static const FrameCodec codec{openLoomwaveReader, openLoomwaveWriter};
    return codec;
}
