// AWG waveform reader: I file (first part) and Q file (second part).
#include "awgwaveform.h"
#include "containerfuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    readFuzzParts(data, size, readAwgWaveformFrom);
    return 0;
}
