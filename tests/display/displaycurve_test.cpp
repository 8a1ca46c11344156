#include "displaycurve.h"
#include "spectrummath.h"
#include "testsignals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

DisplayCurve view(const IqBuffer &r, DisplayMode mode)
{
    DisplayCurve c;
    EXPECT_EQ(computeDisplayCurve(r, mode, c), DisplayStatus::Ok);
    return c;
}

size_t peakIndex(const std::vector<double> &y)
{
    return size_t(std::max_element(y.begin(), y.end()) - y.begin());
}

}  // namespace

TEST(SpectrumView, ToneLandsAtHalfMinusOnePlusItsBinOnTheRight)
{
    const int64_t n = 1024;
    const double fs = 1.024e6;
    for (int bin : {1, 37, -5, 511, -511}) {
        const double f0 = bin * fs / n;
        const DisplayCurve c = view(makeTone(n, fs, f0), DisplayMode::Spectrum);
        ASSERT_EQ(c.y.size(), size_t(n));
        const size_t k = peakIndex(c.y);
        EXPECT_EQ(k, size_t(n / 2 - 1 + bin)) << bin;
        EXPECT_EQ(c.y[k], 0.0);
        // The peak's frequency point is within one spacing of f0 (points are fs/(N-1) apart).
        EXPECT_NEAR(c.x[k], f0, fs / (n - 1)) << bin;
    }
}

TEST(SpectrumView, DcSitsJustLeftOfZero)
{
    const int64_t n = 256;
    const double fs = 3000.0;
    const DisplayCurve c
            = view(makeRecord(n, fs, [](int64_t) { return std::complex<double>(0.25, -0.5); }),
                   DisplayMode::Spectrum);
    const size_t k = peakIndex(c.y);
    EXPECT_EQ(k, size_t(n / 2 - 1));
    EXPECT_NEAR(c.x[k], -fs / (2.0 * (n - 1)), 1e-9);
    // Every other line holds only rounding (or nothing): far below the peak, never -inf or NaN.
    for (size_t i = 0; i < c.y.size(); ++i) {
        ASSERT_TRUE(std::isfinite(c.y[i]));
        if (i != k) {
            EXPECT_LT(c.y[i], -250.0);
        }
        EXPECT_GE(c.y[i], levelFloor());
    }
}

TEST(SpectrumView, FourPointsAtThreeKilohertz)
{
    const DisplayCurve c = view(makeNoise(4, 3000.0, 1), DisplayMode::Spectrum);
    EXPECT_EQ(c.x, (std::vector<double>{-1500.0, -500.0, 500.0, 1500.0}));
    EXPECT_FALSE(c.bottom.automatic);
    EXPECT_EQ(c.bottom.min, -1500.0);
    EXPECT_EQ(c.bottom.max, 1500.0);
    EXPECT_EQ(c.bottom.step, 300.0);
    EXPECT_TRUE(c.left.automatic);
}

// Spectrum and phase transform the largest power of two of the samples the arrays hold, up to
// 2^20; I vs. Q shows every one of them. After a chunked copy sampleCount is the whole file's
// count while the arrays hold one chunk; a record may claim samples and hold no arrays at all.
TEST(SpectrumView, SampleCountSelection)
{
    struct Case
    {
        int64_t held, claimed;  // claimed 0: sampleCount is what the arrays hold
        uint32_t spectral, iq;
    };
    for (const Case &t : {Case{1000000, 0, 524288, 1000000}, Case{3000000, 0, 1048576, 1048576},
                          Case{4096, 0, 4096, 4096}, Case{4097, 0, 4096, 4097}, Case{3, 0, 2, 3},
                          Case{5000, 50000000, 4096, 5000}, Case{1, 0, 0, 1}, Case{0, 0, 0, 0},
                          Case{0, 1000, 0, 0}}) {
        SCOPED_TRACE(testing::Message() << t.held << " held, " << t.claimed << " claimed");
        IqBuffer r = t.held ? makeNoise(t.held, 1e6, 5) : IqBuffer();
        if (t.claimed)
            r.sampleCount = t.claimed;
        for (DisplayMode m : {DisplayMode::Spectrum, DisplayMode::Phase, DisplayMode::IvsQ}) {
            const DisplayCurve c = view(r, m);
            const size_t expected = m == DisplayMode::IvsQ ? t.iq : t.spectral;
            EXPECT_EQ(c.x.size(), expected);
            EXPECT_EQ(c.y.size(), expected);
        }
    }
}

