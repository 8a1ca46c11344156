#include "wavformat.h"

#include "bytes.h"
#include "channelreader.h"
#include "failuredetail.h"
#include "filetypes.h"
#include "outputfile.h"
#include "wavpcm.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace {

constexpr uint16_t kTagPcm = 1;
constexpr uint16_t kTagExtensible = 0xFFFE;
constexpr int64_t kMaxDataBytes = int64_t(std::numeric_limits<uint32_t>::max()) - 36;
// A streaming writer that never came back to fill in the size leaves this there.
constexpr int64_t kOpenEndedSize = std::numeric_limits<uint32_t>::max();

struct FormatChunk
{
    uint16_t tag = 0;
    int channels = 0;
    int bits = 0;
    uint32_t rate = 0;
};

bool readExactly(QIODevice &device, int64_t pos, unsigned char *out, qint64 bytes)
{
    return pos + bytes <= device.size() && device.seek(pos)
           && device.read(reinterpret_cast<char *>(out), bytes) == bytes;
}

// The PCM tag, or an extensible format whose sub-format is PCM.
bool isPcm(const FormatChunk &f, const unsigned char *ext, bool haveExt)
{
    if (f.tag == kTagPcm)
        return true;
    return f.tag == kTagExtensible && haveExt && bytes::le16(ext) == kTagPcm;
}

uint32_t clampField(double v)
{
    if (!(v > 0.0))
        return 0;
    return v >= 4294967295.0 ? std::numeric_limits<uint32_t>::max() : uint32_t(v);
}

PcmDecode decodeOf(int kind)
{
    return kind / 256 == 1 ? PcmDecode::Int8 : PcmDecode::Int16;
}

bool isStereo(int kind)
{
    return kind == WavKind::Stereo8 || kind == WavKind::Stereo16;
}
bool isMono(int kind)
{
    return kind == WavKind::Mono8 || kind == WavKind::Mono16;
}

double wavFactor(float iMin, float iMax, float qMin, float qMax)
{
    const double m = std::max({std::fabs(double(iMin)), std::fabs(double(iMax)),
                               std::fabs(double(qMin)), std::fabs(double(qMax))});
    // The largest magnitude of either channel maps to 32767 at most, so no code can wrap.
    return m > 0.0 && std::isfinite(m) ? 65535.9 / (2.0 * m) : 0.0;
}

IqStatus openRead(QFile &file, IqStatus fail)
{
    return file.open(QIODevice::ReadOnly | QIODevice::Unbuffered) ? IqStatus::Ok
                                                                  : failDevice(fail, file);
}

// A header that ends before the part named: the file is too short to be read as WAV.
IqStatus endsIn(IqStatus fail, const QIODevice &device, const char *part)
{
    return failReading(fail, device,
                       QStringLiteral("the file (%1 bytes) ends inside %2")
                               .arg(device.size())
                               .arg(QLatin1String(part)));
}

IqStatus badHeader(const QIODevice &device, const QString &reason)
{
    return failOn(IqStatus::BadWavHeader, device, reason);
}

// Why the format chunk describes no kind of sample that can be read, or an empty string.
QString unreadableFormat(const FormatChunk &fmt, bool pcm)
{
    if (!pcm)
        return QStringLiteral("not PCM: format tag %1").arg(fmt.tag);
    if (fmt.bits != 8 && fmt.bits != 16)
        return QStringLiteral("%1 bits per sample; 8 or 16 can be read").arg(fmt.bits);
    if (fmt.channels != 1 && fmt.channels != 2)
        return QStringLiteral("%1 channels; 1 or 2 can be read").arg(fmt.channels);
    return QString();
}

}  // namespace

