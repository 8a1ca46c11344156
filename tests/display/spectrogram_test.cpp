// The spectrogram's levels against scipy.signal.spectrogram, written independently of ours,
// and where bursts land; the worker thread's cancel.
#include "pythonpeer.h"
#include "spectrogram.h"
#include "spectrogramjob.h"
#include "spectrogramlayer.h"
#include "testsignals.h"

#include <QDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

namespace {

// Levels in dB, rows = frames, columns = bins in rising frequency (fftshift), as scipy gives
// them with the same window, size and overlap and power per bin ('spectrum' scaling).
const char *kScipy = R"(
import sys
import numpy as np
from scipy import signal
src, fs, n, ov, dst = sys.argv[1], float(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4]), sys.argv[5]
iq = np.fromfile(src, dtype='<f4').reshape(2, -1)
z = iq[0].astype(np.float64) + 1j * iq[1].astype(np.float64)
f, t, s = signal.spectrogram(z, fs, window='hann', nperseg=n, noverlap=ov, detrend=False,
                             return_onesided=False, scaling='spectrum', mode='psd')
s = np.fft.fftshift(s, axes=0).T
with np.errstate(divide='ignore'):
    lev = 10 * np.log10(np.maximum(s, 1e-30))
lev.astype('<f8').tofile(dst)
print(s.shape[0])
)";

struct Matrix
{
    int rows = 0, columns = 0;
    std::vector<double> v;
    double at(int r, int c) const { return v[size_t(r) * columns + c]; }
};

bool scipyLevels(const IqBuffer &r, int fft, int overlap, Matrix &out)
{
    QByteArray rows;
    out.v = runPythonPeer(r, kScipy,
                          {QString::number(r.sampleRate, 'g', 17), QString::number(fft),
                           QString::number(overlap)},
                          &rows);
    out.rows = rows.trimmed().toInt();
    out.columns = fft;
    return !out.v.empty() && out.v.size() == size_t(out.rows) * fft;
}

Matrix ours(const IqBuffer &r, const SpectrogramRequest &req, SpectrogramStatus *status = nullptr)
{
    const SpectrogramShape shape = spectrogramShape(r.heldCount(), req);
    Matrix m;
    m.rows = shape.rows;
    m.columns = shape.columns;
    const SpectrogramStatus s = computeSpectrogram(
            r.iData.data(), r.qData.data(), r.heldCount(), req, [&](int row, const float *levels) {
                EXPECT_EQ(size_t(row) * m.columns, m.v.size());
                m.v.insert(m.v.end(), levels, levels + m.columns);
                return true;
            });
    if (status)
        *status = s;
    return m;
}

SpectrogramRequest request(int fft, int overlap, int rows = 0,
                           CellReduction red = CellReduction::Mean)
{
    SpectrogramRequest q;
    q.settings.fftSize = fft;
    q.settings.overlap = overlap;
    q.settings.reduction = red;
    q.rows = rows;
    return q;
}

IqBuffer twoTone()
{
    std::mt19937 gen(3);
    std::normal_distribution<double> d(0.0, 1e-3);
    const double fs = 1e6;
    return makeRecord(40000, fs, [&](int64_t k) {
        const double t = double(k) / fs;
        return std::polar(1.0, 2 * M_PI * 100e3 * t) + std::polar(0.1, -2 * M_PI * 237.3e3 * t)
               + std::complex<double>(d(gen), d(gen));
    });
}

IqBuffer chirp()
{
    const double fs = 2e6, n = 50000, f0 = -800e3, f1 = 800e3;
    return makeRecord(int64_t(n), fs, [&](int64_t k) {
        const double t = double(k) / fs, T = n / fs;
        return std::polar(0.7, 2 * M_PI * (f0 * t + 0.5 * (f1 - f0) / T * t * t));
    });
}

