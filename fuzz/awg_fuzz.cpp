// AWG waveform codec: I file (first part) and Q file (second part).
#include "codecfuzz.h"
#include "containerfuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    quietQt();
    const FuzzParts parts = splitFuzzInput(data, size);
    checkCodecOn(codecFuzzFile("i.wfm", parts.first), codecFuzzFile("q.wfm", parts.second), 30);
    return 0;
}
