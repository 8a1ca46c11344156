#pragma once

#include "devicetype.h"

#include <cstdint>

// The options Init found on the instrument ("*OPT?"); all absent until then. For Rowan Q31
// (analog I/Q input), Q53 (wider sample rate), Q54 (deeper memory) and Q90; for Walnut and
// Juniper Q31 and Q52.
struct InstrumentOptions
{
    bool q31 = false, q52 = false, q53 = false, q54 = false, q90 = false;
    // Init has asked the instrument. Until then nothing is known to be missing, so the
    // option-dependent limits are the table's widest and stored values are kept as they are.
    bool known = false;
};

// Highest free sample rate of the row (Hz). Once the options are known, Rowan's depends on
// Q53, and Walnut's and Juniper's stop at 45 MHz without Q31; every other row's is the
// table's.
double sampleRateMax(const DeviceType &row, const InstrumentOptions &options);

// Largest "Sample Count" of the row. Rowan's depends on Q53, Q54 and the sample rate (its
// memory holds fewer samples at 100 MHz and above) once the options are known; every other
// row's is the table's.
uint32_t maxSamples(const DeviceType &row, const InstrumentOptions &options, double sampleRate);

// Whether the analog I/Q input of the row can be used: only Rowan with Q31.
bool analogIqAvailable(const DeviceType &row, const InstrumentOptions &options);

// Whether the digital I/Q input can be used: on every row that lists it.
bool digitalIqAvailable(const DeviceType &row);
