#include "adstimebinary.h"
#include "binaryfuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const FuzzFiles files = twoFuzzFiles(data, size);
    IqBuffer r;
    r.iFileName = files.first;
    r.qFileName = files.second;
    checkReaderPromise(r, readAdsTimeBinary(r, 27));
    return 0;
}
