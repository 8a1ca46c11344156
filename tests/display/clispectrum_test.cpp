// trovik-cli spectrum, run as a program on files written here, checked against numpy.
#include "displaycli.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>
#include <string>
#include <vector>

namespace {

// The "x y" lines, comments skipped; every number must read back as a double.
std::vector<std::pair<double, double>> points(const QString &out)
{
    std::vector<std::pair<double, double>> pts;
    for (const QString &line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList f = line.split(QLatin1Char(' '));
        EXPECT_EQ(f.size(), 2) << line.toStdString();
        bool ok1 = false, ok2 = false;
        pts.emplace_back(f.value(0).toDouble(&ok1), f.value(1).toDouble(&ok2));
        EXPECT_TRUE(ok1 && ok2) << line.toStdString();
    }
    return pts;
}

// An IQW file of a tone, a weaker one and noise.
QString writeSignal(const QTemporaryDir &dir, int n, std::vector<std::complex<float>> &z)
{
    std::mt19937 gen(5);
    std::normal_distribution<double> noise(0.0, 0.01);
    z.resize(n);
    for (int k = 0; k < n; ++k)
        z[k] = std::polar(0.7, 2 * M_PI * 0.1 * k) + std::polar(0.02, -2 * M_PI * 0.3 * k)
               + std::complex<double>(noise(gen), noise(gen));
    const QString path = dir.filePath(QStringLiteral("sig.iqw"));
    writeIqw(path, z);
    return path;
}

// The two curves as defined for the user, computed independently: numpy's ifft carries the
// positive exponent; lines in rising frequency order; frequency points -fs/2 … +fs/2 in n-1
// steps; level 20*log10(|X|/max); phase atan2(Im, Re) in degrees.
const char *kPeer = R"(
import sys, numpy as np
iq = np.fromfile(sys.argv[1], dtype='<f4').reshape(-1, 2)
n, fs, view = int(sys.argv[2]), float(sys.argv[3]), sys.argv[4]
z = iq[:n, 0].astype(np.float64) + 1j * iq[:n, 1].astype(np.float64)
x = np.fft.ifft(z) * np.sqrt(n)
h = n // 2
x = np.concatenate([x[:h][::-1], x[h:][::-1]])
m = np.abs(x)
y = 20 * np.log10(m / m.max()) if view == 'spectrum' else np.degrees(np.arctan2(x.imag, x.real))
f = -fs / 2 + np.arange(n) * fs / (n - 1)
for a, b in zip(f, y):
    print(repr(float(a)), repr(float(b)))
)";

std::vector<std::pair<double, double>> peerCurve(const QString &file, int n, const char *rate,
                                                 const char *view)
{
    QProcess py;
    py.start(QStringLiteral(TROVIK_TEST_PYTHON),
             {"-c", kPeer, file, QString::number(n), rate, view});
    EXPECT_TRUE(py.waitForFinished(60000));
    EXPECT_EQ(py.exitCode(), 0) << py.readAllStandardError().toStdString();
    return points(QString::fromUtf8(py.readAllStandardOutput()));
}

}  // namespace

TEST(CliSpectrum, RefusesBadArguments)
{
    for (const QStringList &bad :
         {QStringList{}, QStringList{"--from", "iqw-pairs", "--in", "x.iqw", "--view", "waterfall"},
          QStringList{"--from", "no-such-type", "--in", "x", "--view", "iq"},
          QStringList{"--from", "mathcad-single", "--in", "x.i", "--view", "iq"},
          QStringList{"--from", "iqw-pairs", "--in", "x", "--view", "iq", "--rate", "fast"},
          QStringList{"--from", "iqw-pairs", "--in", "x", "--view"}}) {
        const CliRun r = cli(QStringLiteral("spectrum"), bad);
        EXPECT_GT(r.exitCode, 0) << bad.join(' ').toStdString();
        if (bad.contains(QStringLiteral("mathcad-single"))) {
            EXPECT_TRUE(r.err.contains(QStringLiteral("--in-q")));  // the two-file type's Q file
        }
    }
}

// Each view names its columns and the rate (100 MHz when none is given); spectrum and phase
// are numpy's curves of the first 4096 samples, I vs. Q every sample as read.
TEST(CliSpectrum, EachViewMatchesNumpyAndNamesItsUnits)
{
    QTemporaryDir dir;
    std::vector<std::complex<float>> z;
    const QString file = writeSignal(dir, 5000, z);
    const struct
    {
        const char *view, *rate, *columns, *rateLine;
    } views[]
            = {{"spectrum", "2e6", "# x: frequency/Hz (baseband)  y: level/dB (20*log10 of |X|/max",
                "sample rate: 2000000 Hz"},
               {"phase", "2e6", "# x: frequency/Hz (baseband)  y: phase/degrees (atan2 of Im, Re",
                "sample rate: 2000000 Hz"},
               {"iq", nullptr, "# x: I  y: Q", "sample rate: 100000000 Hz"}};
    for (const auto &v : views) {
        SCOPED_TRACE(v.view);
        QStringList args = {"--from", "iqw-pairs", "--in", file, "--view", v.view};
        if (v.rate)
            args << "--rate" << v.rate;
        const CliRun r = cli(QStringLiteral("spectrum"), args);
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(QLatin1String(v.columns))) << r.out.left(400).toStdString();
        EXPECT_TRUE(r.out.contains(QLatin1String(v.rateLine))) << r.out.left(400).toStdString();
        const auto ours = points(r.out);
        if (!v.rate) {
            ASSERT_EQ(ours.size(), z.size());
            for (size_t k = 0; k < ours.size(); ++k) {
                EXPECT_EQ(ours[k].first,
                          double(z[k].real()));  // printed in full: read back exactly
                EXPECT_EQ(ours[k].second, double(z[k].imag()));
            }
            continue;
        }
        const auto peer = peerCurve(file, 4096, v.rate, v.view);
        ASSERT_EQ(ours.size(), 4096u);
        ASSERT_EQ(peer.size(), ours.size());
        for (size_t k = 0; k < ours.size(); ++k) {
            EXPECT_NEAR(ours[k].first, peer[k].first, 1e-6);
            // A phase on the negative real axis may land on +180 on one side, -180 on the other.
            const double d = std::string(v.view) == "phase"
                                     ? std::remainder(ours[k].second - peer[k].second, 360.0)
                                     : ours[k].second - peer[k].second;
            ASSERT_NEAR(d, 0.0, 1e-6) << k;
        }
    }
}

// Options also take the --name=value form; 3000 samples show the largest power of two, 2048.
TEST(CliSpectrum, PhaseSpansTheRateInDegrees)
{
    QTemporaryDir dir;
    std::vector<std::complex<float>> z;
    const QString file = writeSignal(dir, 3000, z);
    const CliRun phase = cli(QStringLiteral("spectrum"),
                             {"--from", "iqw-pairs", "--in", file, "--view=phase", "--rate=3000"});
    ASSERT_EQ(phase.exitCode, 0) << phase.err.toStdString();
    const auto ph = points(phase.out);
    ASSERT_EQ(ph.size(), 2048u);
    EXPECT_EQ(ph.front().first, -1500.0);
    EXPECT_EQ(ph.back().first, 1500.0);
    for (const auto &p : ph)
        EXPECT_LE(std::fabs(p.second), 180.0);
}
