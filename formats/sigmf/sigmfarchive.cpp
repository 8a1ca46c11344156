#include "sigmfarchive.h"

#include "filefailure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstring>

namespace {

// Metadata of real recordings is kilobytes; a limit keeps a hostile size from allocating.
constexpr int64_t kMaxMetaBytes = int64_t(64) << 20;
constexpr int64_t kBlock = 512;

const char *const kMetaEnd = ".sigmf-meta";
const char *const kDataEnd = ".sigmf-data";
const char *const kArchiveEnd = ".sigmf";

// A tar header's size: octal digits, or base-256 when the first byte has its top bit set.
bool tarSize(const unsigned char *field, int64_t &size)
{
    size = 0;
    if (field[0] & 0x80) {
        for (int k = 1; k < 12; ++k) {
            if (size > (INT64_MAX >> 8))
                return false;
            size = (size << 8) | field[k];
        }
        return (field[0] & 0x7F) == 0;
    }
    int k = 0;
    while (k < 12 && field[k] == ' ')
        ++k;
    for (; k < 12 && field[k] >= '0' && field[k] <= '7'; ++k) {
        if (size > (INT64_MAX >> 3))
            return false;
        size = size * 8 + (field[k] - '0');
    }
    return true;
}

// The member name: the ustar prefix (when there is one), "/", then the name field.
QByteArray tarName(const unsigned char *h)
{
    const QByteArray name(reinterpret_cast<const char *>(h),
                          int(strnlen(reinterpret_cast<const char *>(h), 100)));
    if (std::memcmp(h + 257, "ustar", 5) != 0 || h[345] == 0)
        return name;
    const char *prefix = reinterpret_cast<const char *>(h + 345);
    return QByteArray(prefix, int(strnlen(prefix, 155))) + '/' + name;
}

// The metadata's global core:dataset, or nothing (also for metadata that is not JSON: the
// parse that follows names that fault).
QString datasetName(const QByteArray &meta)
{
    const QJsonObject global
            = QJsonDocument::fromJson(meta).object().value(QLatin1String("global")).toObject();
    return global.value(QLatin1String("core:dataset")).toString();
}

bool isRegular(unsigned char flag)
{
    return flag == '0' || flag == 0 || flag == '7';
}

// What a pax extended header ('x') says about the member after it: records "<length>
// <key>=<value>\n". Only the path and the size matter here (long names, and members beyond the
// octal field).
struct PaxOverrides
{
    QByteArray path;
    int64_t size = -1;
};

PaxOverrides parsePax(const QByteArray &body)
{
    PaxOverrides pax;
    for (int pos = 0; pos < body.size();) {
        const int blank = body.indexOf(' ', pos);
        bool ok = false;
        const int length = blank < 0 ? 0 : body.mid(pos, blank - pos).toInt(&ok);
        if (!ok || length <= blank - pos || pos + length > body.size())
            break;
        const QByteArray record
                = body.mid(blank + 1, pos + length - blank - 2);  // without the line feed
        if (record.startsWith("path="))
            pax.path = record.mid(5);
        else if (record.startsWith("size=")) {
            const qlonglong value = record.mid(5).toLongLong(&ok);
            pax.size = ok && value >= 0 ? value : -1;
        }
        pos += length;
    }
    return pax;
}

}  // namespace

QString sigmfBaseName(const QString &name)
{
    for (const char *end : {kMetaEnd, kDataEnd, kArchiveEnd})
        if (name.endsWith(QLatin1String(end), Qt::CaseInsensitive))
            return name.left(name.size() - int(std::strlen(end)));
    return name;
}

namespace {

bool tarFault(QString *reason, const QString &text)
{
    if (reason)
        *reason = text;
    return false;
}

}  // namespace

bool findSigmfInTar(QIODevice &tar, QByteArray &meta, int64_t &dataOffset, int64_t &dataBytes,
                    QString *reason, QString *dataMember)
{
    bool haveMeta = false, haveData = false;
    PaxOverrides pax;
    const int64_t total = tar.size();
    const QString cut = QStringLiteral("the archive ends inside a member's header or data");
    for (int64_t pos = 0; pos + kBlock <= total && !(haveMeta && haveData);) {
        unsigned char h[kBlock];
        if (!tar.seek(pos) || tar.read(reinterpret_cast<char *>(h), kBlock) != kBlock)
            return tarFault(reason, cut);
        if (h[0] == 0)
            break;  // the end-of-archive blocks
        int64_t size = 0;
        if (!tarSize(h + 124, size) || size > total - pos - kBlock)
            return tarFault(reason, cut);
        QByteArray name = tarName(h);
        const int64_t body = pos + kBlock;
        if (h[156] == 'x') {
            if (size > kMaxMetaBytes || !tar.seek(body))
                return tarFault(reason, cut);
            pax = parsePax(tar.read(size));
            pos = body + (size + kBlock - 1) / kBlock * kBlock;
            continue;
        }
        if (!pax.path.isEmpty())
            name = pax.path;
        if (pax.size > total - pos - kBlock)
            return tarFault(reason, cut);
        if (pax.size >= 0)
            size = pax.size;
        pax = PaxOverrides();
        if (isRegular(h[156]) && name.endsWith(kMetaEnd) && !haveMeta) {
            if (size > kMaxMetaBytes)
                return tarFault(reason,
                                QStringLiteral("the metadata member is larger than 64 MiB"));
            if (!tar.seek(body))
                return tarFault(reason, cut);
            meta = tar.read(size);
            haveMeta = meta.size() == size;
            if (!haveMeta)
                return tarFault(reason, cut);
        } else if (isRegular(h[156]) && name.endsWith(kDataEnd) && !haveData) {
            dataOffset = body;
            dataBytes = size;
            haveData = true;
            if (dataMember)
                *dataMember = QString::fromUtf8(name);
        }
        pos = body + (size + kBlock - 1) / kBlock * kBlock;
    }
    if (!haveMeta && !haveData)
        return tarFault(reason, QStringLiteral("not a SigMF archive: no .sigmf-meta and no "
                                               ".sigmf-data member"));
    if (!haveData)
        return tarFault(reason, QStringLiteral("the archive holds no .sigmf-data member"));
    if (!haveMeta)
        return tarFault(reason, QStringLiteral("the archive holds no .sigmf-meta member"));
    return true;
}

