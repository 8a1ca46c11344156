#pragma once

#include "iqbuffer.h"

#include <cstdint>

// At most this many samples feed a view: it bounds the transform and the working storage.
constexpr uint32_t kMaxViewSamples = 1048576;

// How many samples a view takes and at what rate they were taken.
struct ViewInput
{
    uint32_t count = 0;  // N: for the spectrum and phase views a power of two (or 0)
    double sampleRate = 0.0;
    bool clamped = false;  // the record's count asks for more samples than it holds
};

// The record's own count and rate (a capture is stamped with them where it ends). Never more
// than the record holds (IqBuffer::heldCount), never more than kMaxViewSamples. The spectrum and
// phase views round down to a power of two; fewer than two samples give N = 0 there, since the
// frequency points need two.
ViewInput chooseViewInput(const IqBuffer &record, DisplayMode mode);
