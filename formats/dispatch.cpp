#include "dispatch.h"

#include "wholefile.h"
#include "failuredetail.h"
#include "filetypes.h"
#include "frameappend.h"
#include "framecodec.h"
#include "framesave.h"

#include <QTemporaryDir>

#include <algorithm>
#include <cstring>

namespace {

void clearSamples(IqBuffer &r)
{
    releaseSamples(r);
    r.sampleCount = 0;
}

constexpr int64_t kLoadPiece = int64_t(1) << 22;  // frames read per call into the arrays

// A streaming type loads through its codec: the header first, then all frames in pieces
// straight into the record's arrays; what the header says is kept only when all frames came.
IqStatus readFrames(IqBuffer &record, const FrameCodec &codec, int typeCode)
{
    IqStatus status = IqStatus::Ok;
    const auto reader = codec.openReader(record.iFileName, record.qFileName, typeCode, status);
    if (!reader)
        return status;
    const int64_t n = reader->frameCount();
    if (const IqStatus s = allocateSamples(record, n); failed(s))
        return s;
    for (int64_t done = 0; done < n; done += kLoadPiece) {
        const FrameSpan span{record.iData.data(), record.qData.data(), 1};
        if (const IqStatus s = reader->read(done, std::min(kLoadPiece, n - done), span.from(done));
            failed(s))
            return s;
    }
    reader->describe(record);
    record.sampleCount = n;
    return IqStatus::Ok;
}

IqStatus readInto(IqBuffer &record, int typeCode)
{
    clearSamples(record);
    record.fileMode = 1;  // a load always names all files of its type
    if (const FrameCodec *codec = frameCodecFor(typeCode); codec && codec->openReader) {
        const IqStatus status = namedFailure(readFrames(record, *codec, typeCode), record.iFileName,
                                             record.qFileName);
        if (status != IqStatus::Ok)
            clearSamples(record);
        return status;
    }
    FormatReader read = textFormatReader(typeCode);
    if (!read)
        return IqStatus::Ok;
    const IqStatus status
            = namedFailure(read(record, typeCode), record.iFileName, record.qFileName);
    if (status != IqStatus::Ok)
        clearSamples(record);
    else
        record.sampleCount = record.heldCount();  // a reader never claims more than it holds
    return status;
}

IqStatus write(const IqBuffer &record, int typeCode, const QString &iFile, const QString &qFile)
{
    const FrameCodec *codec = frameCodecFor(typeCode);
    if (codec && codec->openWriter)
        return namedFailure(writeFramesFrom(*codec, typeCode, iFile, qFile, record,
                                            {record.iData.data(), record.qData.data(), 1},
                                            record.heldCount()),
                            iFile, qFile);
    FormatWriter w = textFormatWriter(typeCode);
    if (!w)
        return IqStatus::Ok;
    IqBuffer view = record;
    view.sampleCount = record.heldCount();
    return namedFailure(w(view, typeCode, iFile, qFile), iFile, qFile);
}

// The record as a file of the type would give it back: written alone and read again. Formats
// that scale to their full range read back in their own units (codes, or values normalised
// to full scale); the samples already in such a file are in those units, so added samples
// must be too, or the rewrite would squeeze one part of the file to nothing.
IqStatus inFileUnits(const IqBuffer &source, int typeCode, IqBuffer &out)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return failFile(IqStatus::FirstFile, dir.path(),
                        QStringLiteral("cannot create a temporary folder to scale the added "
                                       "samples: ")
                                + dir.errorString());
    out.iFileName = dir.filePath(QStringLiteral("added.i"));
    out.qFileName = dir.filePath(QStringLiteral("added.q"));
    if (const IqStatus status = write(source, typeCode, out.iFileName, out.qFileName);
        failed(status))
        return status;
    return readInto(out, typeCode);
}

// The added samples as the file's type holds them: the source itself, or for a type that
// scales to its full range the source in the file's units.
IqStatus addedSamples(const FileTypeRow &row, const IqBuffer &source, IqBuffer &added)
{
    if (!row.can(RowAbility::ScaledOnWrite)) {
        added = source;
        return IqStatus::Ok;
    }
    added = IqBuffer();
    return inFileUnits(source, row.typeCode, added);
}

// Reads the existing destination into scratch and joins the added samples behind it.
IqStatus joinWithExisting(const FileTypeRow &row, IqBuffer &source, IqBuffer &scratch,
                          IqBuffer &target, int32_t guardCount)
{
    if (const IqStatus readStatus = readInto(scratch, row.typeCode); failed(readStatus))
        return readStatus;
    IqBuffer added;
    if (const IqStatus status = addedSamples(row, source, added); failed(status)) {
        clearSamples(scratch);
        return status;
    }
    const int64_t existing = scratch.heldCount();
    const IqStatus joinStatus = joinIqData(target, scratch, added, guardCount);
    // The existing samples are in the joined arrays now (or the join failed): let them go.
    clearSamples(scratch);
    if (joinStatus == IqStatus::Ok)
        return IqStatus::Ok;
    return failFile(joinStatus, target.iFileName,
                    QStringLiteral("out of memory: cannot join the %1 samples of the file "
                                   "with %2 added samples and %3 guard samples")
                            .arg(existing)
                            .arg(added.heldCount())
                            .arg(guardCount));
}

