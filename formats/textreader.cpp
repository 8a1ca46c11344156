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

void parseColumn(TextSpan text, int64_t count, bool timeDomain, float *out)
{
    TextSpan line;
    for (int64_t k = 0; k < count && textlines::next(text, line); ++k)
        out[k] = timeDomain ? valueColumn(line) : parseFloat(line.begin, line.end);
}

}  // namespace

IqStatus parseTextIq(IqBuffer &record, int typeCode, TextSpan iText, const TextSpan *qText)
{
    releaseSamples(record);
    record.sampleCount = 0;
    const TextSpan iLines = stripTextHeader(typeCode, textlines::withoutByteOrderMark(iText));
    const TextSpan qLines =
        qText ? stripTextHeader(typeCode, textlines::withoutByteOrderMark(*qText)) : TextSpan{};
    int64_t count = textlines::count(iLines);
    if (qText)
        count = std::min(count, textlines::count(qLines));
    const IqStatus status = allocateSamples(record, count);
    if (status != IqStatusCode::Ok) {
        releaseSamples(record);
        return status;
    }
    float *i = record.iData.data();
    float *q = record.qData.data();
    if (qText) {
        parseColumn(iLines, count, typeCode == 26, i);
        parseColumn(qLines, count, typeCode == 26, q);
    } else {
        TextSpan rest = iLines;
        TextSpan line;
        for (int64_t k = 0; k < count && textlines::next(rest, line); ++k)
            parsePair(line, i[k], q[k]);
    }
    record.sampleCount = count;
    return IqStatusCode::Ok;
}

IqStatus readTextIq(IqBuffer &record, int typeCode)
{
    releaseSamples(record);
    record.sampleCount = 0;
    const InputFile iFile(record.iFileName);
    if (!iFile.isOpen())
        return IqStatusCode::FirstFile;
    if (record.qFileName.isEmpty())
        return parseTextIq(record, typeCode, textfile::spanOf(iFile), nullptr);
    const InputFile qFile(record.qFileName);
    if (!qFile.isOpen())
        return IqStatusCode::SecondFile;
    const TextSpan qText = textfile::spanOf(qFile);
    return parseTextIq(record, typeCode, textfile::spanOf(iFile), &qText);
}
