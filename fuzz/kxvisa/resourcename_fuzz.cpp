// Resource strings come from users and settings files: the parser must accept or reject
// anything without crashing, and what it accepts must survive a round trip.
#include "resourcename.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    kxvisa::ResourceName r;
    if (kxvisa::parseResourceName(text, r) != VI_SUCCESS)
        return 0;
    kxvisa::ResourceName again;
    if (kxvisa::parseResourceName(r.canonical(), again) != VI_SUCCESS
        || again.canonical() != r.canonical())
        std::abort();
    return 0;
}
