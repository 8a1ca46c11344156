#include "chunkedcopy.h"

#include "failuredetail.h"
#include "filetypes.h"
#include "framecodec.h"
#include "wavpcm.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int64_t kBlockSamples = int64_t(1) << 20;  // progress and cache-sized read/write steps

IqStatus refuse(const QString &path, const QString &reason)
{
    return failFile(IqStatus::FirstFile, path, reason);
}

// Reads every frame once, in blocks of its own, for the figures a scaled target's header
// states before its first sample; the record carries them afterwards.
IqStatus summarise(FrameReader &reader, IqBuffer &record, FrameSummary &summary)
{
    const int64_t total = reader.frameCount();
    std::vector<float> i(size_t(std::min(total, kBlockSamples))), q(i.size());
    PcmScanner scanner;
    for (int64_t done = 0; done < total;) {
        const int64_t m = std::min(total - done, kBlockSamples);
        if (const IqStatus status = reader.read(done, m, FrameSpan{i.data(), q.data(), 1});
            failed(status))
            return status;
        scanner.add(i.data(), q.data(), m);
        done += m;
    }
    const PcmScan s = scanner.result();
    applyScan(record, s, true, true);
    summary = {total, s.iMin, s.iMax, s.qMin, s.qMax, s.powerSum, s.peak};
    return IqStatus::Ok;
}

struct CopyWatch
{
    const CopyProgress &progress;
    const CopyCancelled &cancelled;
    QString source;
};

// The chunk's frames pass through the record's arrays a block at a time.
IqStatus copyChunk(FrameReader &reader, FrameWriter &writer, IqBuffer &record, int64_t first,
                   int64_t n, const CopyWatch &watch)
{
    const int64_t total = reader.frameCount();
    for (int64_t at = 0; at < n; at += kBlockSamples) {
        const int64_t m = std::min(kBlockSamples, n - at);
        const FrameSpan span{record.iData.data() + at, record.qData.data() + at, 1};
        if (const IqStatus status = reader.read(first + at, m, span); failed(status))
            return status;
        if (const IqStatus status = writer.write(m, ConstFrameSpan{span.i, span.q, 1});
            failed(status))
            return status;
        if (watch.progress)
            watch.progress(first + at + m, total);
        if (watch.cancelled && watch.cancelled())  // the unfinished target is discarded
            return failFile(IqStatus::Cancelled, watch.source,
                            QStringLiteral("cancelled by the user after %1 of %2 "
                                           "samples; nothing was written")
                                    .arg(first + at + m)
                                    .arg(total));
    }
    return IqStatus::Ok;
}

IqStatus copyAll(FrameReader &reader, FrameWriter &writer, IqBuffer &record, int64_t chunk,
                 const CopyWatch &watch)
{
    const int64_t total = reader.frameCount();
    for (int64_t done = 0; done < total;) {
        const int64_t n = std::min(chunk, total - done);
        // The last, shorter chunk gets arrays of its own size, so afterwards the record holds
        // exactly that chunk and nothing stale from the one before.
        if (n < record.heldCount() || record.iData.isNull())
            if (const IqStatus status = allocateSamples(record, n); failed(status))
                return status;
        if (const IqStatus status = copyChunk(reader, writer, record, done, n, watch);
            failed(status))
            return status;
        done += n;
    }
    return IqStatus::Ok;
}

QString rowName(const FileTypeRow &row)
{
    return QLatin1String(row.displayName);
}

IqStatus convert(IqBuffer &source, const QString &targetFile, const QString &targetQFile,
                 int targetType, int64_t chunk, const CopyWatch &watch)
{
    const FileTypeRow &from = FileTypeTable::loadRow(source.typeIndex);
    const FileTypeRow &to = FileTypeTable::saveRowOfCode(targetType);
    if (!from.can(RowAbility::CopySource) || !to.can(RowAbility::CopyTarget))
        return refuse(source.iFileName,
                      QStringLiteral("Copy IQ cannot convert a '%1' file into '%2'")
                              .arg(rowName(from), rowName(to)));
    if (chunk <= 0)
        return refuse(source.iFileName,
                      QStringLiteral("a chunk of %1 samples cannot be copied").arg(chunk));
    const QString sourceQ = from.fileCount == 2 && source.qFileName.isEmpty()
                                    ? FileTypeTable::loadQName(from, source.iFileName)
                                    : source.qFileName;
    IqStatus status = IqStatus::Ok;
    const auto reader = frameCodecFor(from.typeCode)
                                ->openReader(source.iFileName, sourceQ, from.typeCode, status);
    if (!reader)
        return status;
    reader->describe(source);
    source.sampleCount = reader->frameCount();
    source.chunkCount = source.sampleCount / chunk;
    source.lastChunkSize = source.sampleCount % chunk;
    releaseSamples(source);
    const auto writer
            = frameCodecFor(targetType)
                      ->openWriter(targetFile, to.fileCount == 2 ? targetQFile : QString(),
                                   targetType, status);
    if (!writer)
        return status;
    FrameSummary summary;
    if (writer->needsSummary())
        if (const IqStatus s = summarise(*reader, source, summary); failed(s))
            return s;
    if (const IqStatus s = allocateSamples(source, std::min(chunk, source.sampleCount)); failed(s))
        return s;
    if (const IqStatus s
        = writer->begin(source, source.sampleCount, writer->needsSummary() ? &summary : nullptr);
        failed(s))
        return s;
    if (const IqStatus s = copyAll(*reader, *writer, source, chunk, watch); failed(s))
        return s;
    return writer->finish();
}

}  // namespace

IqStatus convertInChunks(IqBuffer &source, const QString &targetFile, const QString &targetQFile,
                         int targetTypeCode, int64_t chunkSamples, const CopyProgress &progress,
                         const CopyCancelled &cancelled)
{
    const CopyWatch watch{progress, cancelled, source.iFileName};
    const IqStatus status = namedFailure(
            convert(source, targetFile, targetQFile, targetTypeCode, chunkSamples, watch),
            source.iFileName);
    if (status != IqStatus::Ok) {
        releaseSamples(source);
        source.sampleCount = 0;
    }
    return status;
}

IqStatus convertInChunks(IqBuffer &source, const QString &targetFile, int targetTypeCode,
                         int64_t chunkSamples, const CopyProgress &progress,
                         const CopyCancelled &cancelled)
{
    const QString q
            = FileTypeTable::saveQName(FileTypeTable::saveRowOfCode(targetTypeCode), targetFile);
    return convertInChunks(source, targetFile, q, targetTypeCode, chunkSamples, progress,
                           cancelled);
}
