// Scope reference waveform reader: I file (first part) and Q file (second part).
#include "codecfuzz.h"
#include "containerfuzzinput.h"
#include "tdswaveform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    readFuzzParts(data, size, readScopeWaveformFrom);
    const FuzzParts parts = splitFuzzInput(data, size);
    checkCodecOn(codecFuzzFile("i.wfm", parts.first), codecFuzzFile("q.wfm", parts.second), 31);
    return 0;
}
