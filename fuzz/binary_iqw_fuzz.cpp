#include "binaryfuzzinput.h"
#include "iqwformat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const FuzzFiles files = oneFuzzFile(data, size);
    checkReaderOn(files, files.variant ? readIqwBlocks : readIqwPairs, files.variant ? 19 : 18);
    return 0;
}
