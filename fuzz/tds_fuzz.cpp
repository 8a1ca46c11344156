// Scope reference waveform reader: I file (first part) and Q file (second part).
#include "containerfuzzinput.h"
#include "tdswaveform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    readFuzzParts(data, size, readScopeWaveformFrom);
    return 0;
}
