#pragma once

#include "complexbuffer.h"

#include <cstddef>

// Lowest level a spectral line is given, 20·log10(1e-20) = -400 dB below the peak. Lines with
// a smaller ratio (in practice: exactly zero, whose logarithm is -inf), lines that are not a
// number, and every line of an all-zero record sit here, so the curve and its scale stay
// finite. Rounding of the double-precision transform leaves energy-free lines near
// 20·log10(1e-16) = -320 dB, so the floor lies below anything a real line can show.
constexpr double kLevelFloorRatio = 1e-20;
double levelFloor();

// Largest power of two not above n (0 for 0).
size_t largestPowerOfTwo(size_t n);

// Replaces the buffer by X[k] = (1/√N)·Σ x[n]·e^(+j·2π·k·n/N) with N = buffer.size().
// False when no transform plan can be had (out of memory).
bool transformIq(const ComplexBuffer &buffer);

// The same transform without the 1/√N scale, for views that do not depend on it (levels
// relative to the peak, phases): saves a pass over the data.
bool transformIqUnscaled(const ComplexBuffer &buffer);

// magnitude[k] = |X[k]|; phase[k] = atan2(Im, Re)·180/π in degrees, -180 … 180, so every
// quadrant keeps its own angle. A line with Re = Im = 0 gets phase 0. Either output may be
// null when it is not wanted.
void magnitudeAndPhase(const std::complex<double> *x, size_t n, double *magnitude, double *phase);

// Reverses each half of the array in place without swapping the halves:
// new[i] = old[h-1-i], new[h+i] = old[n-1-i] with h = n/2. After it, line i of a transform
// with the positive exponent belongs to frequency (i - h + 1)·fs/n.
void reverseHalves(double *values, size_t n);

// f[i] = -fs/2 + i·fs/(n-1): from -fs/2 to +fs/2 exactly. Needs n >= 2.
void frequencyAxis(double fs, size_t n, double *out);

// In place: magnitude[k] becomes 20·log10(magnitude[k]/max) dB, floored at levelFloor().
void levelsFromMagnitudes(double *values, size_t n);

// The shown arrays in one pass each, already in rising-frequency order (reverseHalves
// applied) and independent of any common scale of x: out gets 20·log10(|X|/max|X|) dB with
// the floor, computed as 10·log10(|X|²/max|X|²), or the phase in degrees. n is even.
void orderedLevels(const std::complex<double> *x, size_t n, double *out);
void orderedPhases(const std::complex<double> *x, size_t n, double *out);

// Largest |I| or |Q| over the first n samples; values that are not finite are skipped.
double iqExtent(const float *i, const float *q, size_t n);
