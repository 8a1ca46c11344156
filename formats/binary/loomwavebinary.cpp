#include "loomwavebinary.h"

#include "binaryinput.h"
#include "binaryoutput.h"
#include "bytes.h"
#include "channelreader.h"
#include "floatblocks.h"
#include "readfailure.h"

#include <algorithm>
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
        return failRead(record, IqStatus::FirstFile);  // the open failure is noted
    if (!in.readExact(h, kHeaderBytes))
        return fail(IqStatus::FirstFile, shortHeader.arg(in.size()).arg(kHeaderBytes));
    if (int32_t(bytes::le32(h)) > kHeaderBytes) {
        if (!in.readExact(h + kHeaderBytes, kLongHeaderBytes - kHeaderBytes))
            return fail(IqStatus::FirstFile, shortHeader.arg(in.size()).arg(kLongHeaderBytes));
        if (const uint32_t mark = bytes::le32(h + kHeaderBytes); mark != 0)
            return fail(IqStatus::Scrambled,
                        QStringLiteral("the header marks the samples as scrambled (%1 at byte %2)")
                                .arg(mark)
                                .arg(kHeaderBytes));
    }
    const int64_t n = int32_t(bytes::le32(h + 4));
    if (n < 0 || n > in.remaining() / 8)
        return fail(IqStatus::FirstFile,
                    QStringLiteral("header announces %1 samples, the file holds %2")
                            .arg(n)
                            .arg(in.remaining() / 8));
    if (const IqStatus s = readFloatBlocks(in, record, n); failed(s))
        return s;
    record.sampleRate = bytes::leDouble(h + 32);
    return IqStatus::Ok;
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
                IqStatus::FirstFile, iFile,
                QStringLiteral("%1 samples do not fit in the header's 32-bit count").arg(n));
    OutputFile out(iFile);
    if (!out.isOpen())
        return IqStatus::FirstFile;
    const QByteArray header = loomwaveHeader(record.sampleRate, int32_t(n));
    out.write(header.constData(), size_t(header.size()));
    binaryoutput::writeFloats(out, record.iData.data(), n);
    binaryoutput::writeFloats(out, record.qData.data(), n);
    return out.commit() ? IqStatus::Ok : IqStatus::FirstFile;
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

// The header states the count; the Q block starts behind all I values, so both blocks are
// filled side by side in a file that can seek.
class LoomwaveWriter : public FrameWriter
{
public:
    explicit LoomwaveWriter(const QString &path)
        : m_path(path)
        , m_out(path)
    {}
    bool isOpen() const { return m_out.isOpen(); }

    IqStatus begin(const IqBuffer &facts, int64_t total, const FrameSummary *) override
    {
        if (total < 0 || total > std::numeric_limits<int32_t>::max())
            return failFile(IqStatus::FirstFile, m_path,
                            QStringLiteral("%1 samples do not fit in the header's 32-bit count")
                                    .arg(total));
        m_total = total;
        const QByteArray header = loomwaveHeader(facts.sampleRate, int32_t(total));
        m_out.write(header.constData(), size_t(header.size()));
        return m_out.ok() ? IqStatus::Ok : IqStatus::FirstFile;
    }

    IqStatus write(int64_t count, const ConstFrameSpan &in) override
    {
        if (count < 0 || count > m_total - m_written)
            return checkFramesWritten(m_written + count, m_total, m_path);
        writeChannel(kHeaderBytes + 4 * m_written, in.i, in.stride, count);
        writeChannel(kHeaderBytes + 4 * (m_total + m_written), in.q, in.stride, count);
        m_written += count;
        return m_out.ok() ? IqStatus::Ok : IqStatus::FirstFile;
    }

    IqStatus finish() override
    {
        if (const IqStatus s = checkFramesWritten(m_written, m_total, m_path); failed(s))
            return s;
        return m_out.commit() ? IqStatus::Ok : IqStatus::FirstFile;
    }

private:
    void writeChannel(int64_t offset, const float *x, std::ptrdiff_t stride, int64_t count)
    {
        if (!m_out.seek(offset))
            return;
        for (int64_t k = 0; k < count; k += binaryoutput::kBlockItems) {
            const int64_t m = std::min(binaryoutput::kBlockItems, count - k);
            auto *p = reinterpret_cast<unsigned char *>(m_out.reserve(size_t(m) * 4));
            sampleconvert::floatsToLeStrided(p, x + k * stride, stride, m);
            m_out.advance(size_t(m) * 4);
        }
    }

    QString m_path;
    OutputFile m_out;
    int64_t m_total = 0;
    int64_t m_written = 0;
};

std::unique_ptr<FrameWriter> openLoomwaveWriter(const QString &iFile, const QString &, int,
                                                IqStatus &status)
{
    auto writer = std::make_unique<LoomwaveWriter>(iFile);
    status = writer->isOpen() ? IqStatus::Ok : IqStatus::FirstFile;
    return status == IqStatus::Ok ? std::move(writer) : nullptr;
}

}  // namespace

const FrameCodec &loomwaveFrameCodec()
{
    static const FrameCodec codec{openLoomwaveReader, openLoomwaveWriter};
    return codec;
}
