#include "binaryfuzzinput.h"
#include "iqwformat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const FuzzFiles files = oneFuzzFile(data, size);
    IqBuffer r;
    r.iFileName = files.first;
    checkReaderPromise(r, files.variant ? readIqwBlocks(r, 19) : readIqwPairs(r, 18));
    return 0;
}
