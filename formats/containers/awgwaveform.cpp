#include "awgwaveform.h"

#include "bytes.h"
#include "channelreader.h"
#include "failuredetail.h"
#include "wavpcm.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kCountAt = 0;
constexpr int kScaleAt = 4;
constexpr int64_t kBlockCodes = int64_t(1) << 21;

struct AwgHeader
{
    int64_t count = 0;
    double scale = 0.0;
};

IqStatus readHeader(QIODevice &device, AwgHeader &header, IqStatus fail)
{
    unsigned char h[kAwgHeaderBytes];
    if (!device.seek(0)
        || device.read(reinterpret_cast<char *>(h), kAwgHeaderBytes) != kAwgHeaderBytes)
        return failReading(fail, device,
                           QStringLiteral("the file (%1 bytes) ends inside the %2-byte header")
                                   .arg(device.size())
                                   .arg(kAwgHeaderBytes));
    header.count = bytes::be32(h + kCountAt);
    header.scale = bytes::beDouble(h + kScaleAt);
    if (!std::isfinite(header.scale))
        return failOn(IqStatus::BadAwgHeader, device,
                      QStringLiteral("the header's amplitude scale is not a number"));
    const int64_t present = (device.size() - kAwgHeaderBytes) / 2;
    if (header.count > present)
        return failOn(fail, device,
                      QStringLiteral("header announces %1 samples, the file holds %2")
                              .arg(header.count)
                              .arg(present));
    return IqStatus::Ok;
}

bool readCodes(QIODevice &device, float *out, int64_t count, double scale)
{
    std::vector<unsigned char> block(size_t(std::min(count, kBlockCodes) * 2));
    const double k = scale / 4096.0;
    for (int64_t done = 0; done < count;) {
        const int64_t m = std::min(count - done, kBlockCodes);
        if (device.read(reinterpret_cast<char *>(block.data()), m * 2) != m * 2)
            return false;
        for (int64_t j = 0; j < m; ++j)
            out[done + j] = float(bytes::be16(block.data() + 2 * j) * k - 0.5);
        done += m;
    }
    return true;
}

}  // namespace

IqStatus readAwgWaveformFrom(IqBuffer &record, QIODevice &iDevice, QIODevice &qDevice)
{
    AwgHeader hi, hq;
    if (const IqStatus status = readHeader(iDevice, hi, IqStatus::FirstFile); failed(status))
        return status;
    if (const IqStatus status = readHeader(qDevice, hq, IqStatus::SecondFile); failed(status))
        return status;
    if (hq.count != hi.count)
        return failOn(IqStatus::BadAwgHeader, qDevice,
                      QStringLiteral("header announces %1 samples, the I file %2")
                              .arg(hq.count)
                              .arg(hi.count));
    if (const IqStatus status = allocateSamples(record, hi.count); failed(status))
        return status;
    record.sampleCount = hi.count;
    const QString shortData = QStringLiteral("the file ends before its %1 samples").arg(hi.count);
    if (!readCodes(iDevice, record.iData.data(), hi.count, hi.scale))
        return failReading(IqStatus::FirstFile, iDevice, shortData);
    if (!readCodes(qDevice, record.qData.data(), hq.count, hq.scale))
        return failReading(IqStatus::SecondFile, qDevice, shortData);
    return IqStatus::Ok;
}

IqStatus readAwgWaveform(IqBuffer &record, int)
{
    QFile iFile(record.iFileName), qFile(record.qFileName);
    if (const IqStatus status = openIqFiles(iFile, qFile); failed(status))
        return status;
    return readAwgWaveformFrom(record, iFile, qFile);
}

namespace {

ChannelPlace awgChannel(const QString &path, IqStatus fail, double scale)
{
    const double k = scale / 4096.0;
    return {path, fail, kAwgHeaderBytes, 2,
            [k](const unsigned char *src, int64_t n, float *dst, std::ptrdiff_t stride) {
                for (int64_t j = 0; j < n; ++j)
                    dst[j * stride] = float(bytes::be16(src + 2 * j) * k - 0.5);
            }};
}

std::unique_ptr<FrameReader> openAwgReader(const QString &iFile, const QString &qFile, int,
                                           IqStatus &status)
{
    QFile i(iFile), q(qFile);
    if (!i.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return status = failDevice(IqStatus::FirstFile, i), nullptr;
    if (!q.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return status = failDevice(IqStatus::SecondFile, q), nullptr;
    AwgHeader hi, hq;
    if (failed(status = readHeader(i, hi, IqStatus::FirstFile))
        || failed(status = readHeader(q, hq, IqStatus::SecondFile)))
        return nullptr;
    if (hq.count != hi.count) {
        status = failOn(IqStatus::BadAwgHeader, q,
                        QStringLiteral("header announces %1 samples, the I file %2")
                                .arg(hq.count)
                                .arg(hi.count));
        return nullptr;
    }
    return openedReader(std::make_unique<ChannelReader>(
                                hi.count, awgChannel(iFile, IqStatus::FirstFile, hi.scale),
                                awgChannel(qFile, IqStatus::SecondFile, hq.scale)),
                        status);
}

}  // namespace

const FrameCodec &awgFrameCodec()
{
    static const FrameCodec codec{openAwgReader, nullptr};
    return codec;
}
