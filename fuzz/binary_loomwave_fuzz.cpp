#include "binaryfuzzinput.h"
#include "dispatch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzFiles files;
    files.first = writeFuzzFile("first", data, size);
    checkReaderOn(files, readFileOfType, 23);
    return 0;
}
