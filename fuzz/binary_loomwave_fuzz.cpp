#include "binaryfuzzinput.h"
#include "loomwavebinary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    IqBuffer r;
    r.iFileName = writeFuzzFile("first", data, size);
    checkReaderPromise(r, readLoomwaveBinary(r, 23));
    return 0;
}
