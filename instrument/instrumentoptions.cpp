#include "instrumentoptions.h"

bool InstrumentOptions::has(InstrumentOption option) const
{
    switch (option) {
    case InstrumentOption::Q31: return q31;
    case InstrumentOption::Q52: return q52;
    case InstrumentOption::Q53: return q53;
    case InstrumentOption::Q54: return q54;
    case InstrumentOption::Q90: return q90;
    case InstrumentOption::None: break;
    }
    return false;
}

void InstrumentOptions::set(InstrumentOption option, bool present)
{
    switch (option) {
    case InstrumentOption::Q31: q31 = present; break;
    case InstrumentOption::Q52: q52 = present; break;
    case InstrumentOption::Q53: q53 = present; break;
    case InstrumentOption::Q54: q54 = present; break;
    case InstrumentOption::Q90: q90 = present; break;
    case InstrumentOption::None: break;
    }
}

double sampleRateMax(const DeviceType &row, const InstrumentOptions &options)
{
    const InitFacts &init = row.init;
    if (options.known && init.rateOption != InstrumentOption::None && !options.has(init.rateOption))
        return init.rateWithout;
    return row.sampleRateLimits.max;
}

uint32_t maxSamples(const DeviceType &row, const InstrumentOptions &options, double sampleRate)
{
    const OptionMemory *memory = row.init.memory;
    if (!memory || !options.known)
        return row.maxSamples;
    if (!options.has(memory->deepOption))
        return memory->withoutDeep;
    const bool fast = sampleRate >= memory->fastRate;
    if (options.has(memory->wideOption))
        return fast ? memory->wideDeepFast : memory->wideDeep;
    return fast ? memory->deepFast : memory->deep;
}

bool analogIqAvailable(const DeviceType &row, const InstrumentOptions &options)
{
    const InstrumentOption needed = row.init.analogIqOption;
    return needed != InstrumentOption::None && options.has(needed)
           && row.hasInput(InputCode::analogIq);
}

const char *optionName(InstrumentOption option)
{
    switch (option) {
    case InstrumentOption::Q31: return "Q31";
    case InstrumentOption::Q52: return "Q52";
    case InstrumentOption::Q53: return "Q53";
    case InstrumentOption::Q54: return "Q54";
    case InstrumentOption::Q90: return "Q90";
    case InstrumentOption::None: break;
    }
    return "";
}

bool digitalIqAvailable(const DeviceType &row)
{
    return row.hasInput(InputCode::digitalIq);
}