// Compares where scipy's level lies within 200 dB of the peak; below that both sit in the
// rounding of the float input.
void expectSameLevels(const Matrix &a, const Matrix &b, double tolDb)
{
    ASSERT_EQ(a.rows, b.rows);
    ASSERT_EQ(a.columns, b.columns);
    const double peak = *std::max_element(b.v.begin(), b.v.end());
    int compared = 0;
    for (int r = 0; r < a.rows; ++r)
        for (int c = 0; c < a.columns; ++c) {
            if (b.at(r, c) < peak - 200.0)
                continue;
            ++compared;
            ASSERT_NEAR(a.at(r, c), b.at(r, c), tolDb) << "row " << r << " column " << c;
        }
    EXPECT_GT(compared, a.rows * a.columns / 2);
}

}  // namespace

TEST(SpectrogramPeer, TwoToneAndChirpMatchScipyWithAndWithoutOverlap)
{
    const IqBuffer tones = twoTone(), sweep = chirp();
    const struct
    {
        const IqBuffer &record;
        int fft, overlap;
    } cases[] = {{tones, 256, 0}, {tones, 256, 192}, {tones, 1024, 512}, {sweep, 512, 128}};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.fft << " " << c.overlap);
        Matrix peer;
        ASSERT_TRUE(scipyLevels(c.record, c.fft, c.overlap, peer));
        expectSameLevels(ours(c.record, request(c.fft, c.overlap)), peer, 1e-3);
    }
    // The tone of amplitude 1 reads 0 dB at +100 kHz.
    const Matrix m = ours(tones, request(1024, 0));
    const int plus = 512 + int(std::lround(100e3 * 1024 / 1e6));
    EXPECT_NEAR(m.at(3, plus), 20 * std::log10(1.0), 1.5);
}

TEST(SpectrogramPeer, ReducedRowsAreTheMeanOrPeakOfScipysFrames)
{
    const IqBuffer r = chirp();
    Matrix peer;
    ASSERT_TRUE(scipyLevels(r, 256, 0, peer));  // 195 frames onto 20 rows
    for (CellReduction red : {CellReduction::Mean, CellReduction::Peak}) {
        SpectrogramRequest q = request(256, 0, 20, red);
        q.columns = 64;  // four bins per column
        const Matrix m = ours(r, q);
        const SpectrogramShape shape = spectrogramShape(r.heldCount(), q);
        ASSERT_EQ(m.rows, 20);
        for (int row = 0; row < 20; ++row)
            for (int c = 0; c < 64; ++c) {
                double acc = 0.0;
                for (int64_t f = shape.rowFrame(row); f < shape.rowFrame(row + 1); ++f)
                    for (int b = 4 * c; b < 4 * c + 4; ++b) {
                        const double p = std::pow(10.0, peer.at(int(f), b) / 10.0);
                        acc = red == CellReduction::Peak ? std::max(acc, p) : acc + p;
                    }
                if (red == CellReduction::Mean)
                    acc /= 4.0 * double(shape.rowFrame(row + 1) - shape.rowFrame(row));
                ASSERT_NEAR(m.at(row, c), 10 * std::log10(acc), 1e-3) << row << " " << c;
            }
    }
}

TEST(Spectrogram, BurstAtAKnownTimeLandsInItsRows)
{
    // 1 ms of a +250 kHz tone from 30.0 ms to 31.0 ms in 100 ms of quiet noise.
    const double fs = 1e6;
    std::mt19937 gen(4);
    std::normal_distribution<double> d(0.0, 1e-4);
    const IqBuffer r = makeRecord(100000, fs, [&](int64_t k) {
        std::complex<double> z(d(gen), d(gen));
        if (k >= 30000 && k < 31000)
            z += std::polar(0.5, 2 * M_PI * 250e3 * double(k) / fs);
        return z;
    });
    const int bin = 256 + int(250e3 * 512 / fs);
    // One row per frame: frames 58 … 60 (samples 29696 … 31231) hold the burst.
    const Matrix m = ours(r, request(512, 0));
    for (int row = 0; row < m.rows; ++row) {
        const bool burst = row >= 58 && row <= 60;
        EXPECT_EQ(m.at(row, bin) > -40.0, burst) << row << " " << m.at(row, bin);
    }
    // 195 frames onto 39 rows of 5 frames, peak kept: row 11 (frames 55 … 59) and 12 (60 … 64).
    const Matrix p = ours(r, request(512, 0, 39, CellReduction::Peak));
    for (int row = 0; row < p.rows; ++row)
        EXPECT_EQ(p.at(row, bin) > -40.0, row == 11 || row == 12) << row;
}

