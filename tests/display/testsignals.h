#pragma once

#include "iqbuffer.h"

#include <cmath>
#include <complex>
#include <cstdint>
#include <functional>
#include <random>

// Records generated in code for the display tests.
inline IqBuffer makeRecord(int64_t n, double fs,
                           const std::function<std::complex<double>(int64_t)> &z)
{
    IqBuffer r;
    allocateSamples(r, n);
    r.sampleCount = n;
    r.sampleRate = fs;
    for (int64_t k = 0; k < n; ++k) {
        const std::complex<double> v = z(k);
        r.iData[k] = static_cast<float>(v.real());
        r.qData[k] = static_cast<float>(v.imag());
    }
    return r;
}

// z[n] = a·e^(+j·2π·f0·n/fs)
inline IqBuffer makeTone(int64_t n, double fs, double f0, double a = 1.0)
{
    const double w = 2.0 * M_PI * f0 / fs;
    return makeRecord(n, fs, [=](int64_t k) { return std::polar(a, w * static_cast<double>(k)); });
}

inline IqBuffer makeNoise(int64_t n, double fs, uint32_t seed, double sigma = 0.3)
{
    std::mt19937 gen(seed);
    std::normal_distribution<double> d(0.0, sigma);
    return makeRecord(n, fs, [&](int64_t) { return std::complex<double>(d(gen), d(gen)); });
}
