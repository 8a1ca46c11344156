#pragma once

#include "iqbuffer.h"

#include <cmath>
#include <complex>
#include <cstdint>
#include <random>

// A record that looks captured: receiver noise, a carrier that hops every 5 ms over five
// frequencies, and every 20 ms a 2 ms burst of 1 Msymbol/s QPSK at +3.5 MHz. Rate 10 MHz,
// centre frequency 2.4 GHz. Bursts start at 20·k + 7 ms, hops at multiples of 5 ms.
inline IqBuffer makeCapture(int64_t n)
{
    constexpr double fs = 10e6;
    const double hops[] = {-3.0e6, 1.0e6, -1.5e6, 2.5e6, 0.5e6};
    IqBuffer r;
    allocateSamples(r, n);
    r.sampleCount = n;
    r.sampleRate = fs;
    r.centerFrequency = 2.4e9;
    std::mt19937 gen(11);
    std::normal_distribution<float> noise(0.0f, 0.003f);
    std::uniform_int_distribution<int> bit(0, 1);
    double hopPhase = 0.0;
    std::complex<double> symbol(1.0, 0.0);
    for (int64_t k = 0; k < n; ++k) {
        const int64_t slot = k / 50000;  // 5 ms
        hopPhase += 2 * M_PI * hops[slot % 5] / fs;
        if (hopPhase > M_PI)
            hopPhase -= 2 * M_PI;
        else if (hopPhase < -M_PI)
            hopPhase += 2 * M_PI;
        std::complex<double> z = std::polar(0.3, hopPhase);
        const int64_t inCycle = k % 200000;  // 20 ms
        if (inCycle >= 70000 && inCycle < 90000) {
            if (k % 10 == 0)
                symbol = std::complex<double>(bit(gen) ? 0.15 : -0.15, bit(gen) ? 0.15 : -0.15);
            z += symbol * std::polar(1.0, 2 * M_PI * std::fmod(3.5e6 / fs * double(k), 1.0));
        }
        r.iData[k] = float(z.real()) + noise(gen);
        r.qData[k] = float(z.imag()) + noise(gen);
    }
    return r;
}
