// Raw recording: header text (first part) and data file (second part).
#include "codecfuzz.h"
#include "containerfuzzinput.h"
#include "rawrecording.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const FuzzParts parts = splitFuzzInput(data, size);
    QBuffer d;
    openBuffer(d, parts.second);
    IqBuffer r;
    if (ok(readRawHeaderFrom(r, parts.first, d, true, true))
        && ok(allocateSamples(r, r.sampleCount)))
        readRawSamples(r, d, r.sampleCount);
    codecFuzzFile("x.wvh", parts.first);
    checkCodecOn(codecFuzzFile("x.wvd", parts.second), QString(), 24);
    return 0;
}
