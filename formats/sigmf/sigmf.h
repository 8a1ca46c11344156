#pragma once

#include "iqbuffer.h"
#include "outputfile.h"
#include "sha512.h"
#include "sigmfmeta.h"

#include <QFile>
#include <QString>

#include <cstddef>
#include <memory>
#include <vector>

// SigMF recordings (type 33): metadata in "x.sigmf-meta", samples in "x.sigmf-data", or both
// in the tar archive "x.sigmf" (see sigmfmeta.h for the metadata read). Loaded samples keep
// their values: floats as they are, signed integers as their codes, unsigned integers less
// half their range (cu8 128 is 0). A load checks the data against core:sha512 when the
// metadata carries one (sigmfverify.h). Saved recordings are cf32_le with the metadata keys
// core:version, core:datatype, core:sample_rate (when above 0), core:recorder, core:sha512 (of the
// data), core:extensions (declaring "trovik"), trovik:ref_level, core:hw (the instrument, when
// known), core:description and core:author (when the record carries them from a SigMF load), one
// capture with core:sample_start 0, core:frequency (only when the record knows it) and
// core:datetime (the capture time, UTC, when known), and the annotations the record carries.
// A name ending in ".sigmf" is saved as the archive: a tar file holding "x/x.sigmf-data" and
// then "x/x.sigmf-meta".

// Reads a recording's samples in order, across its captures, without loading it whole.
class SigmfSource
{
public:
    // Opens the recording named by any of its names; the source is then at the first sample.
    // The count and the facts are asked for afterwards.
    IqStatus open(const QString &name);
    int64_t count() const { return m_meta.count; }
    // Puts what the metadata carries into the record (not the count, not the arrays).
    void describe(IqBuffer &record) const;
    // Reads the next n samples into i[k * stride] and q[k * stride]; false when the data end
    // first.
    bool read(float *i, float *q, int64_t n, std::ptrdiff_t stride = 1);
    // Moves to sample first of the recording, across captures.
    void seek(int64_t first);

private:
    bool readRun(float *i, float *q, int64_t n, std::ptrdiff_t stride);
    int64_t readMapped(int64_t at, float *i, float *q, int64_t n, std::ptrdiff_t stride);

    QFile m_file;
    SigmfMeta m_meta;
    int64_t m_dataOffset = 0;
    size_t m_segment = 0;
    int64_t m_done = 0;  // samples read of the current segment
    std::vector<unsigned char> m_block;
};

// Writes a recording piece by piece: samples first, the metadata (with the data's hash) at
// finish(). The hash is computed on a second thread while the samples are written. Nothing
// replaces an existing recording unless it is complete. An archive needs the sample count up
// front (its data member's size comes first); finish() fails when a different count came.
class SigmfSink
{
public:
    explicit SigmfSink(const QString &name, int64_t count = -1);
    ~SigmfSink();
    bool isOpen() const;
    bool ok() const;  // false once a write has failed
    void write(const float *i, const float *q, int64_t n, std::ptrdiff_t stride = 1);
    IqStatus finish(const IqBuffer &record);

private:
    QString m_base;
    bool m_archive = false;
    int64_t m_count = -1;
    int64_t m_written = 0;  // bytes of samples
    std::unique_ptr<OutputFile> m_data;
    std::unique_ptr<BackgroundSha512> m_hash;
};

// The metadata text a save writes for the record and the data file's SHA-512 (hex).
QByteArray sigmfMetaText(const IqBuffer &record, const QByteArray &sha512Hex);

struct FrameCodec;
// Recordings as frames read at any position (the data checked against core:sha512 at open, as a
// load checks them) and written in pieces, the metadata last.
const FrameCodec &sigmfFrameCodec();
