// The DAB symbol file reader on arbitrary text.
#include "readerpromise.h"
#include "textformats.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const char *text = reinterpret_cast<const char *>(data);
    IqBuffer record;
    const IqStatus status = parseDabSymbols(record, {text, text + size});
    checkReaderPromise(record, status);
    if (ok(status) ? record.sampleCount > int64_t(size) + 1 : status != IqStatus::FirstFile)
        std::abort();
    return 0;
}
