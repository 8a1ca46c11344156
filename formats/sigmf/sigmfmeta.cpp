#include "sigmfmeta.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

// Counts and offsets beyond 2^53 cannot be held exactly in JSON numbers; nothing real is that big.
constexpr double kMaxWhole = 9007199254740992.0;

// A whole non-negative number, or -1 when the value is anything else.
int64_t wholeOf(const QJsonValue &v, int64_t missing)
{
    if (v.isUndefined())
        return missing;
    const double d = v.toDouble(-1.0);
    if (!v.isDouble() || !(d >= 0.0) || d > kMaxWhole || std::floor(d) != d)
        return -1;
    return int64_t(d);
}

bool takeDouble(const QJsonObject &o, const char *key, double &out)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (!v.isDouble() || !std::isfinite(v.toDouble()))
        return false;
    out = v.toDouble();
    return true;
}

struct Capture
{
    int64_t start = 0;
    int64_t headerBytes = 0;
};

// Reports a failure's reason (when asked for) and returns its status.
IqStatus fail(SigmfProblem *problem, SigmfProblem::Where where, const QString &reason,
              IqStatus status = IqStatus::FirstFile)
{
    if (problem) {
        problem->where = where;
        problem->reason = reason;
    }
    return status;
}

// Line and column (both from 1, the column in bytes) of a byte offset into text.
QString lineAndColumn(const QByteArray &text, int offset)
{
    offset = std::clamp(offset, 0, int(text.size()));
    const int lineStart = text.lastIndexOf('\n', offset - 1) + 1;
    const int line = int(std::count(text.constBegin(), text.constBegin() + lineStart, '\n')) + 1;
    return QStringLiteral("line %1, column %2").arg(line).arg(offset - lineStart + 1);
}

// The captures' starts and header bytes; a reason when one is not a whole number or they are
// out of order.
QString readCaptures(const QJsonArray &captures, std::vector<Capture> &out)
{
    for (int k = 0; k < captures.size(); ++k) {
        const QJsonValue c = captures.at(k);
        const QJsonObject o = c.toObject();
        Capture cap;
        cap.start = wholeOf(o.value(QLatin1String("core:sample_start")), 0);
        cap.headerBytes = wholeOf(o.value(QLatin1String("core:header_bytes")), 0);
        if (!c.isObject())
            return QStringLiteral("capture %1 is not an object").arg(k);
        if (cap.start < 0)
            return QStringLiteral("capture %1: core:sample_start is not a whole number").arg(k);
        if (cap.headerBytes < 0)
            return QStringLiteral("capture %1: core:header_bytes is not a whole number").arg(k);
        if (!out.empty() && cap.start < out.back().start)
            return QStringLiteral("capture %1 starts before the capture ahead of it").arg(k);
        out.push_back(cap);
    }
    return QString();
}

// Sample runs: before the first capture (when it does not start at 0), then one per
// capture, the last one running to the end of the samples. Capture k's samples begin after the
// header bytes of captures 0..k and the samples before it. sampleBytes of the data end every
// run exactly: a partial sample is a fault of the file, not something to drop unseen.
QString layOut(const std::vector<Capture> &captures, int64_t dataBytes, int64_t sampleBytes,
               const QString &datatype, SigmfMeta &meta)
{
    int64_t headers = 0;
    for (const Capture &c : captures) {
        headers += std::min(c.headerBytes, dataBytes + 1);
        if (headers > dataBytes)
            break;  // before many large values can add up past the range
    }
    if (headers > dataBytes)
        return QStringLiteral("the captures' header bytes (%1) exceed the %2 bytes of data")
                .arg(headers)
                .arg(dataBytes);
    if ((dataBytes - headers) % sampleBytes != 0)
        return QStringLiteral("the data hold %1 bytes of samples, not a whole number of %2-byte "
                              "%3 samples")
                .arg(dataBytes - headers)
                .arg(sampleBytes)
                .arg(datatype);
    meta.segments.clear();
    if (captures.empty() || captures.front().start > 0)
        meta.segments.push_back(
                {0, captures.empty() ? dataBytes / sampleBytes : captures.front().start});
    headers = 0;
    for (size_t k = 0; k < captures.size(); ++k) {
        const Capture &c = captures[k];
        headers += c.headerBytes;
        if (c.start > (dataBytes - headers) / sampleBytes)
            return QStringLiteral("capture %1 starts at sample %2, past the end of the data")
                    .arg(k)
                    .arg(c.start);
        const int64_t offset = headers + c.start * sampleBytes;
        int64_t count = (dataBytes - offset) / sampleBytes;
        if (k + 1 < captures.size()) {
            const int64_t next = captures[k + 1].start - c.start;
            if (next > count)
                return QStringLiteral("capture %1 needs %2 samples, the data hold %3")
                        .arg(k)
                        .arg(next)
                        .arg(count);
            count = next;
        }
        meta.segments.push_back({offset, count});
    }
    meta.count = 0;
    for (const SigmfSegment &s : meta.segments)
        meta.count += s.count;
    return QString();
}

