#include "sigmf.h"

#include "filefailure.h"
#include "programidentity.h"
#include "readfailure.h"
#include "sampleconvert.h"
#include "sigmfarchive.h"
#include "sigmfverify.h"
#include "wavpcm.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <utility>

namespace {

constexpr int64_t kBlockBytes = int64_t(1) << 18;
constexpr int64_t kMapWindowBytes = int64_t(8) << 20;
constexpr int64_t kWriteBlock = int64_t(1) << 16;  // samples encoded and hashed at a time

// Elements stored in the other byte order are turned around in place first.
void swapElements(unsigned char *p, int64_t elements, int width)
{
    for (int64_t k = 0; k < elements; ++k, p += width)
        std::reverse(p, p + width);
}

// Unsigned codes less half their range, worked out in double so 32-bit codes stay exact enough.
template<typename T>
void splitShifted(float *i, float *q, const unsigned char *src, int64_t n)
{
    constexpr double half = double(uint64_t(1) << (8 * sizeof(T) - 1));
    for (int64_t k = 0; k < n; ++k) {
        i[k] = float(double(sampleconvert::loadLe<T>(src + 2 * k * sizeof(T))) - half);
        q[k] = float(double(sampleconvert::loadLe<T>(src + (2 * k + 1) * sizeof(T))) - half);
    }
}

void decode(const SigmfDatatype &t, unsigned char *src, int64_t n, float *i, float *q)
{
    using namespace sampleconvert;
    const int width = t.bits / 8;
    if (t.bigEndian && width > 1)
        swapElements(src, 2 * n, width);
    switch (t.kind) {
    case SigmfDatatype::Float:
        return width == 4 ? splitPairs<float>(i, q, src, n) : splitPairs<double>(i, q, src, n);
    case SigmfDatatype::Signed:
        if (width == 1)
            return splitPairs<int8_t>(i, q, src, n);
        return width == 2 ? splitPairs<int16_t>(i, q, src, n) : splitPairs<int32_t>(i, q, src, n);
    case SigmfDatatype::Unsigned:
        if (width == 1)
            return splitShifted<uint8_t>(i, q, src, n);
        return width == 2 ? splitShifted<uint16_t>(i, q, src, n)
                          : splitShifted<uint32_t>(i, q, src, n);
    }
}

}  // namespace