TEST(Spectrogram, SettingsAndShapes)
{
    EXPECT_TRUE(request(64, 63).settings.valid());
    EXPECT_TRUE(request(65536, 0).settings.valid());
    for (auto [fft, overlap] : {std::pair{32, 0}, std::pair{131072, 0}, std::pair{1000, 0},
                                std::pair{256, 256}, std::pair{256, -1}})
        EXPECT_FALSE(request(fft, overlap).settings.valid()) << fft << " " << overlap;
    EXPECT_EQ(spectrogramFrames(1023, request(1024, 0).settings), 0);
    EXPECT_EQ(spectrogramFrames(1024, request(1024, 0).settings), 1);
    EXPECT_EQ(spectrogramFrames(50000000, request(1024, 0).settings), 48828);
    EXPECT_EQ(spectrogramFrames(4096, request(1024, 512).settings), 7);

    SpectrogramRequest q = request(1024, 0, 1000);
    q.firstFrame = 100;
    q.frameCount = 50;
    q.firstBin = 1000;
    q.binCount = 100;
    q.columns = 500;
    const SpectrogramShape s = spectrogramShape(1024 * 200, q);
    EXPECT_EQ(s.rows, 50);      // never more rows than frames
    EXPECT_EQ(s.binCount, 24);  // clipped to the last bin
    EXPECT_EQ(s.columns, 24);
    EXPECT_TRUE(spectrogramShape(100, request(1024, 0)).empty());

    const IqBuffer r = makeNoise(100, 1e6, 1);
    SpectrogramStatus status = SpectrogramStatus::NoMemory;
    EXPECT_EQ(ours(r, request(64, 0), &status).rows, 1);
    EXPECT_EQ(status, SpectrogramStatus::Ok);
    ours(r, request(100, 0), &status);
    EXPECT_EQ(status, SpectrogramStatus::BadSettings);
    EXPECT_FLOAT_EQ(powerToDb(0.0), float(kSpectrogramFloorDb));
    EXPECT_FLOAT_EQ(powerToDb(0.01), -20.0f);
}

namespace {

int threadsOfThisProcess()
{
    return int(QDir(QStringLiteral("/proc/self/task"))
                       .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
                       .size());
}

}  // namespace

TEST(SpectrogramJob, ComputesOnAWorkerAndCancelLeavesNoThreadBehind)
{
    const IqBuffer r = makeNoise(1 << 20, 1e6, 2);
    const int before = threadsOfThisProcess();
    {
        SpectrogramJob job(r, request(64, 32, 0));  // 32767 rows: long enough to cancel midway
        EXPECT_EQ(threadsOfThisProcess(), before + 1);
        job.cancel();
        EXPECT_TRUE(job.finished());
        EXPECT_EQ(job.status(), SpectrogramStatus::Cancelled);
        EXPECT_TRUE(job.levels().empty());
        EXPECT_EQ(threadsOfThisProcess(), before);
    }
    {
        SpectrogramJob job(r, request(1024, 0, 100));
        job.wait();
        EXPECT_EQ(job.status(), SpectrogramStatus::Ok);
        EXPECT_EQ(job.levels().size(), size_t(100 * 1024));
        EXPECT_DOUBLE_EQ(job.progress(), 1.0);
    }
    {
        auto job = std::make_unique<SpectrogramJob>(r, request(64, 0, 0));
        job.reset();  // destroyed while running: stops and joins
    }
    EXPECT_EQ(threadsOfThisProcess(), before);
}

