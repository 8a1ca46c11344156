#pragma once

#include "visadefs.h"
#include "visafunctionlist.h"

#include <cstdint>
#include <string>

// One slot of the forwarding table per fixed-argument VISA function.
enum class VisaSlot : int {
#define PONTIL_SLOT(result, name, parameters, arguments) name,
    PONTIL_VISA_FUNCTIONS(PONTIL_SLOT)
#undef PONTIL_SLOT
            count
};

// Where a forwarded call goes: the implementation's function, or, when there is none, the
// status the call returns instead.
struct VisaTarget
{
    void *function;
    ViStatus failure;
};

// The process-wide choice, loading and release of the VISA implementation. No lock is
// taken: the loaded implementation is published through one atomic pointer, concurrent
// first calls may each open the library and all but the first to publish drop their
// reference again. Setting the code and unloading are not synchronised with calls in
// flight; callers serialise those.
class VisaLoader
{
public:
    static bool setDefaultCode(uint16_t code);
    static uint16_t defaultCode();
    // Loads the implementation if none is loaded, then looks the slot's function up once.
    static VisaTarget resolve(VisaSlot slot);
    // Forgets the loaded implementation and closes it; false when none was loaded.
    static bool unload();
    // The folder libpontil.so was loaded from.
    static std::string pontilDirectory();
    static const char *slotName(VisaSlot slot);
};
