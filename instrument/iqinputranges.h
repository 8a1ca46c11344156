#pragma once

#include "appsettings.h"
#include "devicetype.h"

// The analog and digital I/Q inputs' ranges as their dialogs offer them.
namespace IqInputRanges {

// The analog range items, smallest first.
constexpr int analogCount = 10;
const char *analogLabel(int index);
double analogVolts(int index);

// The item whose voltage is nearest to volts (by ratio, as the items are spaced); item 0
// for zero or less. Earlier versions stored the item's position instead of its voltage,
// which this maps to a near item too.
int nearestAnalog(double volts);

// Stores the voltage of the item; with high impedance no more than 1.78 V.
void chooseAnalog(AppSettings &s, int index);
// With high impedance, a range above 1.78 V becomes 1.78 V.
void keepAnalogWithinImpedance(AppSettings &s);

// The digital range's limits for an input sample rate in MHz: rate x 2^-21 up to rate x 254.
Limits digitalRangeLimits(double sampleRateMhz);

// Stores the input sample rate (MHz) and keeps the range within its new limits.
void setDigitalSampleRate(AppSettings &s, double sampleRateMhz);
void setDigitalRange(AppSettings &s, double range);

}  // namespace IqInputRanges