TEST(SpectrumView, OnlyTheFirstNSamplesAreTransformed)
{
    // A tone for the first 524,288 samples, then a loud different tone: the second must not show.
    const int64_t n = 1000000, used = 524288;
    const double fs = 1e6;
    IqBuffer r = makeTone(n, fs, 64 * fs / used);
    for (int64_t k = used; k < n; ++k) {
        r.iData[k] = 100.0f;
        r.qData[k] = 0.0f;
    }
    const DisplayCurve c = view(r, DisplayMode::Spectrum);
    EXPECT_EQ(peakIndex(c.y), size_t(used / 2 - 1 + 64));
}

TEST(SpectrumView, AcquiredRecordsShowWhatTheyHoldAtTheirOwnRate)
{
    const IqBuffer rec = [] {
        IqBuffer r = makeNoise(8192, 5e6, 2);
        r.iqSource = 1;
        return r;
    }();
    // The record describes its samples.
    DisplayCurve c = view(rec, DisplayMode::Spectrum);
    EXPECT_EQ(c.x.size(), 8192u);
    EXPECT_EQ(c.x.back(), 2.5e6);
    EXPECT_FALSE(c.input.clamped);

    c = view(rec, DisplayMode::IvsQ);
    EXPECT_EQ(c.x.size(), 8192u);
    EXPECT_FALSE(c.input.clamped);
}

TEST(SpectrumView, AllZeroRecordStaysFinite)
{
    const IqBuffer r = makeRecord(64, 1e3, [](int64_t) { return std::complex<double>(0, 0); });
    for (double v : view(r, DisplayMode::Spectrum).y)
        EXPECT_EQ(v, levelFloor());
    for (double v : view(r, DisplayMode::Phase).y)
        EXPECT_EQ(v, 0.0);
    const DisplayCurve iq = view(r, DisplayMode::IvsQ);
    EXPECT_EQ(iq.extent, 0.0);
    EXPECT_EQ(iq.bottom.min, -1.0);
    EXPECT_EQ(iq.bottom.max, 1.0);
}

TEST(PhaseView, ShowsReorderedPhaseInDegreesOverAllFourQuadrants)
{
    const int64_t n = 512;
    const double fs = 1e3;
    const double w = 2.0 * M_PI * 10.0 / n;
    // A tone at bin 10 in each quadrant: atan2 keeps every angle apart.
    for (double degrees : {30.0, 150.0, -150.0, -30.0}) {
        const IqBuffer r = makeRecord(n, fs, [&](int64_t k) {
            return std::polar(1.0, w * double(k) + degrees * M_PI / 180.0);
        });
        const DisplayCurve c = view(r, DisplayMode::Phase);
        ASSERT_EQ(c.y.size(), size_t(n));
        EXPECT_NEAR(c.y[n / 2 - 1 + 10], degrees, 1e-6);
        for (double v : c.y) {
            EXPECT_LE(v, 180.0);
            EXPECT_GE(v, -180.0);
        }
        EXPECT_EQ(c.x.front(), -500.0);
        EXPECT_FALSE(c.bottom.automatic);
        EXPECT_FALSE(c.left.automatic);  // the whole circle, whatever the data
        EXPECT_EQ(c.left.min, -180.0);
        EXPECT_EQ(c.left.max, 180.0);
        EXPECT_EQ(c.left.step, 45.0);
    }
}

TEST(SpectrumView, ATwentyDbWeakerToneSitsTwentyDbDown)
{
    const int64_t n = 1024;
    const IqBuffer r = makeRecord(n, 1e3, [&](int64_t k) {
        return std::polar(1.0, 2.0 * M_PI * 8.0 * double(k) / n)
               + std::polar(0.1, 2.0 * M_PI * -40.0 * double(k) / n);
    });
    const DisplayCurve c = view(r, DisplayMode::Spectrum);
    EXPECT_NEAR(c.y[n / 2 - 1 + 8], 0.0, 1e-12);
    EXPECT_NEAR(c.y[n / 2 - 1 - 40], -20.0, 1e-5);  // the samples are floats
}

