#include "viewinput.h"

#include "spectrummath.h"

#include <algorithm>

ViewInput chooseViewInput(const IqBuffer &record, DisplayMode mode)
{
    ViewInput in;
    const int64_t held = record.heldCount();
    const int64_t wanted = record.sampleCount;
    in.sampleRate = record.sampleRate;
    in.clamped = wanted > held;
    const int64_t n = std::clamp<int64_t>(std::min(wanted, held), 0, kMaxViewSamples);
    in.count = static_cast<uint32_t>(n);
    if (mode != DisplayMode::IvsQ)
        in.count = in.count < 2 ? 0 : static_cast<uint32_t>(largestPowerOfTwo(in.count));
    return in;
}
