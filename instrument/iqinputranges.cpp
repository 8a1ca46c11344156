#include "iqinputranges.h"

#include <algorithm>
#include <cmath>

namespace IqInputRanges {

namespace {

struct AnalogRange
{
    const char *label;
    double volts;
};

const AnalogRange kAnalog[analogCount]
        = {{"31.6 mV", 0.0316}, {"56.2 mV", 0.0562}, {"100 mV", 0.1}, {"178 mV", 0.178},
           {"316 mV", 0.316},   {"562 mV", 0.562},   {"1 V", 1.0},    {"1.78 V", 1.78},
           {"3.16 V", 3.16},    {"5.62 V", 5.62}};

constexpr double kDigitalRangePerMhzMin = 4.76837158203125e-7;  // 2^-21
constexpr double kDigitalRangePerMhzMax = 254.0;

int clampedIndex(int index)
{
    return std::clamp(index, 0, analogCount - 1);
}

}  // namespace

const char *analogLabel(int index)
{
    return kAnalog[clampedIndex(index)].label;
}

double analogVolts(int index)
{
    return kAnalog[clampedIndex(index)].volts;
}

int nearestAnalog(double volts)
{
    if (!(volts > 0))
        return 0;
    int best = 0;
    for (int i = 1; i < analogCount; ++i)
        if (std::abs(std::log(volts / kAnalog[i].volts))
            < std::abs(std::log(volts / kAnalog[best].volts)))
            best = i;
    return best;
}

void chooseAnalog(AppSettings &s, int index)
{
    s.anaIqRange = analogVolts(index);
    keepAnalogWithinImpedance(s);
}

void keepAnalogWithinImpedance(AppSettings &s)
{
    if (s.highImpedance && s.anaIqRange > highImpedanceRangeLimit)
        s.anaIqRange = highImpedanceRangeLimit;
}

Limits digitalRangeLimits(double sampleRateMhz)
{
    return {sampleRateMhz * kDigitalRangePerMhzMin, sampleRateMhz * kDigitalRangePerMhzMax};
}

void setDigitalSampleRate(AppSettings &s, double sampleRateMhz)
{
    s.digiIqSampleRate = sampleRateMhz;
    setDigitalRange(s, s.digiIqRange);
}

void setDigitalRange(AppSettings &s, double range)
{
    // A rate of zero or less (a damaged file) must not turn the limits round.
    const Limits limits = digitalRangeLimits(std::max(s.digiIqSampleRate, 0.0));
    s.digiIqRange = std::isnan(range) ? limits.min : std::clamp(range, limits.min, limits.max);
}

}  // namespace IqInputRanges
