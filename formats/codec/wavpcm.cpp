#include "wavpcm.h"

#include "bytes.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr int64_t kEncodePairs = int64_t(1) << 16;

// Fixed-length inner loops over restrict pointers: the compiler vectorises these even at its
// cheapest cost model, which leaves loops of unknown length scalar.
constexpr int64_t kLane = 64;

inline int16_t loadLe16(const unsigned char *p)
{
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    int16_t v;
    std::memcpy(&v, p, 2);
    return v;
#else
    return int16_t(bytes::le16(p));
#endif
}

inline float rawValue(int16_t code)
{
    // The recorder stores two's complement codes with full scale 32767. The float quotient
    // equals the double quotient rounded to float (division of 24-bit values rounds once).
    return float(code) / 32767.0f;
}

template<PcmDecode D>
inline void decodeRun(const unsigned char *__restrict p, float *__restrict i, float *__restrict q,
                      int64_t n)
{
    for (int64_t k = 0; k < n; ++k) {
        if constexpr (D == PcmDecode::Int8) {
            i[k] = float(int8_t(p[2 * k]));
            q[k] = float(int8_t(p[2 * k + 1]));
        } else if constexpr (D == PcmDecode::Int16) {
            i[k] = float(loadLe16(p + 4 * k));
            q[k] = float(loadLe16(p + 4 * k + 2));
        } else {
            i[k] = rawValue(loadLe16(p + 4 * k));
            q[k] = rawValue(loadLe16(p + 4 * k + 2));
        }
    }
}

template<PcmDecode D>
void decodeAll(const unsigned char *p, float *i, float *q, int64_t n)
{
    const int width = D == PcmDecode::Int8 ? 2 : 4;
    int64_t k = 0;
    for (; k + kLane <= n; k += kLane)
        decodeRun<D>(p + width * k, i + k, q + k, kLane);
    decodeRun<D>(p + width * k, i + k, q + k, n - k);
}

void decodeBlock(const unsigned char *p, float *i, float *q, int64_t n, PcmDecode decode)
{
    switch (decode) {
    case PcmDecode::Int8: decodeAll<PcmDecode::Int8>(p, i, q, n); break;
    case PcmDecode::Int16: decodeAll<PcmDecode::Int16>(p, i, q, n); break;
    case PcmDecode::RawNormalized: decodeAll<PcmDecode::RawNormalized>(p, i, q, n); break;
    }
}

inline int16_t clampCode(double v)
{
    if (!(v == v))
        return 0;
    return int16_t(std::clamp(v, -32767.0, 32767.0));
}

template<typename Encode>
void writePairs(OutputFile &out, const float *i, const float *q, int64_t n, Encode encode,
                std::ptrdiff_t stride)
{
    for (int64_t start = 0; start < n; start += kEncodePairs) {
        const int64_t m = std::min(kEncodePairs, n - start);
        unsigned char *p = reinterpret_cast<unsigned char *>(out.reserve(size_t(m) * 4));
        const float *x = i + start * stride;
        const float *y = q + start * stride;
        for (int64_t k = 0; k < m; ++k) {
            bytes::putLe16(p + 4 * k, uint16_t(encode(x[k * stride])));
            bytes::putLe16(p + 4 * k + 2, uint16_t(encode(y[k * stride])));
        }
        out.advance(size_t(m) * 4);
    }
}

float decodeOne(const unsigned char *p, PcmDecode decode)
{
    switch (decode) {
    case PcmDecode::Int8: return float(int8_t(p[0]));
    case PcmDecode::Int16: return float(loadLe16(p));
    case PcmDecode::RawNormalized: return rawValue(loadLe16(p));
    }
    return 0.0f;
}

}  // namespace

int pcmBytesPerPair(PcmDecode decode)
{
    return decode == PcmDecode::Int8 ? 2 : 4;
}

void PcmScanner::add(const float *i, const float *q, int64_t n, std::ptrdiff_t stride)
{
    for (int64_t k = 0; k < n; ++k) {
        const float x = i[k * stride], y = q[k * stride];
        m_scan.iMin = std::min(m_scan.iMin, x);
        m_scan.iMax = std::max(m_scan.iMax, x);
        m_scan.qMin = std::min(m_scan.qMin, y);
        m_scan.qMax = std::max(m_scan.qMax, y);
        const double p = double(x) * x + double(y) * y;
        m_scan.powerSum += p;
        m_peakSquare = std::max(m_peakSquare, p);
    }
}

PcmScan PcmScanner::result() const
{
    PcmScan s = m_scan;
    s.peak = std::sqrt(m_peakSquare);
    return s;
}

PcmScan scanArrays(const float *i, const float *q, int64_t n)
{
    PcmScanner s;
    s.add(i, q, n);
    return s.result();
}

void applyScan(IqBuffer &record, const PcmScan &s, bool levels, bool power)
{
    if (levels) {
        record.iMin = s.iMin;
        record.iMax = s.iMax;
        record.qMin = s.qMin;
        record.qMax = s.qMax;
    }
    if (power) {
        record.powerSum = s.powerSum;
        record.peakMagnitude = s.peak;
    }
}

void writePcmTruncated(OutputFile &out, const float *i, const float *q, int64_t n, double factor,
                       std::ptrdiff_t stride)
{
    writePairs(
            out, i, q, n, [factor](float x) { return clampCode(double(x) * factor); }, stride);
}

void writePcmRounded(OutputFile &out, const float *i, const float *q, int64_t n, double factor,
                     std::ptrdiff_t stride)
{
    writePairs(
            out, i, q, n, [factor](float x) { return clampCode(double(x) * factor + 0.5); },
            stride);
}

void writePcmMono(OutputFile &out, const float *x, int64_t n, double factor, std::ptrdiff_t stride)
{
    for (int64_t start = 0; start < n; start += kEncodePairs) {
        const int64_t m = std::min(kEncodePairs, n - start);
        unsigned char *p = reinterpret_cast<unsigned char *>(out.reserve(size_t(m) * 2));
        const float *from = x + start * stride;
        for (int64_t k = 0; k < m; ++k)
            bytes::putLe16(p + 2 * k, uint16_t(clampCode(double(from[k * stride]) * factor)));
        out.advance(size_t(m) * 2);
    }
}

void decodePcmPairs(const unsigned char *src, int64_t n, float *i, float *q, std::ptrdiff_t stride,
                    PcmDecode decode)
{
    if (stride == 1)
        return decodeBlock(src, i, q, n, decode);
    const int width = pcmBytesPerPair(decode);
    for (int64_t k = 0; k < n; ++k) {
        i[k * stride] = decodeOne(src + k * width, decode);
        q[k * stride] = decodeOne(src + k * width + width / 2, decode);
    }
}

void decodePcmMono(const unsigned char *src, int64_t n, float *x, std::ptrdiff_t stride,
                   PcmDecode decode)
{
    const int width = decode == PcmDecode::Int8 ? 1 : 2;
    for (int64_t k = 0; k < n; ++k)
        x[k * stride]
                = width == 1 ? float(int8_t(src[k])) : float(int16_t(bytes::le16(src + 2 * k)));
}
