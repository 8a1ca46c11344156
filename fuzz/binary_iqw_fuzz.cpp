#include "binaryfuzzinput.h"
#include "dispatch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const FuzzFiles files = oneFuzzFile(data, size);
    checkReaderOn(files, readFileOfType, files.variant ? 19 : 18);
    return 0;
}
