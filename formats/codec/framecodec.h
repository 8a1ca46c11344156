#pragma once

#include "filefailure.h"
#include "iqbuffer.h"
#include "iqstatus.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>

// Where a read puts its frames (I/Q pairs): frame k's I goes to i[k * stride] and its Q to
// q[k * stride]. The record's planar arrays are stride 1; an interleaved complex buffer (a
// numpy complex64 array, an interleaved file image) is i = base, q = base + 1, stride 2. One
// shape serves both, so neither needs a copy to be read into.
struct FrameSpan
{
    float *i = nullptr;
    float *q = nullptr;
    std::ptrdiff_t stride = 1;

    FrameSpan from(int64_t frame) const { return {i + frame * stride, q + frame * stride, stride}; }
};

// Where a write takes its frames from, in the same shape as FrameSpan.
struct ConstFrameSpan
{
    const float *i = nullptr;
    const float *q = nullptr;
    std::ptrdiff_t stride = 1;

    ConstFrameSpan from(int64_t frame) const
    {
        return {i + frame * stride, q + frame * stride, stride};
    }
};

// What all frames of a record say together, for writers that must know it before their
// first frame: a scale to the file's full range (the channel extremes), or a header that
// states the peak and the power.
struct FrameSummary
{
    int64_t count = 0;
    float iMin = 0.0f;
    float iMax = 0.0f;
    float qMin = 0.0f;
    float qMax = 0.0f;
    double powerSum = 0.0;
    double peakMagnitude = 0.0;
};

// The summary of count frames in memory, worked out as a save does (one pass in frame order),
// so a writer begun with it writes the bytes of a save of the same frames.
FrameSummary summaryOf(const ConstFrameSpan &frames, int64_t count);

// An open file being read. Opening parses the header; frames are then read at any position,
// in pieces of any size, so a file larger than memory is read in chunks.
class FrameReader
{
public:
    virtual ~FrameReader() = default;
    // Frames (I/Q pairs) the file holds.
    virtual int64_t frameCount() const = 0;
    // Puts what the header says into record: sample rate, centre frequency (and whether it is
    // known), reference level, capture time, instrument, extra. The sample arrays and the
    // count are left alone.
    virtual void describe(IqBuffer &record) const = 0;
    // Reads count frames starting at frame first into out. A failure notes its detail
    // (core/filefailure.h) and returns a nonzero status.
    virtual IqStatus read(int64_t first, int64_t count, const FrameSpan &out) = 0;
};

// A destination being written. Nothing replaces an existing file before finish() succeeds:
// a writer destroyed without it leaves the destination as it was.
class FrameWriter
{
public:
    virtual ~FrameWriter() = default;
    // Whether begin needs the summary of all frames (then the caller scans them first).
    virtual bool needsSummary() const { return false; }
    // Once, before the first frame: the header's values come from facts (rate, level, centre
    // frequency, capture time, instrument, extra), total is the count of frames that will be
    // written, summary is non-null when needsSummary() says so.
    virtual IqStatus begin(const IqBuffer &facts, int64_t total, const FrameSummary *summary) = 0;
    // The next count frames.
    virtual IqStatus write(int64_t count, const ConstFrameSpan &in) = 0;
    // Completes the file(s) and puts them in place.
    virtual IqStatus finish() = 0;
};

// The streaming side of a type code: how its files are opened for reading frames and for
// writing them. Text formats may have none and stay whole-file (loadIqFile / saveIqFile).
struct FrameCodec
{
    // iFile and qFile as the record names them (qFile empty for one-file types).
    std::unique_ptr<FrameReader> (*openReader)(const QString &iFile, const QString &qFile,
                                               int typeCode, IqStatus &status)
            = nullptr;
    std::unique_ptr<FrameWriter> (*openWriter)(const QString &iFile, const QString &qFile,
                                               int typeCode, IqStatus &status)
            = nullptr;
};

// The codec of a type code, or nullptr where the type has no streaming codec (yet).
const FrameCodec *frameCodecFor(int typeCode);

// Ok when frames first .. first + count lie within total; otherwise notes the range against path
// and returns FirstFile. Every reader checks a read with it before touching the file.
IqStatus checkFrameRange(int64_t first, int64_t count, int64_t total, const QString &path);
// Ok when a writer got the frames begin announced; otherwise notes both counts.
IqStatus checkFramesWritten(int64_t written, int64_t total, const QString &path);

// Whether the type's writer fills one file front to back, its header known from begin's facts,
// total and summary: then it can write to a pipe ("-", the standard output). Layouts that fill
// two regions side by side (IQW blocks, Loomwave), two files (raw recording, WAV single,
// SigMF) and MAT cannot.
bool writesFrontToBack(int typeCode);
