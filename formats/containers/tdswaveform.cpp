#include "tdswaveform.h"

#include "bytes.h"
#include "channelreader.h"
#include "failuredetail.h"

#include <QFile>

#include <algorithm>
#include <cstring>

namespace {

struct TdsHeader
{
    bool bigEndian = false;
    int bytesPerPoint = 0;
    int64_t curveOffset = 0;
    int64_t count = 0;  // points the curve holds
    double scale = 0.0;
    double offset = 0.0;
};

IqStatus readHeader(QIODevice &device, TdsHeader &t, IqStatus fail)
{
    unsigned char h[kTdsHeaderBytes];
    if (const IqStatus s = readFixedHeader(device, h, kTdsHeaderBytes, fail); failed(s))
        return s;
    const uint16_t mark = bytes::le16(h);
    if (mark != 0x0F0F && mark != 0xF0F0)
        return failOn(fail, device,
                      QStringLiteral("not a reference waveform file: byte-order mark %1")
                              .arg(mark, 4, 16, QLatin1Char('0')));
    t.bigEndian = mark == 0xF0F0;
    const auto u32
            = [&](int at) { return t.bigEndian ? bytes::be32(h + at) : bytes::le32(h + at); };
    const auto f64 = [&](int at) {
        return t.bigEndian ? bytes::beDouble(h + at) : bytes::leDouble(h + at);
    };
    const int shift = std::memcmp(h + 2, ":WFM#001", 8) == 0 ? 0 : 2;
    const int64_t bytesToEnd = int32_t(u32(11));
    t.bytesPerPoint = int8_t(h[15]);
    t.curveOffset = int32_t(u32(16));
    t.scale = f64(166 + shift);
    t.offset = f64(174 + shift);
    if (t.bytesPerPoint != 1 && t.bytesPerPoint != 2)
        return failOn(
                fail, device,
                QStringLiteral("%1 bytes per point; 1 or 2 can be read").arg(t.bytesPerPoint));
    const int64_t curveBytes = bytesToEnd - t.curveOffset + 7;
    if (bytesToEnd < 0 || t.curveOffset < 0 || curveBytes < 0)
        return failOn(fail, device,
                      QStringLiteral("the header's curve offset %1 lies beyond its end of file %2")
                              .arg(t.curveOffset)
                              .arg(bytesToEnd));
    t.count = curveBytes / t.bytesPerPoint;
    const int64_t present = std::max<int64_t>(0, device.size() - t.curveOffset) / t.bytesPerPoint;
    if (t.curveOffset + t.count * t.bytesPerPoint > device.size())
        return failOn(fail, device,
                      QStringLiteral("header announces %1 samples, the file holds %2")
                              .arg(t.count)
                              .arg(present));
    return IqStatus::Ok;
}

ChannelPlace curveChannel(const QString &path, IqStatus fail, const TdsHeader &t)
{
    return {path, fail, t.curveOffset, t.bytesPerPoint,
            [t](const unsigned char *p, int64_t n, float *dst, std::ptrdiff_t stride) {
                for (int64_t j = 0; j < n; ++j) {
                    const int code = t.bytesPerPoint == 1
                                             ? int8_t(p[j])
                                             : int16_t(t.bigEndian ? bytes::be16(p + 2 * j)
                                                                   : bytes::le16(p + 2 * j));
                    dst[j * stride] = float(code * t.scale + t.offset);
                }
            }};
}

std::unique_ptr<FrameReader> openScopeReader(const QString &iFile, const QString &qFile, int,
                                             IqStatus &status)
{
    TdsHeader hi, hq;
    if (failed(status = readIqHeaders(iFile, qFile, hi, hq, readHeader)))
        return nullptr;
    if (hq.count < hi.count) {
        status = failFile(IqStatus::SecondFile, qFile,
                        QStringLiteral("its curve holds %1 samples, the I file's %2")
                                .arg(hq.count)
                                .arg(hi.count));
        return nullptr;
    }
    return openedReader(
            std::make_unique<ChannelReader>(hi.count, curveChannel(iFile, IqStatus::FirstFile, hi),
                                            curveChannel(qFile, IqStatus::SecondFile, hq)),
            status);
}

}  // namespace

const FrameCodec &scopeFrameCodec()
{
    static const FrameCodec codec{openScopeReader, nullptr};
    return codec;
}
