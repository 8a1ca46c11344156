#include "instrumentoptions.h"

namespace {

constexpr double kRowanWideSampleRate = 326.4e6;  // with Q53
constexpr double kRowanSampleRate = 81.6e6;
constexpr double kRowanDeepMemoryRate = 100e6;  // at and above: half the deep memory
constexpr double kWalnutRateWithoutQ31 = 45e6;

}  // namespace

double sampleRateMax(const DeviceType &row, const InstrumentOptions &options)
{
    if (!options.known)
        return row.sampleRateLimits.max;
    if (hasOptionLimits(row))
        return options.q53 ? kRowanWideSampleRate : kRowanSampleRate;
    if ((row.is(DeviceId::Walnut) || row.is(DeviceId::Juniper)) && !options.q31)
        return kWalnutRateWithoutQ31;
    return row.sampleRateLimits.max;
}

uint32_t maxSamples(const DeviceType &row, const InstrumentOptions &options, double sampleRate)
{
    if (!hasOptionLimits(row) || !options.known)
        return row.maxSamples;
    if (!options.q54)
        return 16776704u;
    const bool fast = sampleRate >= kRowanDeepMemoryRate;
    if (options.q53)
        return fast ? 503315968u : 704642560u;
    return fast ? 1006632448u : 1409285632u;
}

bool analogIqAvailable(const DeviceType &row, const InstrumentOptions &options)
{
    return row.is(DeviceId::Rowan) && options.q31 && row.hasInput(InputCode::analogIq);
}

bool digitalIqAvailable(const DeviceType &row)
{
    return row.hasInput(InputCode::digitalIq);
}
