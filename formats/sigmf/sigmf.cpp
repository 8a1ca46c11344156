#include "sigmf.h"

#include "filefailure.h"
#include "programidentity.h"
#include "sampleconvert.h"
#include "sigmfarchive.h"
#include "sigmfverify.h"

#include <QDateTime>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <utility>

namespace {

constexpr int64_t kBlockBytes = int64_t(1) << 18;
constexpr int64_t kMapWindowBytes = int64_t(8) << 20;
constexpr int64_t kWriteBlock = int64_t(1) << 17;  // samples encoded and hashed at a time

// Elements stored in the other byte order are turned around in place first.
void swapElements(unsigned char *p, int64_t elements, int width)
{
    for (int64_t k = 0; k < elements; ++k, p += width)
        std::reverse(p, p + width);
}

// Unsigned codes less half their range, worked out in double so 32-bit codes stay exact enough.
template<typename T>
void splitShifted(float *i, float *q, std::ptrdiff_t stride, const unsigned char *src, int64_t n)
{
    constexpr double half = double(uint64_t(1) << (8 * sizeof(T) - 1));
    for (int64_t k = 0; k < n; ++k) {
        i[k * stride] = float(double(sampleconvert::loadLe<T>(src + 2 * k * sizeof(T))) - half);
        q[k * stride]
                = float(double(sampleconvert::loadLe<T>(src + (2 * k + 1) * sizeof(T))) - half);
    }
}

void decode(const SigmfDatatype &t, unsigned char *src, int64_t n, float *i, float *q,
            std::ptrdiff_t stride)
{
    using namespace sampleconvert;
    const int width = t.bits / 8;
    if (t.bigEndian && width > 1)
        swapElements(src, 2 * n, width);
    switch (t.kind) {
    case SigmfDatatype::Float:
        return width == 4 ? splitPairsStrided<float>(i, q, stride, src, n)
                          : splitPairsStrided<double>(i, q, stride, src, n);
    case SigmfDatatype::Signed:
        if (width == 1)
            return splitPairsStrided<int8_t>(i, q, stride, src, n);
        return width == 2 ? splitPairsStrided<int16_t>(i, q, stride, src, n)
                          : splitPairsStrided<int32_t>(i, q, stride, src, n);
    case SigmfDatatype::Unsigned:
        if (width == 1)
            return splitShifted<uint8_t>(i, q, stride, src, n);
        return width == 2 ? splitShifted<uint16_t>(i, q, stride, src, n)
                          : splitShifted<uint32_t>(i, q, stride, src, n);
    }
}

}  // namespace

IqStatus SigmfSource::open(const QString &name)
{
    SigmfParts parts;
    if (const IqStatus status = locateSigmf(name, parts); failed(status))
        return status;
    // Inside an archive the reason names the member; the path is the archive's.
    const QString member = parts.dataMember.isEmpty()
                                   ? QString()
                                   : QStringLiteral("data member %1: ").arg(parts.dataMember);
    SigmfProblem problem;
    if (const IqStatus status = parseSigmfMeta(parts.meta, parts.dataBytes, m_meta, &problem);
        failed(status)) {
        const bool data = problem.where == SigmfProblem::Data;
        return failFile(status, data ? parts.dataPath : parts.metaPath,
                        (data ? member : QString()) + problem.reason);
    }
    if (!m_meta.sha512.isEmpty() && sigmfVerifyOptions().enabled)
        if (const IqStatus status = verifySigmfData(parts.dataPath, parts.dataOffset,
                                                    parts.dataBytes, m_meta.sha512, member);
            failed(status))
            return status;
    m_file.setFileName(parts.dataPath);
    if (!m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return failFile(IqStatus::FirstFile, parts.dataPath, m_file.errorString());
    m_dataOffset = parts.dataOffset;
    seek(0);
    return IqStatus::Ok;
}

void SigmfSource::describe(IqBuffer &record) const
{
    if (m_meta.hasSampleRate)
        record.sampleRate = m_meta.sampleRate;
    if (m_meta.hasRefLevel)
        record.refLevel = float(m_meta.refLevel);
    // What the file says, and nothing left from an earlier record.
    record.centerFrequency = m_meta.hasFrequency ? m_meta.frequency : 0.0;
    record.centerFrequencyKnown = m_meta.hasFrequency;
    record.captureTime = m_meta.datetime;
    record.instrument = m_meta.hw;
    record.extra = m_meta.extra;
}

void SigmfSource::seek(int64_t first)
{
    m_segment = 0;
    while (m_segment < m_meta.segments.size() && first >= m_meta.segments[m_segment].count)
        first -= m_meta.segments[m_segment++].count;
    m_done = first;
}

// Little-endian data are split straight out of the page cache, one pass instead of a copy into
// a block and a second pass out of it. A small window at a time keeps the mapped pages, which
// count as the process's memory, from growing beside the arrays. Returns the samples done; the
// rest (all of them where the file cannot be mapped) are read in blocks.
int64_t SigmfSource::readMapped(int64_t at, float *i, float *q, int64_t n, std::ptrdiff_t stride)
{
    const int64_t size = m_meta.type.sampleBytes();
    const int64_t window = kMapWindowBytes / size;
    int64_t done = 0;
    while (done < n) {
        const int64_t m = std::min(n - done, window);
        uchar *mapped = m_file.map(at + done * size, m * size);
        if (!mapped)
            break;
        decode(m_meta.type, mapped, m, i + done * stride, q + done * stride, stride);
        m_file.unmap(mapped);
        done += m;
    }
    return done;
}

bool SigmfSource::readRun(float *i, float *q, int64_t n, std::ptrdiff_t stride)
{
    const int64_t size = m_meta.type.sampleBytes();
    const SigmfSegment &s = m_meta.segments[m_segment];
    const int64_t at = m_dataOffset + s.offset + m_done * size;
    const bool inPlace = !m_meta.type.bigEndian || m_meta.type.bits == 8;  // nothing to turn around
    const int64_t mapped = inPlace ? readMapped(at, i, q, n, stride) : 0;
    m_done += mapped;
    i += mapped * stride;
    q += mapped * stride;
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
        decode(m_meta.type, m_block.data(), m, i + done * stride, q + done * stride, stride);
        done += m;
    }
    m_done += n;
    return true;
}

