#include "displaycurve.h"

#include "spectrummath.h"

#include <limits>
#include <new>

namespace {

size_t &workLimit()
{
    static size_t limit = std::numeric_limits<size_t>::max();
    return limit;
}

AxisScale fixedScale(double min, double max)
{
    AxisScale s;
    s.automatic = false;
    s.min = min;
    s.max = max;
    s.step = (max - min) / 10.0;
    return s;
}

// Spectrum and phase: transform the first N samples, keep the shown quantity, put the lines
// in rising frequency order and lay them on the frequency points.
bool computeSpectral(const IqBuffer &record, DisplayCurve &curve)
{
    const size_t n = curve.input.count;
    ComplexBuffer buffer = ComplexBuffer::allocate(n);
    if (buffer.isNull())
        return false;
    const float *i = record.iData.data();
    const float *q = record.qData.data();
    for (size_t k = 0; k < n; ++k)
        buffer[k] = std::complex<double>(i[k], q[k]);
    // Levels relative to the peak and phases do not change with a common scale, so the
    // 1/√N of the transform is left out.
    if (!transformIqUnscaled(buffer))
        return false;
    curve.x.resize(n);
    curve.y.resize(n);
    if (curve.mode == DisplayMode::Spectrum) {
        orderedLevels(buffer.data(), n, curve.y.data());
    } else {
        orderedPhases(buffer.data(), n, curve.y.data());
        // The whole circle, in steps of 45°: autoscaling would end at a ragged ±200.
        curve.left = fixedScale(-180.0, 180.0);
        curve.left.step = 45.0;
    }
    frequencyAxis(curve.input.sampleRate, n, curve.x.data());
    curve.bottom = fixedScale(curve.x.front(), curve.x.back());
    curve.frequency
            = FrequencyAxis::forSpan(curve.x.back() - curve.x.front(),
                                     record.centerFrequencyKnown ? record.centerFrequency : 0.0);
    return true;
}

// I versus Q: every point in sample order, on a square scale centred on the origin.
void computeIvsQ(const IqBuffer &record, DisplayCurve &curve)
{
    const size_t n = curve.input.count;
    const float *i = record.iData.data();
    const float *q = record.qData.data();
    curve.x.assign(i, i + n);
    curve.y.assign(q, q + n);
    curve.extent = iqExtent(i, q, n);
    // An all-zero record would give a scale of zero width; show it on -1..1 instead.
    const double m = curve.extent > 0.0 ? curve.extent : 1.0;
    curve.bottom = fixedScale(-m, m);
    curve.left = fixedScale(-m, m);
}

}  // namespace

size_t displayWorkBytes(DisplayMode mode, size_t n)
{
    const size_t perSample = mode == DisplayMode::IvsQ
                                     ? 2 * sizeof(double)
                                     : 2 * sizeof(double) + sizeof(std::complex<double>);
    return n * perSample;
}

void setDisplayWorkLimit(size_t bytes)
{
    workLimit() = bytes;
}

DisplayStatus computeDisplayCurve(const IqBuffer &record, DisplayMode mode, DisplayCurve &curve)
{
    // A mode outside the three known views shows the spectrum rather than nothing.
    if (mode != DisplayMode::IvsQ && mode != DisplayMode::Phase)
        mode = DisplayMode::Spectrum;
    curve = DisplayCurve();
    curve.mode = mode;
    curve.input = chooseViewInput(record, mode);
    if (curve.input.count == 0)
        return DisplayStatus::Ok;
    if (displayWorkBytes(mode, curve.input.count) > workLimit())
        return DisplayStatus::NoMemory;
    try {
        if (mode == DisplayMode::IvsQ) {
            computeIvsQ(record, curve);
            return DisplayStatus::Ok;
        }
        if (computeSpectral(record, curve))
            return DisplayStatus::Ok;
    } catch (const std::bad_alloc &) {
    }
    const ViewInput input = curve.input;
    curve = DisplayCurve();
    curve.mode = mode;
    curve.input = input;
    return DisplayStatus::NoMemory;
}
