#include "loomwavebinary.h"

#include "binaryinput.h"
#include "binaryoutput.h"
#include "bytes.h"
#include "floatblocks.h"
#include "readfailure.h"

#include <limits>

namespace {

constexpr int kHeaderBytes = 40;
constexpr int kLongHeaderBytes = 64;

}  // namespace

IqStatus readLoomwaveBinary(IqBuffer &record, int)
{
    BinaryInput in(record.iFileName);
    unsigned char h[kLongHeaderBytes];
    const auto fail = [&](IqStatus status, const QString &reason) {
        in.fail(status, reason);
        return failRead(record, status);
    };
    const QString shortHeader
            = QStringLiteral("the file (%1 bytes) ends inside its %2-byte header");
    if (!in.isOpen())
        return failRead(record, IqStatusCode::FirstFile);  // the open failure is noted
    if (!in.readExact(h, kHeaderBytes))
        return fail(IqStatusCode::FirstFile, shortHeader.arg(in.size()).arg(kHeaderBytes));
    if (int32_t(bytes::le32(h)) > kHeaderBytes) {
        if (!in.readExact(h + kHeaderBytes, kLongHeaderBytes - kHeaderBytes))
            return fail(IqStatusCode::FirstFile, shortHeader.arg(in.size()).arg(kLongHeaderBytes));
        if (const uint32_t mark = bytes::le32(h + kHeaderBytes); mark != 0)
            return fail(IqStatusCode::Scrambled,
                        QStringLiteral("the header marks the samples as scrambled (%1 at byte %2)")
                                .arg(mark)
                                .arg(kHeaderBytes));
    }
    const int64_t n = int32_t(bytes::le32(h + 4));
    if (n < 0 || n > in.remaining() / 8)
        return fail(IqStatusCode::FirstFile,
                    QStringLiteral("header announces %1 samples, the file holds %2")
                            .arg(n)
                            .arg(in.remaining() / 8));
    if (const IqStatus s = readFloatBlocks(in, record, n))
        return s;
    record.sampleRate = bytes::leDouble(h + 32);
    return IqStatusCode::Ok;
}

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

IqStatus writeLoomwaveBinary(const IqBuffer &record, int, const QString &iFile, const QString &)
{
    const int64_t n = record.heldCount();
    // The header holds a 32-bit count; a longer record would read back as a different one.
    if (n > std::numeric_limits<int32_t>::max())
        return failFile(
                IqStatusCode::FirstFile, iFile,
                QStringLiteral("%1 samples do not fit in the header's 32-bit count").arg(n));
    OutputFile out(iFile);
    if (!out.isOpen())
        return IqStatusCode::FirstFile;
    const QByteArray header = loomwaveHeader(record.sampleRate, int32_t(n));
    out.write(header.constData(), size_t(header.size()));
    binaryoutput::writeFloats(out, record.iData.data(), n);
    binaryoutput::writeFloats(out, record.qData.data(), n);
    return out.commit() ? IqStatusCode::Ok : IqStatusCode::FirstFile;
}
