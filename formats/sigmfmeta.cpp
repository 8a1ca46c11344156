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

// The captures' starts and header bytes; false when one is not a whole number or they are
// out of order.
bool readCaptures(const QJsonArray &captures, std::vector<Capture> &out)
{
    for (const QJsonValue &c : captures) {
        const QJsonObject o = c.toObject();
        Capture cap;
        cap.start = wholeOf(o.value(QLatin1String("core:sample_start")), 0);
        cap.headerBytes = wholeOf(o.value(QLatin1String("core:header_bytes")), 0);
        if (!c.isObject() || cap.start < 0 || cap.headerBytes < 0
            || (!out.empty() && cap.start < out.back().start))
            return false;
        out.push_back(cap);
    }
    return true;
}

// Sample runs: before the first capture (when it does not start at 0), then one per
// capture, the last one running to the end of the data. Capture k's samples begin after the
// header bytes of captures 0..k and the samples before it.
IqStatus layOut(const std::vector<Capture> &captures, int64_t dataBytes, int64_t sampleBytes,
                SigmfMeta &meta)
{
    meta.segments.clear();
    if (captures.empty() || captures.front().start > 0)
        meta.segments.push_back(
                {0, captures.empty() ? dataBytes / sampleBytes : captures.front().start});
    int64_t headers = 0;
    for (size_t k = 0; k < captures.size(); ++k) {
        const Capture &c = captures[k];
        headers += c.headerBytes;
        if (headers > dataBytes || c.start > (dataBytes - headers) / sampleBytes)
            return IqStatusCode::FirstFile;  // the data end before this capture begins
        const int64_t offset = headers + c.start * sampleBytes;
        int64_t count = (dataBytes - offset) / sampleBytes;
        if (k + 1 < captures.size()) {
            const int64_t next = captures[k + 1].start - c.start;
            if (next > count)
                return IqStatusCode::FirstFile;  // the capture needs more samples than the data
                                                 // hold
            count = next;
        }
        meta.segments.push_back({offset, count});
    }
    meta.count = 0;
    for (const SigmfSegment &s : meta.segments)
        meta.count += s.count;
    return IqStatusCode::Ok;
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

IqStatus parseSigmfMeta(const QByteArray &json, int64_t dataBytes, SigmfMeta &meta)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return IqStatusCode::FirstFile;
    const QJsonObject global = doc.object().value(QLatin1String("global")).toObject();
    bool isComplex = false;
    if (!parseSigmfDatatype(global.value(QLatin1String("core:datatype")).toString(), meta.type,
                            isComplex))
        return IqStatusCode::FirstFile;
    const int64_t channels = wholeOf(global.value(QLatin1String("core:num_channels")), 1);
    if (channels < 0)
        return IqStatusCode::FirstFile;
    if (!isComplex || channels != 1)
        return IqStatusCode::Unsupported;
    meta.hasSampleRate = takeDouble(global, "core:sample_rate", meta.sampleRate);
    meta.hasRefLevel = takeDouble(global, "trovik:ref_level", meta.refLevel);

    const QJsonValue capturesValue = doc.object().value(QLatin1String("captures"));
    if (!capturesValue.isUndefined() && !capturesValue.isArray())
        return IqStatusCode::FirstFile;
    const QJsonArray captures = capturesValue.toArray();
    if (!captures.isEmpty())
        meta.hasFrequency
                = takeDouble(captures.first().toObject(), "core:frequency", meta.frequency);
    std::vector<Capture> layout;
    if (dataBytes < 0 || !readCaptures(captures, layout))
        return IqStatusCode::FirstFile;
    return layOut(layout, dataBytes, meta.type.sampleBytes(), meta);
}
