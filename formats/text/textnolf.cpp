#include "textformats.h"

#include "numbertext.h"
#include "textfile.h"

#include <algorithm>

IqStatus parseAsciiNoLineFeed(IqBuffer &record, TextSpan text)
{
    text = textlines::withoutByteOrderMark(text);
    // Fields are what lies between single blanks, empty ones included.
    const int64_t fields = std::count(text.begin, text.end, ' ') + 1;
    const int64_t count = fields / 2;
    if (const IqStatus status = allocateSamples(record, count); failed(status))
        return failRead(record, status);
    float *i = record.iData.data();
    float *q = record.qData.data();
    const char *p = text.begin;
    for (int64_t k = 0; k < 2 * count; ++k) {
        const char *blank = textlines::find(p, text.end, ' ');
        const float v = numbertext::parseFloat(p, blank);
        (k % 2 == 0 ? i : q)[k / 2] = v;
        p = blank < text.end ? blank + 1 : text.end;
    }
    record.sampleCount = count;
    return IqStatus::Ok;
}

IqStatus readAsciiNoLineFeed(IqBuffer &record, int)
{
    return textfile::readOneFile(record, parseAsciiNoLineFeed);
}
