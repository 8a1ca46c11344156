#include "binaryfuzzinput.h"
#include "dispatch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const FuzzFiles files = twoFuzzFiles(data, size);
    checkReaderOn(files, readFileOfType, files.variant ? 28 : 12);
    return 0;
}
