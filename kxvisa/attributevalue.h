#pragma once

#include "visa.h"

#include <cstring>
#include <string>

namespace kxvisa {

// viGetAttribute writes each attribute in its own VISA type; strings take at most 256 bytes.
template<typename T>
ViStatus storeAttribute(void *out, T value)
{
    std::memcpy(out, &value, sizeof value);
    return VI_SUCCESS;
}

inline ViStatus storeAttributeText(void *out, const std::string &text)
{
    const size_t n = text.size() < 255 ? text.size() : 255;
    std::memcpy(out, text.data(), n);
    static_cast<char *>(out)[n] = '\0';
    return VI_SUCCESS;
}

constexpr ViUInt16 kManufacturerId = 0x0FAF;
constexpr const char *kManufacturerName = "Vantorp kxvisa";
constexpr ViVersion kImplementationVersion = 0x00100000u;

}  // namespace kxvisa
