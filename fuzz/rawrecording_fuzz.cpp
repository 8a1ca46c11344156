// Raw recording through its codec: header text (first part) and data file (second part).
#include "codecfuzz.h"
#include "containerfuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    quietQt();
    const FuzzParts parts = splitFuzzInput(data, size);
    codecFuzzFile("x.wvh", parts.first);
    checkCodecOn(codecFuzzFile("x.wvd", parts.second), QString(), 24);
    return 0;
}
