#include "spectrummath.h"

#include "fftplan.h"

#include <algorithm>
#include <cmath>

double levelFloor()
{
    static const double floor = 20.0 * std::log10(kLevelFloorRatio);
    return floor;
}

size_t largestPowerOfTwo(size_t n)
{
    if (n == 0)
        return 0;
    size_t p = 1;
    while (p <= n / 2)
        p *= 2;
    return p;
}

namespace {

constexpr double kDegreesPerRadian = 57.295779513082320876798;  // 180/π

// Position of line k after reverseHalves.
inline size_t orderedIndex(size_t k, size_t n)
{
    const size_t h = n / 2;
    return k < h ? h - 1 - k : n + h - 1 - k;
}

inline double phaseDegrees(double re, double im)
{
    return (re == 0.0 && im == 0.0) ? 0.0 : std::atan2(im, re) * kDegreesPerRadian;
}

}  // namespace

bool transformIqUnscaled(const ComplexBuffer &buffer)
{
    const size_t n = buffer.size();
    if (n == 0)
        return true;
    std::shared_ptr<const FftPlan> plan = FftPlan::forSize(n);
    if (!plan)
        return false;
    plan->execute(buffer);  // FFTW's backward direction carries the positive exponent
    return true;
}

bool transformIq(const ComplexBuffer &buffer)
{
    const size_t n = buffer.size();
    if (!transformIqUnscaled(buffer))
        return false;
    const double scale = 1.0 / std::sqrt(static_cast<double>(n));
    std::complex<double> *x = buffer.data();
    for (size_t k = 0; k < n; ++k)
        x[k] *= scale;
    return true;
}

void magnitudeAndPhase(const std::complex<double> *x, size_t n, double *magnitude, double *phase)
{
    for (size_t k = 0; k < n; ++k) {
        const double re = x[k].real();
        const double im = x[k].imag();
        if (magnitude)
            magnitude[k] = std::sqrt(re * re + im * im);
        if (phase)
            phase[k] = phaseDegrees(re, im);
    }
}

void reverseHalves(double *values, size_t n)
{
    const size_t h = n / 2;
    std::reverse(values, values + h);
    std::reverse(values + h, values + 2 * h);
}

void frequencyAxis(double fs, size_t n, double *out)
{
    if (n < 2)
        return;
    const double last = static_cast<double>(n - 1);
    for (size_t i = 0; i < n; ++i)
        out[i] = -fs / 2.0 + static_cast<double>(i) * fs / last;
    out[n - 1] = fs / 2.0;  // exact end point whatever the rounding of the steps
}

void levelsFromMagnitudes(double *values, size_t n)
{
    double max = 0.0;
    for (size_t k = 0; k < n; ++k)
        if (values[k] > max)
            max = values[k];
    const double floor = levelFloor();
    for (size_t k = 0; k < n; ++k) {
        const double ratio = values[k] / max;
        // Written so that NaN ratios (0/0, inf/inf) fail the test and take the floor too.
        values[k] = (ratio >= kLevelFloorRatio && std::isfinite(ratio)) ? 20.0 * std::log10(ratio)
                                                                        : floor;
    }
}

double iqExtent(const float *i, const float *q, size_t n)
{
    float m = 0.0f;
    for (size_t k = 0; k < n; ++k) {
        const float a = std::fabs(i[k]);
        const float b = std::fabs(q[k]);
        if (a > m && std::isfinite(a))
            m = a;
        if (b > m && std::isfinite(b))
            m = b;
    }
    return m;
}

void orderedLevels(const std::complex<double> *x, size_t n, double *out)
{
    double max = 0.0;
    for (size_t k = 0; k < n; ++k) {
        const double p = std::norm(x[k]);
        out[orderedIndex(k, n)] = p;
        if (p > max)
            max = p;
    }
    const double inverse = 1.0 / max;
    const double floorRatio = kLevelFloorRatio * kLevelFloorRatio;
    const double floor = levelFloor();
    for (size_t k = 0; k < n; ++k) {
        const double ratio = out[k] * inverse;
        out[k] = (ratio >= floorRatio && std::isfinite(ratio)) ? 10.0 * std::log10(ratio) : floor;
    }
}

void orderedPhases(const std::complex<double> *x, size_t n, double *out)
{
    for (size_t k = 0; k < n; ++k)
        out[orderedIndex(k, n)] = phaseDegrees(x[k].real(), x[k].imag());
}
