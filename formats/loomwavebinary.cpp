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
    if (!in.readExact(h, kHeaderBytes))
        return failRead(record, IqStatusCode::FirstFile);
    if (int32_t(bytes::le32(h)) > kHeaderBytes) {
        if (!in.readExact(h + kHeaderBytes, kLongHeaderBytes - kHeaderBytes))
            return failRead(record, IqStatusCode::FirstFile);
        if (bytes::le32(h + kHeaderBytes) != 0)
            return failRead(record, IqStatusCode::Scrambled);
    }
    const int64_t n = int32_t(bytes::le32(h + 4));
    if (n < 0 || n > in.remaining() / 8)
        return failRead(record, IqStatusCode::FirstFile);
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
        return IqStatusCode::FirstFile;
    OutputFile out(iFile);
    if (!out.isOpen())
        return IqStatusCode::FirstFile;
    const QByteArray header = loomwaveHeader(record.sampleRate, int32_t(n));
    out.write(header.constData(), size_t(header.size()));
    binaryoutput::writeFloats(out, record.iData.data(), n);
    binaryoutput::writeFloats(out, record.qData.data(), n);
    return out.commit() ? IqStatusCode::Ok : IqStatusCode::FirstFile;
}
