#include "complexbuffer.h"
#include "referencefft.h"
#include "spectrummath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

std::vector<std::complex<double>> randomSignal(size_t n, uint32_t seed)
{
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> d(-1.0, 1.0);
    std::vector<std::complex<double>> z(n);
    for (auto &v : z)
        v = {d(gen), d(gen)};
    return z;
}

// The definition, summed directly: the judge of both fast transforms for small sizes.
std::vector<std::complex<double>> directTransform(const std::vector<std::complex<double>> &z)
{
    const size_t n = z.size();
    std::vector<std::complex<double>> x(n);
    for (size_t k = 0; k < n; ++k) {
        std::complex<double> s = 0.0;
        for (size_t m = 0; m < n; ++m)
            s += z[m] * std::polar(1.0, 2.0 * M_PI * double((k * m) % n) / double(n));
        x[k] = s / std::sqrt(double(n));
    }
    return x;
}

std::vector<std::complex<double>> viaFftw(const std::vector<std::complex<double>> &z)
{
    ComplexBuffer b = ComplexBuffer::allocate(z.size());
    std::copy(z.begin(), z.end(), b.data());
    EXPECT_TRUE(transformIq(b));
    return {b.data(), b.data() + z.size()};
}

double largestRelativeError(const std::vector<std::complex<double>> &a,
                            const std::vector<std::complex<double>> &b)
{
    double peak = 0.0, err = 0.0;
    for (size_t k = 0; k < a.size(); ++k) {
        peak = std::max(peak, std::abs(b[k]));
        err = std::max(err, std::abs(a[k] - b[k]));
    }
    return err / peak;
}

}  // namespace

TEST(Transform, FftwAndReferenceMatchTheDirectSumForSmallSizes)
{
    for (size_t n : {1u, 2u, 4u, 8u, 16u, 64u, 256u}) {
        const auto z = randomSignal(n, 7 + n);
        const auto direct = directTransform(z);
        auto ref = z;
        ASSERT_TRUE(referenceFft(ref.data(), n));
        EXPECT_LT(largestRelativeError(ref, direct), 1e-12) << n;
        EXPECT_LT(largestRelativeError(viaFftw(z), direct), 1e-12) << n;
    }
}

TEST(Transform, FftwAgreesWithReferenceUpToTwoToThe20)
{
    for (size_t n : {size_t(1) << 10, size_t(1) << 15, size_t(1) << 20}) {
        const auto z = randomSignal(n, 99);
        auto ref = z;
        ASSERT_TRUE(referenceFft(ref.data(), n));
        const auto fast = viaFftw(z);
        // Every line, measured against the spectrum's largest line: the reference's running
        // twiddle product drifts by about N·eps, which the smallest lines of 2^20 feel most.
        EXPECT_LT(largestRelativeError(fast, ref), 1e-9) << n;
    }
}

TEST(Transform, ExponentIsPositiveAndScaleIsOneOverRootN)
{
    // A single impulse at n = 1 gives X[k] = e^(+j·2π·k/N)/√N.
    const size_t n = 8;
    std::vector<std::complex<double>> z(n, 0.0);
    z[1] = 1.0;
    const auto x = viaFftw(z);
    for (size_t k = 0; k < n; ++k) {
        const auto want = std::polar(1.0 / std::sqrt(8.0), 2.0 * M_PI * double(k) / 8.0);
        EXPECT_NEAR(x[k].real(), want.real(), 1e-15);
        EXPECT_NEAR(x[k].imag(), want.imag(), 1e-15);
    }
}

TEST(Transform, ReferenceRefusesSizesThatAreNotPowersOfTwo)
{
    std::vector<std::complex<double>> z{{1, 0}, {2, 0}, {3, 0}};
    EXPECT_FALSE(referenceFft(z.data(), 3));
    EXPECT_EQ(z[0], std::complex<double>(1, 0));
    EXPECT_FALSE(referenceFft(z.data(), 0));
}

TEST(Transform, RepeatedSizesReuseTheCachedPlan)
{
    const auto z = randomSignal(4096, 3);
    const auto first = viaFftw(z);
    const auto second = viaFftw(z);
    EXPECT_EQ(first, second);
}

TEST(SpectrumMath, LargestPowerOfTwo)
{
    for (auto [n, expected] : {std::pair<size_t, size_t>{0, 0},
                               {1, 1},
                               {3, 2},
                               {4096, 4096},
                               {4097, 4096},
                               {1000000, 524288},
                               {1048576, 1048576}})
        EXPECT_EQ(largestPowerOfTwo(n), expected) << n;
}

TEST(SpectrumMath, ReverseHalvesReversesEachHalfWithoutSwapping)
{
    std::vector<double> v{0, 1, 2, 3, 4, 5, 6, 7};
    reverseHalves(v.data(), v.size());
    EXPECT_EQ(v, (std::vector<double>{3, 2, 1, 0, 7, 6, 5, 4}));
    std::vector<double> two{1, 2};
    reverseHalves(two.data(), 2);
    EXPECT_EQ(two, (std::vector<double>{1, 2}));
}