bool SigmfSource::read(float *i, float *q, int64_t n, std::ptrdiff_t stride)
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
        if (!readRun(i, q, m, stride))
            return false;
        i += m * stride;
        q += m * stride;
        n -= m;
    }
    return true;
}

namespace {

constexpr size_t kHashBlockBytes = size_t(kWriteBlock) * 8;

bool isArchiveName(const QString &name)
{
    return name.endsWith(QLatin1String(".sigmf"), Qt::CaseInsensitive);
}

// "x/x.sigmf-data" for the archive "/some/folder/x.sigmf".
QByteArray memberName(const QString &base, const char *ending)
{
    const QString stem = QFileInfo(base).fileName();
    return (stem + QLatin1Char('/') + stem + QLatin1String(ending)).toUtf8();
}

}  // namespace

SigmfSink::SigmfSink(const QString &name, int64_t count)
    : m_base(sigmfBaseName(name))
    , m_archive(isArchiveName(name))
    , m_count(count)
    // Blocks of samples go to the file straight from the hash's blocks: a small buffer only
    // gathers the archive's headers.
    , m_data(std::make_unique<OutputFile>(m_archive ? name : m_base + QStringLiteral(".sigmf-data"),
                                          size_t(64) << 10))
    , m_hash(std::make_unique<BackgroundSha512>(kHashBlockBytes))
{
    if (m_archive && m_count >= 0) {
        const QByteArray header = sigmfTarHeader(memberName(m_base, ".sigmf-data"), m_count * 8,
                                                 QDateTime::currentSecsSinceEpoch());
        m_data->write(header.constData(), size_t(header.size()));
    }
}

SigmfSink::~SigmfSink() = default;

bool SigmfSink::isOpen() const
{
    return m_data->isOpen() && (!m_archive || m_count >= 0);
}
bool SigmfSink::ok() const
{
    return m_data->ok();
}

void SigmfSink::write(const float *i, const float *q, int64_t n, std::ptrdiff_t stride)
{
    for (int64_t at = 0; at < n; at += kWriteBlock) {
        const int64_t m = std::min(kWriteBlock, n - at);
        const size_t bytes = size_t(m) * 8;
        unsigned char *p = m_hash->acquire();
        sampleconvert::joinPairsStrided<float>(p, i + at * stride, q + at * stride, stride, m);
        m_hash->submit(p, bytes);
        m_data->write(p, bytes);
        m_written += int64_t(bytes);
    }
}

