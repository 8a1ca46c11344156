#pragma once

#include "frequencyaxis.h"
#include "iqbuffer.h"
#include "viewinput.h"

#include <cstddef>
#include <vector>

// One axis of a view: either scaled automatically from the data or fixed to min..max with
// major ticks every step.
struct AxisScale
{
    bool automatic = true;
    double min = 0.0;
    double max = 0.0;
    double step = 0.0;
};

enum class DisplayStatus { Ok, NoMemory };

// Everything the plot window draws for one view: the points in drawing order and the
// scales of the bottom and left axes.
struct DisplayCurve
{
    DisplayMode mode = DisplayMode::Spectrum;
    ViewInput input;
    std::vector<double> x;    // baseband frequency points in Hz, or I
    std::vector<double> y;    // level in dB, phase in degrees, or Q
    FrequencyAxis frequency;  // spectrum and phase: how x and the bottom scale meet the axis
    double extent = 0.0;      // I-versus-Q view: largest |I| or |Q| (before the zero fallback)
    AxisScale bottom;         // in the units of x
    AxisScale left;
};

// Computes the view of the record that the mode asks for. Reads at most
// record.heldCount() samples and never modifies the record. On NoMemory the curve is
// empty (its axes keep their defaults).
DisplayStatus computeDisplayCurve(const IqBuffer &record, DisplayMode mode, DisplayCurve &curve);

// Working storage a view of n samples needs, in bytes.
size_t displayWorkBytes(DisplayMode mode, size_t n);

// Upper bound on that working storage; a computation that would need more reports
// NoMemory as if the allocation had failed. Unlimited by default; lets a caller keep the
// views within a budget and tests reach the out-of-memory path.
void setDisplayWorkLimit(size_t bytes);
