#pragma once

#include "visa.h"

#include <cstdint>
#include <string>

namespace kxvisa {

enum class ResourceKind { Socket, Vxi11Instr, HislipInstr };

// A parsed TCPIP resource string. Host is kept without brackets; device is the VXI-11
// device name as given ("inst0" when omitted).
struct ResourceName
{
    ResourceKind kind = ResourceKind::Vxi11Instr;
    uint16_t board = 0;
    std::string host;
    uint16_t port = 0;
    std::string device;

    std::string canonical() const;
    const char *className() const;
};

// VI_SUCCESS for a TCPIP resource; VI_ERROR_INV_RSRC_NAME for malformed text;
// VI_ERROR_RSRC_NFOUND for resources of other interfaces and aliases.
ViStatus parseResourceName(const std::string &text, ResourceName &out);

}  // namespace kxvisa
