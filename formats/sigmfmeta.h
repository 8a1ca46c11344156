#pragma once

#include "iqstatus.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

// A SigMF recording's metadata as far as a load needs it. The metadata is JSON:
//   "global":   "core:datatype" (e.g. "cf32_le", "ci16_be", "cu8"), "core:sample_rate",
//               "core:num_channels" (default 1), "core:extensions", "trovik:ref_level";
//   "captures": objects in sample order with "core:sample_start", "core:frequency",
//               "core:header_bytes" (bytes before the capture's samples that are not samples),
//               "core:datetime";
//   "annotations": not used here.
// The data file holds the samples of all captures one after another, each capture's samples
// preceded by its header bytes.

// The sample type: complex pairs of one element kind.
struct SigmfDatatype
{
    enum Kind { Float, Signed, Unsigned } kind = Float;
    int bits = 32;
    bool bigEndian = false;
    int sampleBytes() const { return 2 * bits / 8; }
};

// A run of samples in the data file.
struct SigmfSegment
{
    int64_t offset = 0;  // bytes into the data
    int64_t count = 0;   // samples
};

struct SigmfMeta
{
    SigmfDatatype type;
    double sampleRate = 0.0;
    bool hasSampleRate = false;
    double frequency = 0.0;
    bool hasFrequency = false;
    double refLevel = 0.0;
    bool hasRefLevel = false;
    std::vector<SigmfSegment> segments;
    int64_t count = 0;  // samples in all segments
};

// Reads the metadata and lays the samples out over a data part of dataBytes bytes.
// -1 for malformed JSON, missing or unknown datatype, offsets outside the data or data
// shorter than the captures need; -9 (Unsupported) for real samples or several channels.
IqStatus parseSigmfMeta(const QByteArray &json, int64_t dataBytes, SigmfMeta &meta);

// "cf32_le" and the like; false for anything else (real types parse with isComplex false).
bool parseSigmfDatatype(const QString &text, SigmfDatatype &type, bool &isComplex);
