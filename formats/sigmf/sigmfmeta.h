#pragma once

#include "iqstatus.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVariantMap>

#include <cstdint>
#include <vector>

// A SigMF recording's metadata as far as a load needs it. The metadata is JSON:
//   "global":   "core:datatype" (e.g. "cf32_le", "ci16_be", "cu8"), "core:sample_rate",
//               "core:num_channels" (default 1), "core:sha512" (of the whole data file),
//               "core:trailing_bytes" (bytes after the last sample that are not samples),
//               "core:description", "core:author", "core:hw", "core:extensions",
//               "trovik:ref_level";
//   "captures": objects in sample order with "core:sample_start", "core:frequency",
//               "core:header_bytes" (bytes before the capture's samples that are not samples),
//               "core:datetime";
//   "annotations": kept as they are, for a save as SigMF.
// The data file holds the samples of all captures one after another, each capture's samples
// preceded by its header bytes, then the trailing bytes. What lies between is a whole number of
// samples, or the recording is refused: a partial sample means the file was cut or mislabelled.

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
    QByteArray sha512;     // lower-case hex as the metadata gives it; empty when absent
    QDateTime datetime;    // the first capture's, UTC; invalid when absent or unreadable
    QString hw;            // core:hw
    QVariantMap extra;     // core:description, core:author and the annotations, under their keys
    QString datatypeName;  // as the metadata spells it
    std::vector<SigmfSegment> segments;
    int64_t count = 0;  // samples in all segments
};

// Why a parse failed, and whose fault: the metadata's (bad JSON, a missing or wrong key) or the
// data's (a size that does not fit the metadata).
struct SigmfProblem
{
    enum Where { Meta, Data } where = Meta;
    QString reason;
};

// Reads the metadata and lays the samples out over a data part of dataBytes bytes.
// -1 for malformed JSON (the reason gives line and column), a missing key (named), an unknown
// datatype (named), offsets outside the data, data shorter than the captures need or not a whole
// number of samples; -9 (Unsupported) for real samples or several channels.
IqStatus parseSigmfMeta(const QByteArray &json, int64_t dataBytes, SigmfMeta &meta,
                        SigmfProblem *problem = nullptr);

// "cf32_le" and the like; false for anything else (real types parse with isComplex false).
bool parseSigmfDatatype(const QString &text, SigmfDatatype &type, bool &isComplex);
