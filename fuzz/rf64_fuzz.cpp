// The RIFF / RF64 / BW64 header walk with its ds64 sizes, and the stereo codec behind it.
// Aborts when a header that parsed claims samples beyond the bytes present.
#include "codecfuzz.h"
#include "containerfuzzinput.h"
#include "wavformat.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    quietQt();
    const QByteArray whole(reinterpret_cast<const char *>(data), int(size));
    QBuffer b;
    openBuffer(b, whole);
    WavHeader h;
    if (parseWavHeader(b, h) == IqStatus::Ok) {
        const int64_t block = (h.kind / 256) * (h.kind % 256);
        if (h.count < 0 || h.dataOffset < 0 || h.dataOffset + h.count * block > int64_t(size))
            std::abort();
    }
    checkCodecOn(codecFuzzFile("x.wav", whole), QString(), 15);
    return 0;
}
