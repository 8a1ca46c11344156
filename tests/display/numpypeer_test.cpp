// The spectrum and phase views against numpy.fft, an implementation written independently
// of ours. numpy's ifft carries the positive exponent and a 1/N scale, so ifft(z)·√N is the
// transform the views are built on.
#include "displaycurve.h"
#include "pythonpeer.h"
#include "spectrummath.h"
#include "testsignals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

const char *kPeerScript = R"(
import sys
import numpy as np
src, n, fs, dst = sys.argv[1], int(sys.argv[2]), float(sys.argv[3]), sys.argv[4]
iq = np.fromfile(src, dtype='<f4').reshape(2, -1)
z = iq[0, :n].astype(np.float64) + 1j * iq[1, :n].astype(np.float64)
x = np.fft.ifft(z) * np.sqrt(n)
with np.errstate(divide='ignore', invalid='ignore'):
    mag = np.abs(x)
    level = 20.0 * np.log10(mag / mag.max())
    phase = np.degrees(np.arctan2(x.imag, x.real))
h = n // 2
def reverse_halves(a):
    return np.concatenate([a[:h][::-1], a[h:][::-1]])
f = -fs / 2 + np.arange(n) * fs / (n - 1)
np.stack([f, reverse_halves(level), reverse_halves(phase)]).astype('<f8').tofile(dst)
)";

struct PeerView
{
    std::vector<double> f, level, phase;
};

bool runPeer(const IqBuffer &r, size_t n, PeerView &out)
{
    const std::vector<double> all = runPythonPeer(
            r, kPeerScript, {QString::number(n), QString::number(r.sampleRate, 'g', 17)});
    if (all.size() != 3 * n)
        return false;
    out.f.assign(all.begin(), all.begin() + n);
    out.level.assign(all.begin() + n, all.begin() + 2 * n);
    out.phase.assign(all.begin() + 2 * n, all.end());
    return true;
}

DisplayCurve view(const IqBuffer &r, DisplayMode mode)
{
    DisplayCurve c;
    EXPECT_EQ(computeDisplayCurve(r, mode, c), DisplayStatus::Ok);
    return c;
}

// A noisy record with two tones and a DC offset: every kind of line at once.
IqBuffer mixedSignal(int64_t n, double fs)
{
    std::mt19937 gen(2024);
    std::normal_distribution<double> noise(0.0, 0.01);
    return makeRecord(n, fs, [&](int64_t k) {
        const double t = double(k) / fs;
        return std::polar(0.8, 2 * M_PI * 12345.0 * t)
               + std::polar(0.05, -2 * M_PI * 170000.0 * t + 1.0)
               + std::complex<double>(0.02, -0.01) + std::complex<double>(noise(gen), noise(gen));
    });
}

void compareWithPeer(const IqBuffer &r)
{
    const DisplayCurve spec = view(r, DisplayMode::Spectrum);
    const DisplayCurve phase = view(r, DisplayMode::Phase);
    const size_t n = spec.x.size();
    PeerView peer;
    ASSERT_TRUE(runPeer(r, n, peer));
    const double fs = r.sampleRate;
    size_t phasesCompared = 0;
    for (size_t k = 0; k < n; ++k) {
        ASSERT_NEAR(spec.x[k], peer.f[k], 1e-9 * fs) << k;
        ASSERT_EQ(phase.x[k], spec.x[k]);
        if (std::isfinite(peer.level[k])) {
            ASSERT_NEAR(spec.y[k], peer.level[k], 1e-6) << k;
        }
        // Lines without energy (rounding noise only) have no meaningful direction.
        if (peer.level[k] > -200.0) {
            ASSERT_GE(phase.y[k], -180.0);
            ASSERT_LE(phase.y[k], 180.0);
            // On the negative real axis the smallest change of Im flips +180 to -180.
            const double d = std::remainder(phase.y[k] - peer.phase[k], 360.0);
            ASSERT_NEAR(d, 0.0, 1e-6) << k << " " << phase.y[k] << " " << peer.phase[k];
            ++phasesCompared;
        }
    }
    EXPECT_GT(phasesCompared, n / 2);
    EXPECT_EQ(phasesCompared, n) << "every line of these records carries energy";
}

}  // namespace

TEST(NumpyPeer, SpectrumAndPhaseOfANoisyTwoToneRecord)
{
    compareWithPeer(mixedSignal(16384, 1e6));
}

TEST(NumpyPeer, FullSizeRecordTruncatedToAPowerOfTwo)
{
    // 1,000,000 samples: both sides look at the first 524,288 only.
    const IqBuffer r = mixedSignal(1000000, 2.5e6);
    EXPECT_EQ(view(r, DisplayMode::Spectrum).x.size(), 524288u);
    compareWithPeer(r);
}

TEST(NumpyPeer, ShortRecords)
{
    compareWithPeer(makeNoise(2, 3000.0, 1));
    compareWithPeer(makeNoise(4, 3000.0, 2));
    compareWithPeer(makeNoise(7, 1.0, 3));
}
