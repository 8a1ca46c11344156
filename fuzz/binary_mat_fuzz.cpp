#include "binaryfuzzinput.h"
#include "dispatch.h"

#include <matio.h>

namespace {
void quiet(int, char *) {}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const int init = Mat_LogInitFunc("fuzz", quiet);
    (void)init;
    const FuzzFiles files = twoFuzzFiles(data, size);
    checkReaderOn(files, readFileOfType, files.variant ? 2 : 3);
    return 0;
}
