#pragma once

#include "iqbuffer.h"
#include "outputfile.h"

#include <QIODevice>

#include <cstddef>
#include <cstdint>
#include <vector>

// Interleaved I/Q pairs of integer codes (I then Q, little-endian), the sample layout that
// WAV, WV and the raw recording share. Reading goes through one reusable block buffer so
// neither a load nor the chunked copy needs the file's bytes in memory beside the floats.
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

class PcmPairReader
{
public:
    PcmPairReader(QIODevice &device, PcmDecode decode);

    // Reads n pairs from the device's current position into i[0..n) and q[0..n).
    // False when fewer bytes than needed could be read.
    bool read(float *i, float *q, int64_t n);
    // Reads n pairs once and folds them into scan; false on a short read.
    bool scan(int64_t n, bool levels, bool power, PcmScan &scan);

private:
    QIODevice &m_device;
    PcmDecode m_decode;
    std::vector<unsigned char> m_block;
};

// Reads n single-channel codes (Int8 or Int16) into x[0..n); false on a short read.
bool readPcmMono(QIODevice &device, PcmDecode decode, float *x, int64_t n);

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
// Folds the figures of one block into those of the blocks before it.
void foldScan(PcmScan &into, const PcmScan &part, bool levels, bool power);
// Puts the scanned extremes (levels) and/or power figures into the record.
void applyScan(IqBuffer &record, const PcmScan &s, bool levels, bool power);

// The figures a writer scales by: scanned from the samples the record holds when scan is set,
// else the ones it carries from an earlier scan.
PcmScan figuresForWrite(const IqBuffer &record, bool scan);

// Reads count pairs from the device's position into the record's arrays from index at.
// FirstFile when they do not fit the arrays or the device ends first.
IqStatus readPcmPairs(IqBuffer &record, QIODevice &device, PcmDecode decode, int64_t count,
                      int64_t at);

// Leaves the device at dataOffset, where a header reader found the data. With scanLevels or
// scanPower it first reads count pairs from there and puts their extremes and/or power figures
// into the record. FirstFile when a seek or a read fails.
IqStatus scanPcmFigures(IqBuffer &record, QIODevice &device, int64_t dataOffset, PcmDecode decode,
                        int64_t count, bool scanLevels, bool scanPower);
