// Scope reference waveform reader: I file (first part) and Q file (second part).
#include "containerfuzzinput.h"
#include "tdswaveform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const FuzzParts parts = splitFuzzInput(data, size);
    QBuffer i, q;
    openBuffer(i, parts.first);
    openBuffer(q, parts.second);
    IqBuffer r;
    readScopeWaveformFrom(r, i, q);
    return 0;
}