// The facts a save as SigMF carries over: the first capture's datetime, the hardware, the
// description, the author and the annotations.
void takeFacts(const QJsonObject &global, const QJsonArray &captures, const QJsonValue &annotations,
               SigmfMeta &meta)
{
    meta.hw = global.value(QLatin1String("core:hw")).toString();
    for (const char *key : {"core:description", "core:author"}) {
        const QJsonValue v = global.value(QLatin1String(key));
        if (v.isString())
            meta.extra.insert(QLatin1String(key), v.toString());
    }
    if (annotations.isArray() && !annotations.toArray().isEmpty())
        meta.extra.insert(QStringLiteral("annotations"), annotations.toArray().toVariantList());
    const QString when
            = captures.first().toObject().value(QLatin1String("core:datetime")).toString();
    if (!when.isEmpty() && when.endsWith(QLatin1Char('Z'))) {
        meta.datetime = QDateTime::fromString(when, Qt::ISODateWithMs);
        if (meta.datetime.isValid()) {
            meta.datetime = meta.datetime.toUTC();
            // The record's time holds milliseconds; the text keeps any finer digits for a save.
            meta.extra.insert(QStringLiteral("core:datetime"), when);
        }
    }
}

}  // namespace

bool parseSigmfDatatype(const QString &text, SigmfDatatype &type, bool &isComplex)
{
    static const QRegularExpression re(QStringLiteral("^([rc])([fiu])(8|16|32|64)(_le|_be)?$"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return false;
    isComplex = m.captured(1) == QLatin1String("c");
    const QChar kind = m.captured(2).at(0);
    type.kind = kind == QLatin1Char('f')   ? SigmfDatatype::Float
                : kind == QLatin1Char('i') ? SigmfDatatype::Signed
                                           : SigmfDatatype::Unsigned;
    type.bits = m.captured(3).toInt();
    type.bigEndian = m.captured(4) == QLatin1String("_be");
    const bool floatWidth = type.bits == 32 || type.bits == 64;
    const bool intWidth = type.bits != 64;
    // Bytes have no order; wider elements must say theirs.
    const bool orderOk = (type.bits == 8) == m.captured(4).isEmpty();
    return orderOk && (type.kind == SigmfDatatype::Float ? floatWidth : intWidth);
}

IqStatus parseSigmfMeta(const QByteArray &json, int64_t dataBytes, SigmfMeta &meta,
                        SigmfProblem *problem)
{
    using W = SigmfProblem;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        return fail(problem, W::Meta,
                    QStringLiteral("bad JSON at %1: %2")
                            .arg(lineAndColumn(json, error.offset), error.errorString()));
    if (!doc.isObject())
        return fail(problem, W::Meta, QStringLiteral("the metadata is not a JSON object"));
    const QJsonValue globalValue = doc.object().value(QLatin1String("global"));
    if (!globalValue.isObject())
        return fail(problem, W::Meta, QStringLiteral("missing key global (an object)"));
    const QJsonObject global = globalValue.toObject();
    const QJsonValue datatype = global.value(QLatin1String("core:datatype"));
    if (!datatype.isString())
        return fail(problem, W::Meta, QStringLiteral("missing key core:datatype in global"));
    meta.datatypeName = datatype.toString();
    bool isComplex = false;
    if (!parseSigmfDatatype(meta.datatypeName, meta.type, isComplex))
        return fail(problem, W::Meta,
                    QStringLiteral("unsupported datatype \"%1\"").arg(meta.datatypeName));
    const int64_t channels = wholeOf(global.value(QLatin1String("core:num_channels")), 1);
    if (channels < 0)
        return fail(problem, W::Meta, QStringLiteral("core:num_channels is not a whole number"));
    if (!isComplex)
        return fail(problem, W::Meta,
                    QStringLiteral("unsupported datatype \"%1\": real samples, the record holds "
                                   "complex ones")
                            .arg(meta.datatypeName),
                    IqStatus::Unsupported);
    if (channels != 1)
        return fail(problem, W::Meta,
                    QStringLiteral("%1 channels: the record holds one").arg(channels),
                    IqStatus::Unsupported);
    meta.hasSampleRate = takeDouble(global, "core:sample_rate", meta.sampleRate);
    meta.hasRefLevel = takeDouble(global, "trovik:ref_level", meta.refLevel);
    meta.sha512 = global.value(QLatin1String("core:sha512")).toString().toLatin1().toLower();
    const int64_t trailing = wholeOf(global.value(QLatin1String("core:trailing_bytes")), 0);
    if (trailing < 0)
        return fail(problem, W::Meta, QStringLiteral("core:trailing_bytes is not a whole number"));

    const QJsonValue capturesValue = doc.object().value(QLatin1String("captures"));
    if (!capturesValue.isUndefined() && !capturesValue.isArray())
        return fail(problem, W::Meta, QStringLiteral("captures is not a list"));
    const QJsonArray captures = capturesValue.toArray();
    if (!captures.isEmpty()) {
        meta.hasFrequency
                = takeDouble(captures.first().toObject(), "core:frequency", meta.frequency);
        takeFacts(global, captures, doc.object().value(QLatin1String("annotations")), meta);
    } else {
        takeFacts(global, QJsonArray{QJsonObject()},
                  doc.object().value(QLatin1String("annotations")), meta);
    }
    std::vector<Capture> layout;
    const QString captureFault = readCaptures(captures, layout);
    if (!captureFault.isEmpty())
        return fail(problem, W::Meta, captureFault);
    if (dataBytes < 0)
        return fail(problem, W::Data, QStringLiteral("the data cannot be measured"));
    if (trailing > dataBytes)
        return fail(problem, W::Data,
                    QStringLiteral("core:trailing_bytes (%1) exceeds the %2 bytes of data")
                            .arg(trailing)
                            .arg(dataBytes));
    const QString dataFault = layOut(layout, dataBytes - trailing, meta.type.sampleBytes(),
                                     meta.datatypeName, meta);
    return dataFault.isEmpty() ? IqStatus::Ok : fail(problem, W::Data, dataFault);
}
