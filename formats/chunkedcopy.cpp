#include "chunkedcopy.h"

#include "failuredetail.h"
#include "filetypes.h"
#include "outputfile.h"
#include "rawrecording.h"
#include "sigmf.h"
#include "wavformat.h"
#include "wvformat.h"

#include "wavpcm.h"

#include <QFile>

#include <algorithm>
#include <memory>

namespace {

constexpr int kWav = TypeCode::WavMixed;
constexpr int kRaw = TypeCode::RawRecording;
constexpr int kWv = TypeCode::Wv;
constexpr int kSigmf = TypeCode::Sigmf;
constexpr int64_t kBlockSamples = int64_t(1) << 20;  // progress and cache-sized read/write steps

// The open source: its type and, for WAV, the sample kind.
struct Source
{
    QFile file;
    int type = 0;
    int wavKind = 0;
    std::unique_ptr<SigmfSource> sigmf;
};

IqStatus openSigmfSource(IqBuffer &record, Source &src, bool levels, bool power)
{
    src.sigmf = std::make_unique<SigmfSource>();
    if (const IqStatus status = src.sigmf->open(record.iFileName, record))
        return status;
    return src.sigmf->scan(record, levels, power);
}

IqStatus openSource(IqBuffer &record, Source &src, bool levels, bool power)
{
    if (src.type == kRaw)
        return readRawHeader(record, src.file, levels, power);
    if (src.type == kSigmf)
        return openSigmfSource(record, src, levels, power);
    if (!src.file.isOpen() && !src.file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return failDevice(IqStatusCode::FirstFile, src.file);
    if (src.type == kWv)
        return readWvHeader(record, src.file, levels, power);
    const IqStatus status = readWavHeader(record, src.file, src.wavKind, levels, power);
    if (status == IqStatusCode::Ok && src.wavKind != WavKind::Stereo8
        && src.wavKind != WavKind::Stereo16)
        return failFile(IqStatusCode::BadWavHeader, record.iFileName,
                        QStringLiteral("a mono WAV file has no Q channel to copy"));
    return status;
}

IqStatus readBlock(IqBuffer &record, Source &src, int64_t count, int64_t at)
{
    if (src.type == kWv)
        return readWvSamples(record, src.file, count, at);
    if (src.type == kRaw)
        return readRawSamples(record, src.file, count, at);
    if (src.type == kSigmf) {
        const bool ok = src.sigmf->read(record.iData.data() + at, record.qData.data() + at, count);
        return ok ? IqStatusCode::Ok : IqStatusCode::FirstFile;
    }
    return readWavSamples(record, src.file, count, src.wavKind, at);
}

// The target's files; a raw recording has its header file beside the data.
struct Target
{
    int type = 0;
    std::unique_ptr<OutputFile> data;
    std::unique_ptr<OutputFile> header;
    std::unique_ptr<SigmfSink> sigmf;  // a SigMF target writes its own two files
    double factor = 0.0;
    QString path;

    bool ok() const { return sigmf ? sigmf->ok() : data->ok(); }
};

IqStatus openTarget(const IqBuffer &record, const QString &path, Target &t)
{
    if (t.type == kSigmf) {
        t.sigmf = std::make_unique<SigmfSink>(path, record.sampleCount);
        return t.sigmf->isOpen() ? IqStatusCode::Ok : namedFailure(IqStatusCode::FirstFile, path);
    }
    t.data = std::make_unique<OutputFile>(path);
    if (t.type == kWv)
        return writeWvHeader(record, *t.data, t.factor, false);
    if (t.type == kWav)
        return writeWavHeader(record, *t.data, t.factor, false);
    t.header = std::make_unique<OutputFile>(rawHeaderPath(path), 4096);
    if (!t.data->isOpen())
        return IqStatusCode::FirstFile;
    return writeRawHeader(record, *t.header, t.factor, false);
}

void writeBlock(const IqBuffer &record, Target &t, int64_t count, int64_t from)
{
    if (t.type == kSigmf)
        t.sigmf->write(record.iData.data() + from, record.qData.data() + from, count);
    else if (t.type == kWv)
        writeWvSamples(record, *t.data, count, t.factor, from);
    else if (t.type == kRaw)
        writeRawSamples(record, *t.data, count, t.factor, from);
    else
        writeWavSamples(record, *t.data, count, t.factor, from);
}

IqStatus finishTarget(const IqBuffer &record, Target &t)
{
    if (t.sigmf)
        return namedFailure(t.sigmf->finish(record), t.path);
    if (t.type == kWv)
        writeWvEnd(*t.data);
    if (!t.data->commit())
        return IqStatusCode::FirstFile;
    return !t.header || t.header->commit() ? IqStatusCode::Ok : IqStatusCode::FirstFile;
}

IqStatus copyChunks(IqBuffer &record, Source &src, Target &t, int64_t chunk,
                    const CopyProgress &progress, const CopyCancelled &cancelled)
{
    const int64_t total = record.sampleCount;
    int64_t done = 0;
    for (int64_t c = 0; done < total; ++c) {
        const int64_t n = std::min(chunk, total - done);
        // The last, shorter chunk gets arrays of its own size, so afterwards the record holds
        // exactly that chunk and nothing stale from the one before.
        if (n < record.heldCount() || record.iData.isNull()) {
            if (const IqStatus status = allocateSamples(record, n))
                return status;
        }
        for (int64_t at = 0; at < n; at += kBlockSamples) {
            const int64_t m = std::min(kBlockSamples, n - at);
            if (const IqStatus status = readBlock(record, src, m, at))
                return status;
            writeBlock(record, t, m, at);
            if (!t.ok())
                return namedFailure(IqStatusCode::FirstFile, t.path);
            if (progress)
                progress(done + at + m, total);
            // The first-file status stands for a cancel too; the detail tells it apart.
            if (cancelled && cancelled())  // the uncommitted target is discarded
                return failFile(IqStatusCode::FirstFile, record.iFileName,
                                QStringLiteral("cancelled by the user after %1 of %2 samples; "
                                               "nothing was written")
                                        .arg(done + at + m)
                                        .arg(total));
        }
        done += n;
    }
    return IqStatusCode::Ok;
}

IqStatus convert(IqBuffer &source, const QString &targetFile, int targetType, int64_t chunk,
                 const CopyProgress &progress, const CopyCancelled &cancelled)
{
    Source src;
    src.type = FileTypeTable::loadRow(source.typeIndex).typeCode;
    src.file.setFileName(source.iFileName);
    if (!FileTypeTable::loadRow(source.typeIndex).can(RowAbility::CopySource)
        || !FileTypeTable::saveRowOfCode(targetType).can(RowAbility::CopyTarget))
        return failFile(
                IqStatusCode::FirstFile, source.iFileName,
                QStringLiteral("Copy IQ cannot convert a '%1' file into '%2'")
                        .arg(QLatin1String(FileTypeTable::loadRow(source.typeIndex).displayName),
                             QLatin1String(FileTypeTable::saveRowOfCode(targetType).displayName)));
    if (chunk <= 0)
        return failFile(IqStatusCode::FirstFile, source.iFileName,
                        QStringLiteral("a chunk of %1 samples cannot be copied").arg(chunk));
    if (const IqStatus status = openSource(source, src, targetType != kWv, targetType == kWv))
        return status;
    source.chunkCount = source.sampleCount / chunk;
    source.lastChunkSize = source.sampleCount % chunk;
    releaseSamples(source);
    if (const IqStatus status = allocateSamples(source, std::min(chunk, source.sampleCount)))
        return status;
    Target t;
    t.type = targetType;
    t.path = targetFile;
    if (const IqStatus status = openTarget(source, targetFile, t))
        return status;
    if (const IqStatus status = copyChunks(source, src, t, chunk, progress, cancelled))
        return status;
    return finishTarget(source, t);
}

}  // namespace

IqStatus convertInChunks(IqBuffer &source, const QString &targetFile, int targetTypeCode,
                         int64_t chunkSamples, const CopyProgress &progress,
                         const CopyCancelled &cancelled)
{
    const IqStatus status = namedFailure(
            convert(source, targetFile, targetTypeCode, chunkSamples, progress, cancelled),
            source.iFileName);
    if (status != IqStatusCode::Ok) {
        releaseSamples(source);
        source.sampleCount = 0;
    }
    return status;
}