IqStatus parseWavHeader(QIODevice &device, WavHeader &header, IqStatus fail)
{
    unsigned char riff[12];
    if (!readExactly(device, 0, riff, 12))
        return endsIn(fail, device, "the 12-byte RIFF header");
    const bool large = std::memcmp(riff, "RF64", 4) == 0 || std::memcmp(riff, "BW64", 4) == 0;
    if (std::memcmp(riff, "RIFF", 4) != 0 && !large)
        return badHeader(device, QStringLiteral("not a WAV file: no RIFF id"));
    if (std::memcmp(riff + 8, "WAVE", 4) != 0)
        return badHeader(device, QStringLiteral("not a WAV file: no WAVE id"));
    // RF64 and BW64 files carry the 64-bit sizes in a ds64 chunk right after "WAVE"; a 32-bit
    // size of 0xFFFFFFFF then means "see ds64".
    int64_t largeDataSize = -1;
    if (large) {
        unsigned char ds64[8 + 16];
        if (!readExactly(device, 12, ds64, sizeof ds64))
            return endsIn(fail, device, "the ds64 chunk");
        if (std::memcmp(ds64, "ds64", 4) != 0 || bytes::le32(ds64 + 4) < 16)
            return badHeader(device, QStringLiteral("an RF64 file without its ds64 chunk"));
        const uint64_t size = bytes::le64(ds64 + 16);
        if (size > uint64_t(std::numeric_limits<int64_t>::max() / 2))
            return badHeader(device,
                             QStringLiteral("the ds64 chunk announces %1 data bytes").arg(size));
        largeDataSize = int64_t(size);
    }

    FormatChunk fmt;
    bool haveFmt = false, haveData = false, pcm = false;
    int64_t dataSize = 0;
    for (int64_t pos = 12; !(haveFmt && haveData);) {
        unsigned char chunk[8];
        if (!readExactly(device, pos, chunk, 8))
            return endsIn(fail, device,
                          haveFmt ? "the header, before its data chunk"
                                  : "the header, before its fmt chunk");
        int64_t size = bytes::le32(chunk + 4);
        if (largeDataSize >= 0 && size == kOpenEndedSize && std::memcmp(chunk, "data", 4) == 0)
            size = largeDataSize;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            unsigned char body[26] = {};
            if (size < 16)
                return badHeader(
                        device,
                        QStringLiteral("the fmt chunk holds %1 bytes, 16 are needed").arg(size));
            if (!readExactly(device, pos + 8, body, 16))
                return endsIn(fail, device, "the fmt chunk");
            fmt.tag = bytes::le16(body);
            fmt.channels = bytes::le16(body + 2);
            fmt.rate = bytes::le32(body + 4);
            fmt.bits = bytes::le16(body + 14);
            // Extensible formats carry their sub-format GUID at 24 of the chunk body.
            const bool haveExt = size >= 40 && readExactly(device, pos + 8 + 24, body + 16, 2);
            pcm = isPcm(fmt, body + 16, haveExt);
            haveFmt = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            header.dataOffset = pos + 8;
            dataSize = size;
            haveData = true;
        }
        pos += 8 + size + (size & 1);
    }
    // Checked one by one: the kind alone lets 0 bits x 514 channels pass as 16-bit stereo.
    if (const QString why = unreadableFormat(fmt, pcm); !why.isEmpty())
        return badHeader(device, why);
    header.kind = (fmt.bits / 8) * 256 + fmt.channels;
    const int64_t block = int64_t(fmt.channels) * (fmt.bits / 8);
    const int64_t present = std::max<int64_t>(0, device.size() - header.dataOffset);
    // Samples the header announces but the file does not hold are not made up. Older files
    // counted every sample twice in the size fields; their data are all there.
    const bool doubledSize
            = dataSize == 2 * present && header.dataOffset + present == device.size();
    if (dataSize > present && (dataSize != kOpenEndedSize || large) && !doubledSize)
        return failOn(fail, device,
                      QStringLiteral("header announces %1 samples, the file holds %2")
                              .arg(dataSize / block)
                              .arg(present / block));
    header.count = std::min(dataSize, present) / block;
    header.sampleRate = fmt.rate;
    return IqStatus::Ok;
}

bool wavNeedsRf64(int64_t count, int channels)
{
    return count * 2 * channels > kMaxDataBytes;
}

