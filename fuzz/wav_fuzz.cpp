// WAV header walk and both WAV types through their codec. The input is one stereo file, and
// also, split in two (see containerfuzzinput.h), the I and Q files of a pair.
#include "codecfuzz.h"
#include "containerfuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    quietQt();
    const QByteArray whole(reinterpret_cast<const char *>(data), int(size));
    checkCodecOn(codecFuzzFile("x.wav", whole), QString(), 15);
    const FuzzParts parts = splitFuzzInput(data, size);
    checkCodecOn(codecFuzzFile("i.wav", parts.first), codecFuzzFile("q.wav", parts.second), 14);
    return 0;
}