IqStatus SigmfSource::open(const QString &name, IqBuffer &record)
{
    SigmfParts parts;
    if (const IqStatus status = locateSigmf(name, parts))
        return status;
    // Inside an archive the reason names the member; the path is the archive's.
    const QString member = parts.dataMember.isEmpty()
                                   ? QString()
                                   : QStringLiteral("data member %1: ").arg(parts.dataMember);
    SigmfProblem problem;
    if (const IqStatus status = parseSigmfMeta(parts.meta, parts.dataBytes, m_meta, &problem)) {
        const bool data = problem.where == SigmfProblem::Data;
        return failFile(status, data ? parts.dataPath : parts.metaPath,
                        (data ? member : QString()) + problem.reason);
    }
    if (!m_meta.sha512.isEmpty() && sigmfVerifyOptions().enabled)
        if (const IqStatus status = verifySigmfData(parts.dataPath, parts.dataOffset,
                                                    parts.dataBytes, m_meta.sha512, member))
            return status;
    m_file.setFileName(parts.dataPath);
    if (!m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return failFile(IqStatusCode::FirstFile, parts.dataPath, m_file.errorString());
    m_dataName = parts.dataPath;
    m_dataOffset = parts.dataOffset;
    record.sampleCount = m_meta.count;
    if (m_meta.hasSampleRate)
        record.sampleRate = m_meta.sampleRate;
    if (m_meta.hasRefLevel)
        record.refLevel = float(m_meta.refLevel);
    if (m_meta.hasFrequency)
        record.centerFrequency = m_meta.frequency;
    rewind();
    return IqStatusCode::Ok;
}

void SigmfSource::rewind()
{
    m_segment = 0;
    m_done = 0;
}

// Little-endian data are split straight out of the page cache, one pass instead of a copy into
// a block and a second pass out of it. A small window at a time keeps the mapped pages, which
// count as the process's memory, from growing beside the arrays. Returns the samples done; the
// rest (all of them where the file cannot be mapped) are read in blocks.
int64_t SigmfSource::readMapped(int64_t at, float *i, float *q, int64_t n)
{
    const int64_t size = m_meta.type.sampleBytes();
    const int64_t window = kMapWindowBytes / size;
    int64_t done = 0;
    while (done < n) {
        const int64_t m = std::min(n - done, window);
        uchar *mapped = m_file.map(at + done * size, m * size);
        if (!mapped)
            break;
        decode(m_meta.type, mapped, m, i + done, q + done);
        m_file.unmap(mapped);
        done += m;
    }
    return done;
}

bool SigmfSource::readRun(float *i, float *q, int64_t n)
{
    const int64_t size = m_meta.type.sampleBytes();
    const SigmfSegment &s = m_meta.segments[m_segment];
    const int64_t at = m_dataOffset + s.offset + m_done * size;
    const bool inPlace = !m_meta.type.bigEndian || m_meta.type.bits == 8;  // nothing to turn around
    const int64_t mapped = inPlace ? readMapped(at, i, q, n) : 0;
    m_done += mapped;
    i += mapped;
    q += mapped;
    n -= mapped;
    if (n == 0)
        return true;
    if (!m_file.seek(at + mapped * size))
        return false;
    const int64_t perBlock = kBlockBytes / size;
    m_block.resize(size_t(std::min(n, perBlock) * size));
    for (int64_t done = 0; done < n;) {
        const int64_t m = std::min(n - done, perBlock);
        if (m_file.read(reinterpret_cast<char *>(m_block.data()), m * size) != m * size)
            return false;
        decode(m_meta.type, m_block.data(), m, i + done, q + done);
        done += m;
    }
    m_done += n;
    return true;
}

bool SigmfSource::read(float *i, float *q, int64_t n)
{
    while (n > 0) {
        if (m_segment >= m_meta.segments.size())
            return false;
        const int64_t left = m_meta.segments[m_segment].count - m_done;
        if (left == 0) {
            ++m_segment;
            m_done = 0;
            continue;
        }
        const int64_t m = std::min(n, left);
        if (!readRun(i, q, m))
            return false;
        i += m;
        q += m;
        n -= m;
    }
    return true;
}

IqStatus SigmfSource::scan(IqBuffer &record, bool levels, bool power)
{
    if (!levels && !power)
        return IqStatusCode::Ok;
    constexpr int64_t kScanBlock = int64_t(1) << 16;
    std::vector<float> i(size_t(std::min(m_meta.count, kScanBlock))), q(i.size());
    PcmScan s;
    rewind();
    for (int64_t done = 0; done < m_meta.count;) {
        const int64_t m = std::min(m_meta.count - done, kScanBlock);
        if (!read(i.data(), q.data(), m))
            return IqStatusCode::FirstFile;
        foldScan(s, scanArrays(i.data(), q.data(), m), levels, power);
        done += m;
    }
    rewind();
    applyScan(record, s, levels, power);
    return IqStatusCode::Ok;
}

SigmfSink::SigmfSink(const QString &name)
    : m_base(sigmfBaseName(name))
    , m_data(std::make_unique<OutputFile>(m_base + QStringLiteral(".sigmf-data")))
{}

bool SigmfSink::isOpen() const
{
    return m_data->isOpen();
}
bool SigmfSink::ok() const
{
    return m_data->ok();
}

void SigmfSink::write(const float *i, const float *q, int64_t n)
{
    for (int64_t at = 0; at < n; at += kWriteBlock) {
        const int64_t m = std::min(kWriteBlock, n - at);
        const size_t bytes = size_t(m) * 8;
        auto *p = reinterpret_cast<unsigned char *>(m_data->reserve(bytes));
        sampleconvert::joinPairs<float>(p, i + at, q + at, m);
        m_hash.add(p, bytes);
        m_data->advance(bytes);
    }
}

IqStatus SigmfSink::finish(const IqBuffer &record)
{
    OutputFile meta(m_base + QStringLiteral(".sigmf-meta"), 64 << 10);
    const QByteArray digest = m_hash.hex();
    if (digest.isEmpty())
        return IqStatusCode::FirstFile;
    const QByteArray text = sigmfMetaText(record, digest);
    meta.write(text.constData(), size_t(text.size()));
    // Both complete before either replaces a file.
    if (!m_data->flush() || !meta.flush() || !m_data->commit())
        return IqStatusCode::FirstFile;
    return meta.commit() ? IqStatusCode::Ok : IqStatusCode::FirstFile;
}

QByteArray sigmfMetaText(const IqBuffer &record, const QByteArray &sha512Hex)
{
    QJsonObject extension;
    extension.insert(QStringLiteral("name"), QStringLiteral("trovik"));
    extension.insert(QStringLiteral("version"), QStringLiteral("1.0.0"));
    extension.insert(QStringLiteral("optional"), true);
    QJsonObject global;
    global.insert(QStringLiteral("core:datatype"), QStringLiteral("cf32_le"));
    global.insert(QStringLiteral("core:version"), QStringLiteral("1.0.0"));
    global.insert(QStringLiteral("core:sample_rate"), record.sampleRate);
    global.insert(QStringLiteral("core:recorder"),
                  QLatin1String(ProgramIdentity::productName) + QLatin1Char(' ')
                          + QLatin1String(ProgramIdentity::version));
    global.insert(QStringLiteral("core:sha512"), QString::fromLatin1(sha512Hex));
    global.insert(QStringLiteral("core:extensions"), QJsonArray{extension});
    global.insert(QStringLiteral("trovik:ref_level"), double(record.refLevel));
    QJsonObject capture;
    capture.insert(QStringLiteral("core:sample_start"), 0);
    capture.insert(QStringLiteral("core:frequency"), record.centerFrequency);
    capture.insert(QStringLiteral("core:datetime"),
                   QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
    QJsonObject root;
    root.insert(QStringLiteral("global"), global);
    root.insert(QStringLiteral("captures"), QJsonArray{capture});
    root.insert(QStringLiteral("annotations"), QJsonArray());
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

IqStatus readSigmf(IqBuffer &record, int)
{
    SigmfSource source;
    if (const IqStatus status = source.open(record.iFileName, record))
        return failRead(record, status);
    const int64_t n = record.sampleCount;
    if (const IqStatus status = allocateSamples(record, n))
        return failRead(record, status);
    if (!source.read(record.iData.data(), record.qData.data(), n))
        return failFile(failRead(record, IqStatusCode::FirstFile), record.iFileName,
                        QStringLiteral("the data cannot be read"));
    record.sampleCount = n;
    return IqStatusCode::Ok;
}

IqStatus writeSigmf(const IqBuffer &record, int, const QString &iFile, const QString &)
{
    SigmfSink sink(iFile);
    if (!sink.isOpen())
        return IqStatusCode::FirstFile;
    const int64_t n = std::min(record.sampleCount, record.heldCount());
    sink.write(record.iData.data(), record.qData.data(), n);
    IqBuffer described = record;
    described.sampleCount = n;
    return sink.finish(described);
}