IqStatus locateSigmf(const QString &name, SigmfParts &parts)
{
    if (name.endsWith(QLatin1String(kArchiveEnd), Qt::CaseInsensitive)) {
        QFile tar(name);
        if (!tar.open(QIODevice::ReadOnly))
            return failFile(IqStatus::FirstFile, name, tar.errorString());
        QString reason;
        if (!findSigmfInTar(tar, parts.meta, parts.dataOffset, parts.dataBytes, &reason,
                            &parts.dataMember))
            return failFile(IqStatus::FirstFile, name, reason);
        parts.metaPath = parts.dataPath = name;
        return IqStatus::Ok;
    }
    const QString base = sigmfBaseName(name);
    QFile meta(base + QLatin1String(kMetaEnd));
    if (!meta.open(QIODevice::ReadOnly))
        return failFile(IqStatus::FirstFile, meta.fileName(), meta.errorString());
    if (meta.size() > kMaxMetaBytes)
        return failFile(IqStatus::FirstFile, meta.fileName(),
                        QStringLiteral("the metadata is larger than 64 MiB"));
    parts.meta = meta.readAll();
    parts.metaPath = meta.fileName();
    // A dataset that is not laid out as SigMF's own (other bytes around the samples) may keep its
    // own file name beside the metadata, given by core:dataset; a name only, never a folder.
    const QString dataset = QFileInfo(datasetName(parts.meta)).fileName();
    parts.dataPath = dataset.isEmpty() ? base + QLatin1String(kDataEnd)
                                       : QFileInfo(meta.fileName()).dir().filePath(dataset);
    parts.dataOffset = 0;
    QFile data(parts.dataPath);
    if (!data.open(QIODevice::ReadOnly))
        return failFile(IqStatus::FirstFile, parts.dataPath, data.errorString());
    parts.dataBytes = data.size();
    return IqStatus::Ok;
}

namespace {

// Writes value in octal into a field of width bytes: width - 1 digits and a NUL.
void putOctal(char *field, int width, int64_t value)
{
    field[width - 1] = '\0';
    for (int k = width - 2; k >= 0; --k, value >>= 3)
        field[k] = char('0' + (value & 7));
}

// One pax record: "<length> <key>=<value>\n", the length counting itself.
QByteArray paxRecord(const QByteArray &key, const QByteArray &value)
{
    const QByteArray body = ' ' + key + '=' + value + '\n';
    int length = body.size() + 1;
    while (QByteArray::number(length).size() + body.size() != length)
        ++length;
    return QByteArray::number(length) + body;
}

QByteArray ustarBlock(const QByteArray &name, int64_t size, int64_t mtime, char type)
{
    char p[kBlock] = {};
    std::memcpy(p, name.constData(), size_t(std::min(name.size(), 100)));
    putOctal(p + 100, 8, 0644);
    putOctal(p + 108, 8, 0);
    putOctal(p + 116, 8, 0);
    putOctal(p + 124, 12, size);
    putOctal(p + 136, 12, mtime);
    p[156] = type;
    std::memcpy(p + 257, "ustar", 6);
    std::memcpy(p + 263, "00", 2);
    std::memset(p + 148, ' ', 8);
    unsigned sum = 0;
    for (int k = 0; k < kBlock; ++k)
        sum += uint8_t(p[k]);
    putOctal(p + 148, 7, sum);
    p[155] = ' ';
    return QByteArray(p, int(kBlock));
}

}  // namespace

QByteArray sigmfTarHeader(const QByteArray &memberName, int64_t size, int64_t mtime)
{
    constexpr int64_t kMaxOctal = (int64_t(1) << 33) - 1;  // 11 octal digits
    mtime = std::clamp<int64_t>(mtime, 0, kMaxOctal);
    QByteArray pax;
    if (memberName.size() > 100)
        pax += paxRecord("path", memberName);
    if (size > kMaxOctal)
        pax += paxRecord("size", QByteArray::number(qlonglong(size)));
    QByteArray out;
    if (!pax.isEmpty()) {
        out = ustarBlock("PaxHeader/" + memberName.right(90), pax.size(), mtime, 'x') + pax;
        out += QByteArray(int(tarPadding(pax.size())), '\0');
    }
    return out + ustarBlock(memberName.left(100), std::min(size, kMaxOctal), mtime, '0');
}

int64_t tarPadding(int64_t size)
{
    return (kBlock - size % kBlock) % kBlock;
}
