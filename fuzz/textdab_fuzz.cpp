// The DAB symbol file reader on arbitrary text.
#include "textformats.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const char *text = reinterpret_cast<const char *>(data);
    IqBuffer record;
    const IqStatus status = parseDabSymbols(record, {text, text + size});
    if (status == 0 && (record.sampleCount > int64_t(size) + 1 || record.heldCount() != record.sampleCount))
        std::abort();
    if (status != 0 && (status != -1 || !record.iData.isNull()))
        std::abort();
    return 0;
}