// The existing file streams through the type's writer behind the added samples' place, so
// appending to a file larger than memory works, and memory holds the added samples only.
IqStatus appendStreaming(const FrameCodec &codec, const FileTypeRow &row, IqBuffer &source,
                         IqBuffer &target, const QString &qFile, int32_t guardCount)
{
    IqBuffer added;
    if (const IqStatus status = addedSamples(row, source, added); failed(status))
        return status;
    int64_t total = 0;
    const IqStatus status = namedFailure(appendFrames(codec, row.typeCode, target.iFileName, qFile,
                                                      target, added, guardCount, total),
                                         target.iFileName, qFile);
    target.sampleCount = status == IqStatus::Ok ? total : 0;
    return status;
}

}  // namespace

IqStatus readFileOfType(IqBuffer &record, int typeCode)
{
    return readInto(record, typeCode);
}

IqStatus writeFileOfType(const IqBuffer &record, int typeCode, const QString &iFile,
                         const QString &qFile)
{
    return write(record, typeCode, iFile, qFile);
}

bool typeHasReader(int typeCode)
{
    const FrameCodec *codec = frameCodecFor(typeCode);
    return (codec && codec->openReader) || textFormatReader(typeCode);
}

bool typeHasWriter(int typeCode)
{
    const FrameCodec *codec = frameCodecFor(typeCode);
    return (codec && codec->openWriter) || textFormatWriter(typeCode);
}

IqStatus loadIqFile(IqBuffer &record)
{
    const FileTypeRow &row = FileTypeTable::loadRow(record.typeIndex);
    if (row.isEnd()) {
        // The end marker's code 0 would otherwise read the file as Matlab ASCII.
        clearSamples(record);
        return failFile(IqStatus::FirstFile, record.iFileName,
                        QStringLiteral("no load type has the list index %1").arg(record.typeIndex));
    }
    if (row.fileCount != 2)
        record.qFileName.clear();  // a stale Q name must not turn a one-file read into two
    return readInto(record, row.typeCode);
}

IqStatus saveIqFile(IqBuffer &source, IqBuffer &scratch, IqBuffer &target, bool append,
                    int32_t guardCount)
{
    target.sampleCount = 0;
    scratch.typeIndex = target.typeIndex;
    // A capture holds what the instrument sent, which may be fewer samples than the panel's
    // count now says: the samples held, never more.
    if (source.iqSource != 0)
        source.sampleCount = source.heldCount();
    target.sampleRate = source.sampleRate;
    target.sampleCount = source.sampleCount;
    target.refLevel = source.refLevel;
    target.centerFrequency = source.centerFrequency;
    target.centerFrequencyKnown = source.centerFrequencyKnown;

    const FileTypeRow &row = FileTypeTable::saveRow(target.typeIndex);
    if (row.isEnd())
        return failFile(IqStatus::FirstFile, target.iFileName,
                        QStringLiteral("no save type has the list index %1").arg(target.typeIndex));
    // A Q name left over from an earlier two-file choice must not split a one-file type.
    const QString qFile = row.fileCount == 2 ? target.qFileName : QString();
    if (!append)
        return write(source, row.typeCode, target.iFileName, qFile);
    // Writing the record alone over the file would pass for an append and lose the file.
    if (!row.can(RowAbility::Append))
        return failFile(IqStatus::FirstFile, target.iFileName,
                        QStringLiteral("a file of the type '%1' cannot be appended to")
                                .arg(QLatin1String(row.displayName)));

    if (const FrameCodec *codec = frameCodecFor(row.typeCode);
        codec && codec->openReader && codec->openWriter)
        return appendStreaming(*codec, row, source, target, qFile, guardCount);
    scratch.iFileName = target.iFileName;
    scratch.qFileName = qFile;
    if (const IqStatus status = joinWithExisting(row, source, scratch, target, guardCount);
        failed(status))
        return status;
    return write(target, row.typeCode, target.iFileName, qFile);
}

IqStatus joinIqData(IqBuffer &target, IqBuffer existing, IqBuffer added, int32_t guardCount)
{
    const int64_t n = existing.heldCount();
    const int64_t m = added.heldCount();
    const int64_t g = std::clamp<int64_t>(guardCount, 0, m);
    const int64_t total = n + g + m;

    releaseSamples(target);
    if (allocateSamples(target, total) != IqStatus::Ok) {
        releaseSamples(target);
        target.sampleCount = 0;
        return IqStatus::OutOfMemory;
    }
    target.sampleCount = total;
    const auto join = [&](float *out, const float *old, const float *add) {
        if (n > 0)
            std::memcpy(out, old, static_cast<size_t>(n) * sizeof(float));
        if (g > 0)
            std::memcpy(out + n, add + (m - g), static_cast<size_t>(g) * sizeof(float));
        if (m > 0)
            std::memcpy(out + n + g, add, static_cast<size_t>(m) * sizeof(float));
    };
    join(target.iData.data(), existing.iData.data(), added.iData.data());
    join(target.qData.data(), existing.qData.data(), added.qData.data());
    return IqStatus::Ok;
}
