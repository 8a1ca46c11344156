#include "binaryfuzzinput.h"
#include "spwbinary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const FuzzFiles files = twoFuzzFiles(data, size);
    IqBuffer r;
    r.iFileName = files.first;
    r.qFileName = files.second;
    checkReaderPromise(r, readSpwBinary(r, files.variant ? 28 : 12));
    return 0;
}
