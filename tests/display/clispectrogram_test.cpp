// trovik-cli spectrogram and plot, run as a program on files written here.
#include "displaycli.h"

#include <QImage>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

namespace {

// An IQW file of a chirp from -fs/3 to +fs/3, then 2,000 samples of a tone burst.
QString writeChirp(const QTemporaryDir &dir, int n)
{
    std::vector<std::complex<float>> z(n);
    for (int k = 0; k < n; ++k) {
        const double t = double(k) / n;
        std::complex<double> v = std::polar(0.5, 2 * M_PI * n * (-t / 3 + t * t / 3));
        if (k >= n / 2 && k < n / 2 + 2000)
            v += std::polar(0.25, 2 * M_PI * 0.2 * k);
        z[k] = v;
    }
    const QString path = dir.filePath(QStringLiteral("chirp.iqw"));
    writeIqw(path, z);
    return path;
}

const char *kScipy = R"(
import sys, numpy as np
from scipy import signal
iq = np.fromfile(sys.argv[1], dtype='<f4').reshape(-1, 2)
z = iq[:, 0].astype(np.float64) + 1j * iq[:, 1].astype(np.float64)
n, ov = int(sys.argv[2]), int(sys.argv[3])
_, _, s = signal.spectrogram(z, 1e6, window='hann', nperseg=n, noverlap=ov, detrend=False,
                             return_onesided=False, scaling='spectrum', mode='psd')
lev = 10 * np.log10(np.maximum(np.fft.fftshift(s, axes=0).T, 1e-30)).astype('<f4')
ours = np.fromfile(sys.argv[4], dtype='<f4').reshape(lev.shape)
keep = lev > lev.max() - 150
print(lev.shape[0], float(np.max(np.abs(ours[keep] - lev[keep]))))
)";

}  // namespace

