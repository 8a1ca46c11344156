// WAV header parser and both WAV readers. The input is one stereo file, and also, split in
// two (see containerfuzzinput.h), the I and Q files of a pair.
#include "codecfuzz.h"
#include "containerfuzzinput.h"
#include "wavformat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray whole(reinterpret_cast<const char *>(data), int(size));
    {
        QBuffer b;
        openBuffer(b, whole);
        IqBuffer r;
        readWavStereoFrom(r, b);
    }
    {
        QBuffer b;
        openBuffer(b, whole);
        IqBuffer r;
        int kind = 0;
        readWavHeader(r, b, kind, true, true);
    }
    readFuzzParts(data, size, readWavPairFrom);
    checkCodecOn(codecFuzzFile("x.wav", whole), QString(), 15);
    const FuzzParts parts = splitFuzzInput(data, size);
    checkCodecOn(codecFuzzFile("i.wav", parts.first), codecFuzzFile("q.wav", parts.second), 14);
    return 0;
}