TEST(SpectrumView, TheFrequencyAxisIsAbsoluteOnlyWhenTheCentreIsKnown)
{
    IqBuffer r = makeNoise(1024, 2e6, 5);
    r.centerFrequency = 915e6;
    r.centerFrequencyKnown = false;
    DisplayCurve c = view(r, DisplayMode::Spectrum);
    EXPECT_EQ(c.x.front(), -1e6);  // the points stay baseband Hz
    EXPECT_EQ(c.frequency.offsetHz, 0.0);
    EXPECT_EQ(c.frequency.title(), QStringLiteral("Frequency/MHz"));
    r.centerFrequencyKnown = true;
    c = view(r, DisplayMode::Phase);
    EXPECT_EQ(c.x.front(), -1e6);
    EXPECT_EQ(c.frequency.offsetHz, 915e6);
    EXPECT_EQ(c.frequency.toAxis(c.x.front()), 914.0);
    EXPECT_EQ(c.frequency.toAxis(c.x.back()), 916.0);
}

TEST(FrequencyAxis, TheUnitSuitsTheSpan)
{
    const struct
    {
        double span;
        const char *unit;
        double unitHz;
    } rows[] = {{0.0, "Hz", 1.0},     {1.0, "Hz", 1.0},     {999.0, "Hz", 1.0},
                {1000.0, "kHz", 1e3}, {3000.0, "kHz", 1e3}, {999999.0, "kHz", 1e3},
                {1e6, "MHz", 1e6},    {100e6, "MHz", 1e6},  {1e9, "GHz", 1e9},
                {-2e9, "GHz", 1e9}};
    for (const auto &row : rows) {
        const FrequencyAxis a = FrequencyAxis::forSpan(row.span);
        EXPECT_EQ(a.unit, QLatin1String(row.unit)) << row.span;
        EXPECT_EQ(a.unitHz, row.unitHz) << row.span;
        EXPECT_EQ(a.title(), QStringLiteral("Frequency/") + QLatin1String(row.unit));
    }
    EXPECT_EQ(FrequencyAxis::forSpan(20e6, 2.4e9).toAxis(-10e6), 2390.0);
}

TEST(IvsQView, EveryPointInSampleOrderOnASquareScale)
{
    IqBuffer r = makeNoise(1000, 1e6, 11, 0.1);
    r.iData[0] = -0.5f;  // the first sample counts too
    for (int64_t k = 1; k < 1000; ++k) {
        r.iData[k] = std::clamp(r.iData[k], -0.49f, 0.49f);
        r.qData[k] = std::clamp(r.qData[k], -0.49f, 0.49f);
    }
    const DisplayCurve c = view(r, DisplayMode::IvsQ);
    ASSERT_EQ(c.x.size(), 1000u);
    for (int64_t k = 0; k < 1000; ++k) {
        EXPECT_EQ(c.x[k], double(r.iData[k]));
        EXPECT_EQ(c.y[k], double(r.qData[k]));
    }
    EXPECT_EQ(c.extent, 0.5);
    for (const AxisScale &a : {c.bottom, c.left}) {
        EXPECT_FALSE(a.automatic);
        EXPECT_EQ(a.min, -0.5);
        EXPECT_EQ(a.max, 0.5);
        EXPECT_DOUBLE_EQ(a.step, 0.1);
    }
}

TEST(DisplayCurveMemory, AWorkLimitGivesNoMemoryAndAnEmptyCurve)
{
    const IqBuffer r = makeNoise(4096, 1e6, 3);
    setDisplayWorkLimit(displayWorkBytes(DisplayMode::Spectrum, 4096) - 1);
    DisplayCurve c;
    EXPECT_EQ(computeDisplayCurve(r, DisplayMode::Spectrum, c), DisplayStatus::NoMemory);
    EXPECT_TRUE(c.x.empty());
    EXPECT_TRUE(c.y.empty());
    EXPECT_EQ(computeDisplayCurve(r, DisplayMode::IvsQ, c), DisplayStatus::Ok);
    setDisplayWorkLimit(SIZE_MAX);
    EXPECT_EQ(computeDisplayCurve(r, DisplayMode::Spectrum, c), DisplayStatus::Ok);
}

TEST(DisplayCurve, UnknownModeShowsTheSpectrum)
{
    const IqBuffer r = makeTone(64, 64.0, 3.0);
    DisplayCurve c;
    ASSERT_EQ(computeDisplayCurve(r, static_cast<DisplayMode>(7), c), DisplayStatus::Ok);
    EXPECT_EQ(c.mode, DisplayMode::Spectrum);
    EXPECT_EQ(peakIndex(c.y), size_t(32 - 1 + 3));
}
