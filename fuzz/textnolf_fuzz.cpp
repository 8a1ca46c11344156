// The "ASCII mixed no LF" reader and the number parser on arbitrary text: the parser agrees
// with itself on the same text whether it is trimmed or not.
#include "numbertext.h"
#include "textformats.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const char *text = reinterpret_cast<const char *>(data);
    IqBuffer record;
    if (failed(parseAsciiNoLineFeed(record, {text, text + size}))
        || record.sampleCount > int64_t(size / 2 + 1))
        std::abort();
    bool ok = false;
    const double v = numbertext::parseDouble(text, text + size, &ok);
    if (!ok && v != 0.0)
        std::abort();
    if (ok && size > 0 && size < 64) {
        char padded[70] = " ";
        std::memcpy(padded + 1, text, size);
        padded[size + 1] = '\t';
        bool ok2 = false;
        const double w = numbertext::parseDouble(padded, padded + size + 2, &ok2);
        if (!ok2 || !(w == v || (std::isnan(w) && std::isnan(v))))
            std::abort();
    }
    return 0;
}
