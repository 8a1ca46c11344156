// AWG waveform reader: I file (first part) and Q file (second part).
#include "awgwaveform.h"
#include "containerfuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const FuzzParts parts = splitFuzzInput(data, size);
    QBuffer i, q;
    openBuffer(i, parts.first);
    openBuffer(q, parts.second);
    IqBuffer r;
    readAwgWaveformFrom(r, i, q);
    return 0;
}
