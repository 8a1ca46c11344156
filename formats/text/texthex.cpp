#include "filetypes.h"
#include "textformats.h"

#include "numbertext.h"
#include "textfile.h"

#include <algorithm>
#include <cmath>

namespace {

struct HexLayout
{
    int width;       // field width of one code
    uint32_t limit;  // largest code
    uint32_t zero;   // code of 0.0 in offset binary (10 and 17 bit)
};

HexLayout layoutOf(int typeCode)
{
    switch (typeCode) {
    case TypeCode::Hex10: return {3, 0x3FF, 512};
    case TypeCode::Hex17: return {5, 0x1FFFF, 65536};
    default: return {4, 0xFFFF, 0};
    }
}

// The largest finite magnitude over both channels. Scaling by it (not by the span between
// the largest and the smallest value) keeps asymmetric data inside the code range.
double fullScaleOf(const float *i, const float *q, int64_t count)
{
    double m = 0.0;
    for (const float *channel : {i, q})
        for (int64_t k = 0; k < count; ++k)
            if (std::isfinite(channel[k]))
                m = std::max(m, double(std::fabs(channel[k])));
    return m > 0.0 ? m : 1.0;
}

// The first two blank-separated tokens of the line (runs of blanks count as one).
void twoTokens(TextSpan line, TextSpan &first, TextSpan &second)
{
    TextSpan *out[2] = {&first, &second};
    const char *p = line.begin;
    for (TextSpan *token : out) {
        while (p < line.end && *p == ' ')
            ++p;
        const char *start = p;
        p = textlines::find(p, line.end, ' ');
        *token = {start, p};
    }
}

float tokenValue(int typeCode, TextSpan token)
{
    uint64_t code = 0;
    if (!numbertext::parseUnsigned(token.begin, token.end, 16, layoutOf(typeCode).limit, code))
        return 0.0f;
    return hexValue(typeCode, uint32_t(code));
}

}  // namespace

uint32_t hexCode(int typeCode, float x, double fullScale)
{
    const HexLayout layout = layoutOf(typeCode);
    double v = std::isnan(x) ? 0.0 : std::clamp(double(x), -fullScale, fullScale);
    double c;
    if (typeCode == TypeCode::Hex16) {
        const double scaled = v / fullScale * 32767.0;
        c = std::trunc(v >= 0.0 ? scaled + 0.5 : scaled + 65535.0 + 0.5);
    } else {
        // x * limit / (2M) rather than x * (limit / (2M)): the extremes then land exactly on
        // +-limit/2 and give the end codes.
        c = std::trunc(v * double(layout.limit) / (2.0 * fullScale) - 0.5) + double(layout.zero);
    }
    return uint32_t(std::clamp(c, 0.0, double(layout.limit)));
}

float hexValue(int typeCode, uint32_t code)
{
    if (typeCode == TypeCode::Hex16)
        return code <= 32767 ? float(double(code) / 32767.0)
                             : float(-double(65535 - code) / 32767.0);
    const HexLayout layout = layoutOf(typeCode);
    const double offset = double(code) - double(layout.zero);
    const double scale
            = code >= layout.zero ? double(layout.limit - layout.zero) : double(layout.zero);
    return float(offset / scale);
}

IqStatus parseHex(IqBuffer &record, int typeCode, TextSpan text)
{
    text = textlines::withoutByteOrderMark(text);
    const int64_t count = textlines::count(text);
    if (const IqStatus status = allocateSamples(record, count); failed(status))
        return failRead(record, status);
    float *i = record.iData.data();
    float *q = record.qData.data();
    TextSpan line;
    for (int64_t k = 0; k < count && textlines::next(text, line); ++k) {
        TextSpan first, second;
        twoTokens(line, first, second);
        i[k] = tokenValue(typeCode, first);
        q[k] = tokenValue(typeCode, second);
    }
    record.sampleCount = count;
    return IqStatus::Ok;
}

IqStatus readHex(IqBuffer &record, int typeCode)
{
    return textfile::readOneFile(
            record, [typeCode](IqBuffer &r, TextSpan text) { return parseHex(r, typeCode, text); });
}

IqStatus writeHex(const IqBuffer &record, int typeCode, const QString &file, const QString &)
{
    OutputFile out(file);
    if (!out.isOpen())
        return IqStatus::FirstFile;
    const int64_t count = record.heldCount();
    const float *i = record.iData.data();
    const float *q = record.qData.data();
    const double fullScale = fullScaleOf(i, q, count);
    const int width = layoutOf(typeCode).width;
    textfile::putItems(out, count, 2 * 5 + 2, [=](char *p, int64_t k) {
        p = numbertext::putHexField(p, hexCode(typeCode, i[k], fullScale), width);
        *p++ = ' ';
        p = numbertext::putHexField(p, hexCode(typeCode, q[k], fullScale), width);
        *p++ = '\n';
        return p;
    });
    return out.commit() ? IqStatus::Ok : IqStatus::FirstFile;
}
