// The hexadecimal readers on arbitrary text (byte 0 picks 16, 10 or 17 bits); every value
// read lies within full scale.
#include "textformats.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const int code = 20 + data[0] % 3;
    const char *text = reinterpret_cast<const char *>(data + 1);
    IqBuffer record;
    if (failed(parseHex(record, code, {text, text + size - 1})))
        std::abort();
    for (int64_t k = 0; k < record.sampleCount; ++k)
        if (!(std::fabs(record.iData[k]) <= 1.0f) || !(std::fabs(record.qData[k]) <= 1.0f))
            std::abort();
    return 0;
}
