#include "filetypes.h"
#include "textformats.h"

#include "numbertext.h"
#include "textfile.h"
#include "textheader.h"

#include <algorithm>

using numbertext::isSpace;
using numbertext::parseFloat;

namespace {

// One-file line: I is field 0 and Q field 1 of the line split at every single blank, so
// "1.0  2.0" gives Q = 0 (the empty middle field). A missing field reads as 0.
inline void parsePair(TextSpan line, float &i, float &q)
{
    const char *blank = textlines::find(line.begin, line.end, ' ');
    i = parseFloat(line.begin, blank);
    if (blank == line.end) {
        q = 0.0f;
        return;
    }
    const char *start = blank + 1;
    q = parseFloat(start, textlines::find(start, line.end, ' '));
}

// Time-domain line "time value": the second white-space separated column, or 0.
inline float valueColumn(TextSpan line)
{
    const char *p = line.begin;
    while (p < line.end && isSpace(*p))
        ++p;
    while (p < line.end && !isSpace(*p))
        ++p;
    while (p < line.end && isSpace(*p))
        ++p;
    const char *start = p;
    while (p < line.end && !isSpace(*p))
        ++p;
    return parseFloat(start, p);
}

// The length of the written form of a value starting at p: 14 with a sign, else 13.
inline int64_t writtenLength(const char *p)
{
    return *p == '-' ? 14 : 13;
}

// A line "v\n" in the writers' own layout, parsed without searching for its end; p moves past it.
inline bool writtenValueLine(const char *&p, const char *end, float &v)
{
    const int64_t length = writtenLength(p);
    if (end - p < length || (end - p > length && p[length] != '\n')
        || !numbertext::parseE7(p, p + length, v))
        return false;
    p = end - p > length ? p + length + 1 : end;
    return true;
}

// A line "i q\n" in the writers' own layout, likewise.
inline bool writtenPairLine(const char *&p, const char *end, float &i, float &q)
{
    const int64_t iLength = writtenLength(p);
    if (end - p < iLength + 2 || p[iLength] != ' ' || !numbertext::parseE7(p, p + iLength, i))
        return false;
    const char *qStart = p + iLength + 1;
    const char *rest = qStart;
    if (!writtenValueLine(rest, end, q))
        return false;
    p = rest;
    return true;
}

void parseColumn(TextSpan text, int64_t count, bool timeDomain, float *out)
{
    TextSpan line;
    for (int64_t k = 0; k < count; ++k) {
        if (!timeDomain && text.begin < text.end && writtenValueLine(text.begin, text.end, out[k]))
            continue;
        if (!textlines::next(text, line))
            break;
        out[k] = timeDomain ? valueColumn(line) : parseFloat(line.begin, line.end);
    }
}

void parsePairs(TextSpan text, int64_t count, float *i, float *q)
{
    TextSpan line;
    for (int64_t k = 0; k < count; ++k) {
        if (text.begin < text.end && writtenPairLine(text.begin, text.end, i[k], q[k]))
            continue;
        if (!textlines::next(text, line))
            break;
        parsePair(line, i[k], q[k]);
    }
}

}  // namespace

IqStatus parseTextIq(IqBuffer &record, int typeCode, TextSpan iText, const TextSpan *qText)
{
    const TextSpan iLines = stripTextHeader(typeCode, textlines::withoutByteOrderMark(iText));
    const TextSpan qLines
            = qText ? stripTextHeader(typeCode, textlines::withoutByteOrderMark(*qText))
                    : TextSpan{};
    const int64_t iCount = textlines::count(iLines);
    const int64_t qCount = qText ? textlines::count(qLines) : iCount;
    // Points a header announces but the file does not hold are not made up.
    const auto tooFew
            = [&record](IqStatus status, const QString &path, int64_t announced, int64_t held) {
                  failFile(status, path,
                           QStringLiteral("header announces %1 samples, the file holds %2")
                                   .arg(announced)
                                   .arg(held));
                  return failRead(record, status);
              };
    if (const int64_t announced = announcedPointCount(typeCode, iText); iCount < announced)
        return tooFew(IqStatus::FirstFile, record.iFileName, announced, iCount);
    if (const int64_t announced = qText ? announcedPointCount(typeCode, *qText) : 0;
        qText && qCount < announced)
        return tooFew(IqStatus::SecondFile, record.qFileName, announced, qCount);
    const int64_t count = std::min(iCount, qCount);
    if (const IqStatus status = allocateSamples(record, count); failed(status))
        return failRead(record, status);
    float *i = record.iData.data();
    float *q = record.qData.data();
    if (qText) {
        parseColumn(iLines, count, typeCode == TypeCode::AdsAsciiTime, i);
        parseColumn(qLines, count, typeCode == TypeCode::AdsAsciiTime, q);
    } else {
        parsePairs(iLines, count, i, q);
    }
    record.sampleCount = count;
    return IqStatus::Ok;
}

IqStatus readTextIq(IqBuffer &record, int typeCode)
{
    return textfile::readOneFile(record, [typeCode](IqBuffer &r, TextSpan iText) {
        if (r.qFileName.isEmpty())
            return parseTextIq(r, typeCode, iText, nullptr);
        const InputFile qFile(r.qFileName);
        if (!qFile.isOpen())
            return IqStatus::SecondFile;
        const TextSpan qText = textfile::spanOf(qFile);
        return parseTextIq(r, typeCode, iText, &qText);
    });
}