TEST(CliSpectrogram, MatrixMatchesScipyAndRowCountGoesToStderr)
{
    QTemporaryDir dir;
    const QString in = writeChirp(dir, 60000);
    const QString out = dir.filePath(QStringLiteral("s.f32"));
    const CliRun r = cli(QStringLiteral("spectrogram"),
                         {"--from", "iqw-pairs", "--in", in, "--rate", "1e6", "--fft", "512",
                          "--overlap", "256", "--out", out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.err.trimmed(),
              QStringLiteral("233 rows x 512 columns"));  // (60000 - 512) / 256 + 1
    EXPECT_EQ(QFile(out).size(), qint64(233) * 512 * 4);
    QProcess p;
    p.start(QStringLiteral(TROVIK_TEST_PYTHON), {"-c", kScipy, in, "512", "256", out});
    ASSERT_TRUE(p.waitForFinished(120000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QStringList peer = QString::fromLatin1(p.readAllStandardOutput()).split(QLatin1Char(' '));
    EXPECT_EQ(peer.value(0).toInt(), 233);
    EXPECT_LT(peer.value(1).toDouble(), 1e-3) << "largest difference in dB";

    // Reduced to 10 rows of peaks: the file holds 10 rows.
    const CliRun reduced = cli(QStringLiteral("spectrogram"),
                               {"--from", "iqw-pairs", "--in", in, "--fft", "1024", "--rows", "10",
                                "--reduce", "peak", "--out", out});
    ASSERT_EQ(reduced.exitCode, 0) << reduced.err.toStdString();
    EXPECT_EQ(reduced.err.trimmed(), QStringLiteral("10 rows x 1024 columns"));
    EXPECT_EQ(QFile(out).size(), qint64(10) * 1024 * 4);
}

namespace {

int distinctColours(const QImage &img)
{
    QSet<QRgb> seen;
    for (int y = 0; y < img.height(); y += 3)
        for (int x = 0; x < img.width(); x += 3)
            seen.insert(img.pixel(x, y));
    return seen.size();
}

}  // namespace

TEST(CliPlot, EveryViewGivesAPictureOfTheAskedSize)
{
    QTemporaryDir dir;
    const QString in = writeChirp(dir, 100000);
    const struct
    {
        const char *view;
        QSize size;
        const char *sizeArg;
    } cases[] = {{"spectrum", QSize(711, 461), nullptr},
                 {"phase", QSize(640, 400), "640x400"},
                 {"iq", QSize(461, 461), nullptr},
                 {"spectrogram", QSize(1000, 600), nullptr},
                 {"spectrogram", QSize(500, 300), "500x300"}};
    QImage previous;
    for (const auto &c : cases) {
        const QString png
                = dir.filePath(QStringLiteral("%1-%2.png").arg(c.view).arg(c.size.width()));
        QStringList args = {"--from", "iqw-pairs", "--in", in,      "--rate",
                            "1e6",    "--view",    c.view, "--png", png};
        if (c.sizeArg)
            args << "--size" << c.sizeArg;
        if (QLatin1String(c.view) == QLatin1String("spectrogram"))
            args << "--fft"
                 << "256";
        const CliRun r = cli(QStringLiteral("plot"), args);
        ASSERT_EQ(r.exitCode, 0) << c.view << r.err.toStdString();
        const QImage img(png);
        ASSERT_FALSE(img.isNull()) << c.view;
        EXPECT_EQ(img.size(), c.size) << c.view;
        EXPECT_GT(distinctColours(img), 8) << c.view;  // axes, labels and a curve or an image
        EXPECT_NE(img, previous) << c.view;
        previous = img;
    }
}

// Bad settings are usage errors (2) and a missing file a failure; neither leaves an output.
TEST(CliSpectrogram, RefusesBadArgumentsAndLeavesNoFile)
{
    QTemporaryDir dir;
    const QString in = writeChirp(dir, 5000);
    const QString out = dir.filePath(QStringLiteral("s.f32"));
    const QString png = dir.filePath(QStringLiteral("p.png"));
    const QStringList spectrogram = {"--from", "iqw-pairs", "--in", in, "--out", out};
    const QStringList plot = {"--from", "iqw-pairs", "--in", in, "--png", png};
    const struct
    {
        const char *command;
        QStringList args;
        int exitCode;  // -1: any failure
    } cases[] = {
            {"spectrogram", spectrogram + QStringList{"--fft", "1000"}, 2},
            {"spectrogram", spectrogram + QStringList{"--fft", "32"}, 2},
            {"spectrogram", spectrogram + QStringList{"--fft", "131072"}, 2},
            {"spectrogram", spectrogram + QStringList{"--fft", "256", "--overlap", "256"}, 2},
            {"spectrogram", spectrogram + QStringList{"--fft", "256", "--reduce", "max"}, 2},
            {"spectrogram", spectrogram + QStringList{"--fft", "256", "--rows", "0"}, 2},
            {"spectrogram", {"--from", "iqw-pairs", "--in", in, "--fft", "256"}, 2},
            {"spectrogram",
             {"--from", "iqw-pairs", "--in", dir.filePath("missing.iqw"), "--fft", "256", "--out",
              out},
             -1},
            {"plot", plot + QStringList{"--view", "waterfall"}, 2},
            {"plot", plot + QStringList{"--view", "iq", "--size", "100x100"}, 2},
            {"plot", plot + QStringList{"--view", "iq", "--size", "big"}, 2},
            {"plot", plot + QStringList{"--view", "spectrogram", "--fft", "1000"}, 2},
            {"plot", {"--from", "iqw-pairs", "--in", in, "--view", "iq"}, 2},
    };
    for (const auto &c : cases) {
        const CliRun r = cli(QLatin1String(c.command), c.args);
        SCOPED_TRACE(c.args.join(' ').toStdString() + "\n" + r.err.toStdString());
        if (c.exitCode < 0) {
            EXPECT_GT(r.exitCode, 0);
        } else {
            EXPECT_EQ(r.exitCode, c.exitCode);
        }
    }
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_FALSE(QFile::exists(png));
}
