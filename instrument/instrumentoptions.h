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

    bool has(InstrumentOption option) const;
    void set(InstrumentOption option, bool present);
};

// Highest free sample rate of the row (Hz). Once the options are known, a row whose rate
// depends on an option (Rowan's Q53, Walnut's and Juniper's Q31) stops lower without it;
// every other row's is the table's.
double sampleRateMax(const DeviceType &row, const InstrumentOptions &options);

// Largest "Sample Count" of the row. Once the options are known, a row whose memory depends
// on them (Rowan's on Q53, Q54 and the sample rate) holds what they allow; every other row's
// is the table's.
uint32_t maxSamples(const DeviceType &row, const InstrumentOptions &options, double sampleRate);

// Whether the analog I/Q input of the row can be used: on a row that lists it, with the
// option it needs (Rowan's Q31).
bool analogIqAvailable(const DeviceType &row, const InstrumentOptions &options);

// Whether the digital I/Q input can be used: on every row that lists it.
bool digitalIqAvailable(const DeviceType &row);

// The option's name as "*OPT?" lists it ("Q31"); "" for None.
const char *optionName(InstrumentOption option);
