#pragma once

#include "iqbuffer.h"
#include "outputfile.h"

#include <cstddef>
#include <cstdint>

// Interleaved I/Q pairs of integer codes (I then Q, little-endian), the sample layout that
// WAV, WV and the raw recording share. The readers decode blocks of file bytes as they come,
// so neither a load nor the chunked copy needs the file's bytes in memory beside the floats.
enum class PcmDecode {
    Int8,           // signed bytes, value = code
    Int16,          // signed 16-bit, value = code
    RawNormalized,  // signed 16-bit, value = code / 32767
};

int pcmBytesPerPair(PcmDecode decode);

// Channel extremes (each search starting from 0.0) and the power figures of a scan.
struct PcmScan
{
    float iMin = 0.0f;
    float iMax = 0.0f;
    float qMin = 0.0f;
    float qMax = 0.0f;
    double powerSum = 0.0;  // sum of I^2 + Q^2
    double peak = 0.0;      // largest sqrt(I^2 + Q^2)
};

// Encoders writing n pairs as signed 16-bit little-endian codes. Codes are clamped to
// -32767..32767 (NaN gives 0), so a rounding step can never wrap a sign.
// Truncating: code = trunc(x * factor).
// Frames lie stride floats apart (1: planar arrays; 2: an interleaved complex buffer).
void writePcmTruncated(OutputFile &out, const float *i, const float *q, int64_t n, double factor,
                       std::ptrdiff_t stride = 1);
// Rounding half up before truncation: code = trunc(x * factor + 0.5).
void writePcmRounded(OutputFile &out, const float *i, const float *q, int64_t n, double factor,
                     std::ptrdiff_t stride = 1);
// One channel only (mono WAV), truncating.
void writePcmMono(OutputFile &out, const float *x, int64_t n, double factor,
                  std::ptrdiff_t stride = 1);

// n pairs of codes in src decoded into frames stride floats apart.
void decodePcmPairs(const unsigned char *src, int64_t n, float *i, float *q, std::ptrdiff_t stride,
                    PcmDecode decode);
// n single-channel codes (Int8 or Int16) decoded into x, stride floats apart.
void decodePcmMono(const unsigned char *src, int64_t n, float *x, std::ptrdiff_t stride,
                   PcmDecode decode);

// The figures of frames met piece by piece, worked out in the order a single pass over all of
// them takes, so they equal scanArrays over the whole record to the last bit.
class PcmScanner
{
public:
    void add(const float *i, const float *q, int64_t n, std::ptrdiff_t stride = 1);
    PcmScan result() const;

private:
    PcmScan m_scan;
    double m_peakSquare = 0.0;
};

// Extremes (from 0.0) and power figures of arrays already in memory.
PcmScan scanArrays(const float *i, const float *q, int64_t n);
// Puts the scanned extremes (levels) and/or power figures into the record.
void applyScan(IqBuffer &record, const PcmScan &s, bool levels, bool power);
