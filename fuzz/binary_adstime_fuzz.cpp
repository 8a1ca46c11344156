#include "dispatch.h"
#include "binaryfuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    checkReaderOn(twoFuzzFiles(data, size), readFileOfType, 27);
    return 0;
}