QByteArray wavHeaderBytes(int64_t count, int channels, double sampleRate, bool rf64)
{
    const uint32_t block = uint32_t(2 * channels);
    const int64_t data = count * block;
    // RF64 adds the 36-byte ds64 chunk and leaves 0xFFFFFFFF in both 32-bit size fields.
    const int ds64 = rf64 ? 36 : 0;
    std::vector<unsigned char> bytes(size_t(44 + ds64));
    unsigned char *p = bytes.data();
    std::memcpy(p, rf64 ? "RF64" : "RIFF", 4);
    bytes::putLe32(p + 4, rf64 ? 0xFFFFFFFFu : uint32_t(data + 36));
    std::memcpy(p + 8, "WAVE", 4);
    if (rf64) {
        std::memcpy(p + 12, "ds64", 4);
        bytes::putLe32(p + 16, 28);
        bytes::putLe64(p + 20, uint64_t(data + 36 + ds64));  // RIFF size
        bytes::putLe64(p + 28, uint64_t(data));              // data size
        bytes::putLe64(p + 36, uint64_t(count));             // sample frames
        bytes::putLe32(p + 44, 0);                           // no table of other sizes
        p += ds64;
    }
    std::memcpy(p + 12, "fmt ", 4);
    bytes::putLe32(p + 16, 16);
    bytes::putLe16(p + 20, kTagPcm);
    bytes::putLe16(p + 22, uint16_t(channels));
    bytes::putLe32(p + 24, clampField(sampleRate));
    bytes::putLe32(p + 28, clampField(sampleRate * block));
    bytes::putLe16(p + 32, uint16_t(block));
    bytes::putLe16(p + 34, 16);
    std::memcpy(p + 36, "data", 4);
    bytes::putLe32(p + 40, rf64 ? 0xFFFFFFFFu : uint32_t(data));
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), int(bytes.size()));
}

namespace {

IqStatus parseFile(const QString &path, IqStatus fail, WavHeader &h)
{
    QFile file(path);
    if (const IqStatus status = openRead(file, fail); failed(status))
        return status;
    return parseWavHeader(file, h, fail);
}

HeaderFacts rateFact(double rate)
{
    return [rate](IqBuffer &r) { r.sampleRate = rate; };
}

std::unique_ptr<FrameReader> openStereoReader(const QString &path, IqStatus &status)
{
    WavHeader h;
    QFile file(path);
    if (failed(status = openRead(file, IqStatus::FirstFile))
        || failed(status = parseWavHeader(file, h)))
        return nullptr;
    if (!isStereo(h.kind)) {
        status = badHeader(file, QStringLiteral("one channel (a mono WAV file has no Q); the mixed "
                                                "type needs two (I and Q)"));
        return nullptr;
    }
    const PcmDecode decode = decodeOf(h.kind);
    auto reader = std::make_unique<PairReader>(
            path, h.count, h.dataOffset, pcmBytesPerPair(decode),
            [decode](const unsigned char *src, int64_t n, const FrameSpan &out) {
                decodePcmPairs(src, n, out.i, out.q, out.stride, decode);
            },
            rateFact(h.sampleRate));
    return openedReader(std::move(reader), status);
}

std::unique_ptr<FrameReader> openPairReader(const QString &iPath, const QString &qPath,
                                            IqStatus &status)
{
    WavHeader hi, hq;
    if (failed(status = parseFile(iPath, IqStatus::FirstFile, hi))
        || failed(status = parseFile(qPath, IqStatus::SecondFile, hq)))
        return nullptr;
    if (!isMono(hi.kind)) {
        status = failFile(IqStatus::BadWavHeader, iPath,
                          QStringLiteral("two channels; the single type needs one per file"));
        return nullptr;
    }
    if (hq.kind != hi.kind) {
        status = failFile(IqStatus::BadWavHeader, qPath,
                          QStringLiteral("its channels or sample width differ from the I file's"));
        return nullptr;
    }
    const PcmDecode decode = decodeOf(hi.kind);
    const int width = decode == PcmDecode::Int8 ? 1 : 2;
    const ChannelDecode mono
            = [decode](const unsigned char *src, int64_t n, float *x, std::ptrdiff_t stride) {
                  decodePcmMono(src, n, x, stride, decode);
              };
    auto reader = std::make_unique<ChannelReader>(
            std::min(hi.count, hq.count),
            ChannelPlace{iPath, IqStatus::FirstFile, hi.dataOffset, width, mono},
            ChannelPlace{qPath, IqStatus::SecondFile, hq.dataOffset, width, mono},
            rateFact(hi.sampleRate));
    return openedReader(std::move(reader), status);
}

std::unique_ptr<FrameReader> openWavReader(const QString &iFile, const QString &qFile, int typeCode,
                                           IqStatus &status)
{
    return typeCode == TypeCode::WavSingle ? openPairReader(iFile, qFile, status)
                                           : openStereoReader(iFile, status);
}

// 16-bit PCM scaled so the largest magnitude of the whole record reaches full range: the
// summary comes before the first frame. Stereo writes one file; the single type one mono file
// per channel, both on one scale.
class WavWriter : public FrameWriter
{
public:
    WavWriter(const QString &iFile, const QString &qFile, bool pair)
        : m_iPath(iFile)
        , m_i(iFile)
        , m_q(pair ? std::make_unique<OutputFile>(qFile) : nullptr)
    {}
    IqStatus openStatus() const
    {
        if (!m_i.isOpen())
            return IqStatus::FirstFile;
        return !m_q || m_q->isOpen() ? IqStatus::Ok : IqStatus::SecondFile;
    }
    bool needsSummary() const override { return true; }

