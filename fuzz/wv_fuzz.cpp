// WV header parser (EMPTYTAG, WWAVEFORM, SAMPLES against the bytes present) through the codec.
#include "codecfuzz.h"
#include "containerfuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    quietQt();
    const QByteArray whole(reinterpret_cast<const char *>(data), int(size));
    checkCodecOn(codecFuzzFile("x.wv", whole), QString(), 25);
    return 0;
}