TEST(SpectrogramLayer, CellsSitInTimeAndFrequency)
{
    // 10 frames of 8 bins, hop 4 at 1 kHz around 1 MHz, onto 5 rows of 4 columns.
    SpectrogramLayer l;
    l.fftSize = 8;
    l.hop = 4;
    l.sampleRate = 1000.0;
    l.centreFrequency = 1e6;
    l.shape = {0, 10, 0, 8, 5, 4};
    for (int k = 0; k < 20; ++k)
        l.levels.push_back(float(k));
    EXPECT_DOUBLE_EQ(l.timeBegin(), 0.002);  // frame 0's centre (4 samples) less half a hop
    EXPECT_DOUBLE_EQ(l.timeEnd(), 0.042);
    EXPECT_DOUBLE_EQ(l.frequencyBegin(), 1e6 - 562.5);
    EXPECT_DOUBLE_EQ(l.frequencyEnd(), 1e6 + 437.5);
    EXPECT_EQ(l.frameAt(0.004), 0);
    EXPECT_EQ(l.frameAt(0.0081), 1);
    EXPECT_EQ(l.binAt(1e6), 4);
    EXPECT_EQ(l.binAt(1e6 - 500.0), 0);
    // Frames 2 and 3 make row 1; bins 4 and 5 column 2.
    EXPECT_DOUBLE_EQ(l.levelAt(0.012, 1e6 + 125.0), 1 * 4 + 2);
    EXPECT_DOUBLE_EQ(l.levelAt(0.0415, 1e6 + 437.0), 4 * 4 + 3);
    EXPECT_TRUE(std::isnan(l.levelAt(0.0019, 1e6)));
    EXPECT_TRUE(std::isnan(l.levelAt(0.01, 1e6 + 437.5)));
}

TEST(SpectrogramLayer, RequestForAShownPartAndAutoLevels)
{
    SpectrogramSettings s;
    s.fftSize = 1024;
    // 1,000,000 samples at 1 MHz: 976 frames; the part 0.1 … 0.2 s, -100 … +100 kHz.
    const SpectrogramRequest q
            = spectrogramRequestFor(s, 1000000, 1e6, 0.0, 0.1, 0.2, -1e5, 1e5, 800, 400);
    EXPECT_EQ(q.firstFrame, 97);  // (0.1·1e6 - 512) / 1024 rounded
    EXPECT_EQ(q.frameCount, 99);  // through frame 195
    EXPECT_EQ(q.firstBin, 410);   // 512 - 102.4 rounded
    EXPECT_EQ(q.binCount, 205);
    const SpectrogramShape shape = spectrogramShape(1000000, q);
    EXPECT_EQ(shape.rows, 99);  // never more rows than frames
    EXPECT_EQ(shape.columns, 205);
    // Outside the record: clamped to its first and last frames and bins.
    const SpectrogramRequest all
            = spectrogramRequestFor(s, 1000000, 1e6, 0.0, -5.0, 5.0, -1e7, 1e7, 800, 400);
    EXPECT_EQ(all.firstFrame, 0);
    EXPECT_EQ(all.frameCount, 976);
    EXPECT_EQ(all.binCount, 1024);

    std::vector<float> levels(1000, -80.0f);
    levels[3] = -3.2f;
    levels[4] = float(kSpectrogramFloorDb);
    const auto [low, high] = autoLevelRange(levels);
    EXPECT_DOUBLE_EQ(high, 0.0);
    EXPECT_DOUBLE_EQ(low, -80.0);
    EXPECT_EQ(autoLevelRange({}), std::make_pair(-120.0, 0.0));
}