    IqStatus begin(const IqBuffer &facts, int64_t total, const FrameSummary *summary) override
    {
        if (!summary || total < 0)
            return failFile(IqStatus::FirstFile, m_iPath,
                            QStringLiteral("the scale needs the record's extremes first"));
        m_factor = wavFactor(summary->iMin, summary->iMax, summary->qMin, summary->qMax);
        m_total = total;
        const int channels = m_q ? 1 : 2;
        const QByteArray header
                = wavHeaderBytes(total, channels, facts.sampleRate, wavNeedsRf64(total, channels));
        m_i.write(header.constData(), size_t(header.size()));
        if (m_q)
            m_q->write(header.constData(), size_t(header.size()));
        return m_i.ok() ? IqStatus::Ok : IqStatus::FirstFile;
    }

    IqStatus write(int64_t count, const ConstFrameSpan &in) override
    {
        if (count < 0 || count > m_total - m_written)
            return checkFramesWritten(m_written + count, m_total, m_iPath);
        m_written += count;
        if (!m_q) {
            writePcmTruncated(m_i, in.i, in.q, count, m_factor, in.stride);
            return m_i.ok() ? IqStatus::Ok : IqStatus::FirstFile;
        }
        writePcmMono(m_i, in.i, count, m_factor, in.stride);
        writePcmMono(*m_q, in.q, count, m_factor, in.stride);
        if (!m_i.ok())
            return IqStatus::FirstFile;
        return m_q->ok() ? IqStatus::Ok : IqStatus::SecondFile;
    }

    IqStatus finish() override
    {
        if (const IqStatus s = checkFramesWritten(m_written, m_total, m_iPath); failed(s))
            return s;
        // Both complete before either replaces its destination.
        if (m_q && (!m_i.flush() || !m_q->flush()))
            return m_i.ok() ? IqStatus::SecondFile : IqStatus::FirstFile;
        if (!m_i.commit())
            return IqStatus::FirstFile;
        return !m_q || m_q->commit() ? IqStatus::Ok : IqStatus::SecondFile;
    }

private:
    QString m_iPath;
    OutputFile m_i;
    std::unique_ptr<OutputFile> m_q;
    double m_factor = 0.0;
    int64_t m_total = 0;
    int64_t m_written = 0;
};

std::unique_ptr<FrameWriter> openWavWriter(const QString &iFile, const QString &qFile, int typeCode,
                                           IqStatus &status)
{
    auto writer = std::make_unique<WavWriter>(iFile, qFile, typeCode == TypeCode::WavSingle);
    status = writer->openStatus();
    return status == IqStatus::Ok ? std::move(writer) : nullptr;
}

}  // namespace

const FrameCodec &wavFrameCodec()
{
    static const FrameCodec codec{openWavReader, openWavWriter};
    return codec;
}
