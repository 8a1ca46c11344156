#include "awgwaveform.h"

#include "bytes.h"
#include "channelreader.h"
#include "failuredetail.h"

#include <QFile>

#include <cmath>

namespace {

constexpr int kCountAt = 0;
constexpr int kScaleAt = 4;

struct AwgHeader
{
    int64_t count = 0;
    double scale = 0.0;
};

IqStatus readHeader(QIODevice &device, AwgHeader &header, IqStatus fail)
{
    unsigned char h[kAwgHeaderBytes];
    if (const IqStatus s = readFixedHeader(device, h, kAwgHeaderBytes, fail); failed(s))
        return s;
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
    AwgHeader hi, hq;
    if (failed(status = readIqHeaders(iFile, qFile, hi, hq, readHeader)))
        return nullptr;
    if (hq.count != hi.count) {
        status = failFile(IqStatus::BadAwgHeader, qFile,
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
