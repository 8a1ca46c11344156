#pragma once

#include <complex>
#include <cstddef>

// The plain in-place radix-2 transform the views were first defined with:
// X[k] = (1/√N)·Σ x[n]·e^(+j·2π·k·n/N). Kept beside the FFTW path as the reference it is
// checked against. n must be a power of two; other sizes are left untouched (returns false).
bool referenceFft(std::complex<double> *x, size_t n);