TEST(SpectrumMath, FrequencyAxisSpansMinusToPlusHalfRateInNMinusOneSteps)
{
    std::vector<double> f(4);
    frequencyAxis(3000.0, 4, f.data());
    EXPECT_EQ(f, (std::vector<double>{-1500.0, -500.0, 500.0, 1500.0}));
    std::vector<double> g(1024);
    frequencyAxis(1e6, g.size(), g.data());
    EXPECT_EQ(g.front(), -5e5);
    EXPECT_EQ(g.back(), 5e5);
    EXPECT_NEAR(g[1] - g[0], 1e6 / 1023.0, 1e-6);
}

// Every quadrant keeps its angle; a line without energy has no direction (0).
TEST(SpectrumMath, PhaseIsTheFourQuadrantArctangentInDegrees)
{
    const std::vector<std::pair<std::complex<double>, double>> lines
            = {{{1, 1}, 45.0},   {{-1, 1}, 135.0}, {{-1, -1}, -135.0}, {{0, 2}, 90.0},
               {{0, -2}, -90.0}, {{0, 0}, 0.0},    {{3, 0}, 0.0},      {{-3, 0}, 180.0}};
    std::vector<std::complex<double>> x;
    for (const auto &line : lines)
        x.push_back(line.first);
    std::vector<double> mag(x.size()), ph(x.size());
    magnitudeAndPhase(x.data(), x.size(), mag.data(), ph.data());
    for (size_t k = 0; k < x.size(); ++k) {
        EXPECT_NEAR(ph[k], lines[k].second, 1e-12) << k;
        EXPECT_NEAR(mag[k], std::abs(x[k]), 1e-15) << k;
    }
}

TEST(SpectrumMath, LevelsAreTwentyLog10OfTheMagnitudeRatioWithAFiniteFloor)
{
    std::vector<double> v{2.0, 1.0, 0.0, std::nan(""), 2e-30, 0.2, 0.02};
    levelsFromMagnitudes(v.data(), v.size());
    EXPECT_EQ(v[0], 0.0);
    EXPECT_NEAR(v[1], -6.0206, 1e-4);
    EXPECT_EQ(v[2], levelFloor());
    EXPECT_EQ(v[3], levelFloor());
    EXPECT_EQ(v[4], levelFloor());
    EXPECT_NEAR(v[5], -20.0, 1e-12);  // a tone 20 dB down plots at -20
    EXPECT_NEAR(v[6], -40.0, 1e-12);
    EXPECT_NEAR(levelFloor(), -400.0, 1e-12);

    std::vector<double> zeros(8, 0.0);
    levelsFromMagnitudes(zeros.data(), zeros.size());
    for (double z : zeros)
        EXPECT_EQ(z, levelFloor());
}

TEST(SpectrumMath, IqExtentIsTheLargestAbsoluteValueIncludingTheFirstSample)
{
    const float i[] = {-0.5f, 0.1f, 0.2f};
    const float q[] = {0.0f, -0.3f, 0.25f};
    EXPECT_EQ(iqExtent(i, q, 3), 0.5);
    const float i2[] = {0.1f, INFINITY, NAN};
    const float q2[] = {-0.7f, 0.2f, 0.3f};
    EXPECT_NEAR(iqExtent(i2, q2, 3), 0.7, 1e-7);
    EXPECT_EQ(iqExtent(i, q, 0), 0.0);
}

TEST(SpectrumMath, OrderedViewsEqualTheStepByStepComputation)
{
    const size_t n = 4096;
    auto z = randomSignal(n, 21);
    ComplexBuffer b = ComplexBuffer::allocate(n);
    std::copy(z.begin(), z.end(), b.data());
    ASSERT_TRUE(transformIq(b));
    b[7] = 0.0;

    std::vector<double> mag(n), ph(n);
    magnitudeAndPhase(b.data(), n, mag.data(), ph.data());
    levelsFromMagnitudes(mag.data(), n);
    reverseHalves(mag.data(), n);
    reverseHalves(ph.data(), n);

    // The ordered views do not depend on a common scale: feed them the unscaled lines.
    for (size_t k = 0; k < n; ++k)
        b[k] *= 64.0;
    std::vector<double> lev(n), ph2(n);
    orderedLevels(b.data(), n, lev.data());
    orderedPhases(b.data(), n, ph2.data());
    for (size_t k = 0; k < n; ++k) {
        EXPECT_NEAR(lev[k], mag[k], 1e-9) << k;
        EXPECT_NEAR(ph2[k], ph[k], 1e-9) << k;
    }
    EXPECT_EQ(lev[n / 2 - 1 - 7], levelFloor());
    EXPECT_EQ(ph2[n / 2 - 1 - 7], 0.0);
}
