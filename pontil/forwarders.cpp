// The exported VISA functions: each looks its slot up and continues in the implementation
// with the caller's arguments untouched.

#include "pontil.h"
#include "visaloader.h"

namespace {

template<typename Result>
Result unavailable(ViStatus status)
{
    return status;
}

template<>
void unavailable<void>(ViStatus)
{}

template<typename Function>
Function target(VisaSlot slot, ViStatus &failure)
{
    const VisaTarget found = VisaLoader::resolve(slot);
    failure = found.failure;
    return reinterpret_cast<Function>(found.function);
}

}  // namespace

#define PONTIL_FORWARD(result, name, parameters, arguments) \
    extern "C" result name parameters \
    { \
        ViStatus failure; \
        auto function = target<result(*) parameters>(VisaSlot::name, failure); \
        if (!function) \
            return unavailable<result>(failure); \
        return function arguments; \
    }

PONTIL_VISA_FUNCTIONS(PONTIL_FORWARD)

#undef PONTIL_FORWARD

// The variadic functions go through their va_list twins: the implementation's own
// variadic entry cannot be handed a va_list.
#define PONTIL_FORWARD_VARIADIC(twin, lastFixed, ...) \
    ViStatus failure; \
    auto function = target<decltype(&twin)>(VisaSlot::twin, failure); \
    if (!function) \
        return failure; \
    va_list list; \
    va_start(list, lastFixed); \
    const ViStatus status = function(__VA_ARGS__, list); \
    va_end(list); \
    return status;

extern "C" ViStatus viPrintf(ViSession vi, ViConstString writeFmt, ...)
{
    PONTIL_FORWARD_VARIADIC(viVPrintf, writeFmt, vi, writeFmt)
}

extern "C" ViStatus viScanf(ViSession vi, ViConstString readFmt, ...)
{
    PONTIL_FORWARD_VARIADIC(viVScanf, readFmt, vi, readFmt)
}

extern "C" ViStatus viQueryf(ViSession vi, ViConstString writeFmt, ViConstString readFmt, ...)
{
    PONTIL_FORWARD_VARIADIC(viVQueryf, readFmt, vi, writeFmt, readFmt)
}

extern "C" ViStatus viSPrintf(ViSession vi, ViPBuf buf, ViConstString writeFmt, ...)
{
    PONTIL_FORWARD_VARIADIC(viVSPrintf, writeFmt, vi, buf, writeFmt)
}

extern "C" ViStatus viSScanf(ViSession vi, ViConstBuf buf, ViConstString readFmt, ...)
{
    PONTIL_FORWARD_VARIADIC(viVSScanf, readFmt, vi, buf, readFmt)
}
