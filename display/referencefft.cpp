#include "referencefft.h"

#include <cmath>
#include <utility>

namespace {

bool isPowerOfTwo(size_t n)
{
    return n != 0 && (n & (n - 1)) == 0;
}

// Decimation in frequency: the twiddle factors come from a running product T and the
// squaring of φ at each stage, so no table is needed.
void butterflies(std::complex<double> *x, size_t n)
{
    const double theta = 4.0 * std::atan(1.0) / static_cast<double>(n);
    std::complex<double> phi(std::cos(theta), std::sin(theta));
    for (size_t span = n; span > 1; span /= 2) {
        const size_t half = span / 2;
        phi *= phi;
        std::complex<double> t(1.0, 0.0);
        for (size_t l = 0; l < half; ++l) {
            for (size_t a = l; a < n; a += span) {
                const size_t b = a + half;
                const std::complex<double> d = x[a] - x[b];
                x[a] += x[b];
                x[b] = d * t;
            }
            t *= phi;
        }
    }
}

void bitReverse(std::complex<double> *x, size_t n)
{
    unsigned bits = 0;
    while ((size_t(1) << bits) < n)
        ++bits;
    for (size_t a = 0; a < n; ++a) {
        size_t b = 0;
        for (unsigned i = 0; i < bits; ++i)
            b |= ((a >> i) & 1u) << (bits - 1 - i);
        if (b > a)
            std::swap(x[a], x[b]);
    }
}

}  // namespace

bool referenceFft(std::complex<double> *x, size_t n)
{
    if (!isPowerOfTwo(n))
        return false;
    butterflies(x, n);
    bitReverse(x, n);
    const double scale = 1.0 / std::sqrt(static_cast<double>(n));
    for (size_t k = 0; k < n; ++k)
        x[k] *= scale;
    return true;
}