IqStatus SigmfSink::finish(const IqBuffer &record)
{
    const QString dataPath = m_archive ? m_base + QStringLiteral(".sigmf")
                                       : m_base + QStringLiteral(".sigmf-data");
    const QByteArray digest = m_hash->hex();
    if (digest.isEmpty())
        return failFile(IqStatus::FirstFile, dataPath, QStringLiteral("SHA-512 unavailable"));
    const QByteArray text = sigmfMetaText(record, digest);
    if (m_archive) {
        if (m_written != m_count * 8)
            return failFile(IqStatus::FirstFile, dataPath,
                            QStringLiteral("%1 samples announced, %2 written")
                                    .arg(m_count)
                                    .arg(m_written / 8));
        QByteArray tail(int(tarPadding(m_written)), '\0');
        tail += sigmfTarHeader(memberName(m_base, ".sigmf-meta"), text.size(),
                               QDateTime::currentSecsSinceEpoch());
        tail += text + QByteArray(int(tarPadding(text.size())), '\0');
        tail += QByteArray(1024, '\0');  // the end-of-archive blocks
        m_data->write(tail.constData(), size_t(tail.size()));
        if (!m_data->commit())
            return failFile(IqStatus::FirstFile, dataPath, systemErrorText(errno));
        return IqStatus::Ok;
    }
    OutputFile meta(m_base + QStringLiteral(".sigmf-meta"), 64 << 10);
    meta.write(text.constData(), size_t(text.size()));
    // Both complete before either replaces a file.
    if (!m_data->flush() || !meta.flush() || !m_data->commit())
        return failFile(IqStatus::FirstFile, dataPath, systemErrorText(errno));
    return meta.commit() ? IqStatus::Ok
                         : failFile(IqStatus::FirstFile, m_base + QStringLiteral(".sigmf-meta"),
                                    systemErrorText(errno));
}

namespace {

// The capture time as ISO 8601 UTC with a "Z": the text a SigMF load read, when the record's
// time is still that one (it keeps digits beyond the milliseconds the record holds).
QString datetimeText(const IqBuffer &record)
{
    const QString read = record.extra.value(QStringLiteral("core:datetime")).toString();
    const QDateTime time = record.captureTime.toUTC();
    if (!read.isEmpty() && QDateTime::fromString(read, Qt::ISODateWithMs) == time)
        return read;
    return time.toString(Qt::ISODateWithMs);
}

}  // namespace

QByteArray sigmfMetaText(const IqBuffer &record, const QByteArray &sha512Hex)
{
    QJsonObject extension;
    extension.insert(QStringLiteral("name"), QStringLiteral("trovik"));
    extension.insert(QStringLiteral("version"), QStringLiteral("1.0.0"));
    extension.insert(QStringLiteral("optional"), true);
    QJsonObject global;
    global.insert(QStringLiteral("core:datatype"), QStringLiteral("cf32_le"));
    global.insert(QStringLiteral("core:version"), QStringLiteral("1.0.0"));
    if (record.sampleRate > 0.0 && std::isfinite(record.sampleRate))
        global.insert(QStringLiteral("core:sample_rate"), record.sampleRate);
    global.insert(QStringLiteral("core:recorder"),
                  QLatin1String(ProgramIdentity::productName) + QLatin1Char(' ')
                          + QLatin1String(ProgramIdentity::version));
    global.insert(QStringLiteral("core:sha512"), QString::fromLatin1(sha512Hex));
    global.insert(QStringLiteral("core:extensions"), QJsonArray{extension});
    global.insert(QStringLiteral("trovik:ref_level"), double(record.refLevel));
    if (!record.instrument.isEmpty())
        global.insert(QStringLiteral("core:hw"), record.instrument);
    for (const char *key : {"core:description", "core:author"}) {
        const QVariant v = record.extra.value(QLatin1String(key));
        if (v.type() == QVariant::String)
            global.insert(QLatin1String(key), v.toString());
    }
    // Unknown facts are left out rather than written as 0 or as the time of the save.
    QJsonObject capture;
    capture.insert(QStringLiteral("core:sample_start"), 0);
    if (record.centerFrequencyKnown)
        capture.insert(QStringLiteral("core:frequency"), record.centerFrequency);
    if (record.captureTime.isValid())
        capture.insert(QStringLiteral("core:datetime"), datetimeText(record));
    QJsonObject root;
    root.insert(QStringLiteral("global"), global);
    root.insert(QStringLiteral("captures"), QJsonArray{capture});
    root.insert(QStringLiteral("annotations"),
                QJsonArray::fromVariantList(
                        record.extra.value(QStringLiteral("annotations")).toList()));
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}
