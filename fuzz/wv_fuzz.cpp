// WV header parser and reader, with the scans of the chunked conversion.
#include "codecfuzz.h"
#include "containerfuzzinput.h"
#include "wvformat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray whole(reinterpret_cast<const char *>(data), int(size));
    QBuffer b;
    openBuffer(b, whole);
    IqBuffer r;
    readWvFrom(r, b);
    IqBuffer s;
    if (ok(readWvHeader(s, b, true, true)) && ok(allocateSamples(s, s.sampleCount)))
        readWvSamples(s, b, s.sampleCount);
    checkCodecOn(codecFuzzFile("x.wv", whole), QString(), 25);
    return 0;
}
