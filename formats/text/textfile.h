#pragma once

#include "inputfile.h"
#include "iqbuffer.h"
#include "numbertext.h"
#include "outputfile.h"
#include "readfailure.h"
#include "textlines.h"

#include <algorithm>
#include <cstdint>

// Glue between the text formats and the file helpers.
namespace textfile {

inline TextSpan spanOf(const InputFile &file)
{
    return {file.chars(), file.chars() + file.size()};
}

// What every one-file text reader does: drop the previous samples, open the record's file and
// hand its text to parse(record, text). FirstFile when the file cannot be opened.
template<typename Parse>
IqStatus readOneFile(IqBuffer &record, Parse parse)
{
    releaseSamples(record);
    record.sampleCount = 0;
    const InputFile file(record.iFileName);
    if (!file.isOpen())
        return IqStatus::FirstFile;
    return parse(record, spanOf(file));
}

// Formats count items with put(char *out, int64_t k) -> end, formatting straight into the
// output buffer in blocks; maxChars bounds one item's text.
template<typename Put>
void putItems(OutputFile &out, int64_t count, size_t maxChars, Put put)
{
    constexpr int64_t kBlock = 8192;
    for (int64_t first = 0; first < count && out.ok(); first += kBlock) {
        const int64_t last = std::min(count, first + kBlock);
        char *start = out.reserve(size_t(last - first) * maxChars + numbertext::kMaxNumberChars);
        char *p = start;
        for (int64_t k = first; k < last; ++k)
            p = put(p, k);
        out.advance(size_t(p - start));
    }
}

// One "%0.7e\n" line per value.
inline void putColumn(OutputFile &out, const float *values, int64_t count)
{
    putItems(out, count, 16, [values](char *p, int64_t k) {
        p = numbertext::putE7(p, values[k]);
        *p++ = '\n';
        return p;
    });
}

}  // namespace textfile
