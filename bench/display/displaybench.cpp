// Spectrum of N = 2^20 samples (FFTW path, the reference transform, numpy.fft.fft of the
// same data) and the plot window from construction to the end of its first canvas paint
// for a 1,048,576-sample noisy record, with and without the per-column reduction.
#include "paintwatch.h"

#include "complexbuffer.h"
#include "displaycurve.h"
#include "fftgraph.h"
#include "referencefft.h"
#include "reducedcurve.h"
#include "spectrummath.h"

#include <qwt_plot.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

namespace {

constexpr int64_t kN = 1 << 20;

IqBuffer noisyRecord()
{
    IqBuffer r;
    allocateSamples(r, kN);
    r.sampleCount = kN;
    r.sampleRate = 10e6;
    std::mt19937 gen(1);
    std::normal_distribution<double> d(0.0, 0.1);
    for (int64_t k = 0; k < kN; ++k) {
        const double ph = 2 * M_PI * 1.25e6 * double(k) / r.sampleRate;
        r.iData[k] = float(0.5 * std::cos(ph) + d(gen));
        r.qData[k] = float(0.5 * std::sin(ph) + d(gen));
    }
    return r;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double timeMs(const std::function<void()> &f, int runs)
{
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        f();
        t.push_back(timer.nsecsElapsed() / 1e6);
    }
    return median(t);
}

void fill(const ComplexBuffer &b, const IqBuffer &r)
{
    for (int64_t k = 0; k < kN; ++k)
        b[size_t(k)] = {r.iData[k], r.qData[k]};
}

void transformOnly(const IqBuffer &r)
{
    ComplexBuffer b = ComplexBuffer::allocate(kN);
    fill(b, r);
    transformIq(b);
}

// The transform alone on data already in place, as numpy.fft.fft is timed on a ready array.
double executeOnlyMs(const IqBuffer &r, int runs)
{
    ComplexBuffer b = ComplexBuffer::allocate(kN);
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        fill(b, r);
        QElapsedTimer timer;
        timer.start();
        transformIqUnscaled(b);
        t.push_back(timer.nsecsElapsed() / 1e6);
    }
    return median(t);
}

const char *kNumpy = R"(
import sys, timeit, statistics
import numpy as np
iq = np.fromfile(sys.argv[1], dtype='<f4').reshape(2, -1)
z = iq[0].astype(np.float64) + 1j * iq[1].astype(np.float64)
def view():
    w = iq[0].astype(np.float64) + 1j * iq[1].astype(np.float64)
    x = np.fft.ifft(w) * np.sqrt(w.size)
    m = np.abs(x)
    lev = 10 * np.log(m / m.max())
    h = w.size // 2
    return np.concatenate([lev[:h][::-1], lev[h:][::-1]])
fft = statistics.median(timeit.repeat(lambda: np.fft.fft(z), number=1, repeat=15)) * 1e3
full = statistics.median(timeit.repeat(view, number=1, repeat=9)) * 1e3
print(f"{fft:.2f} {full:.2f} {np.__version__}")
)";

bool numpyTimes(const IqBuffer &r, double &fft, double &full, QString &version)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("iq.f32"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(reinterpret_cast<const char *>(r.iData.data()), kN * 4);
    f.write(reinterpret_cast<const char *>(r.qData.data()), kN * 4);
    f.close();
    QProcess p;
    p.start(QStringLiteral(TROVIK_BENCH_PYTHON), {QStringLiteral("-c"), QString::fromLatin1(kNumpy), path});
    if (!p.waitForFinished(300000) || p.exitCode() != 0)
        return false;
    const QStringList out = QString::fromLatin1(p.readAllStandardOutput()).split(QLatin1Char(' '));
    fft = out.value(0).toDouble();
    full = out.value(1).toDouble();
    version = out.value(2).trimmed();
    return true;
}

void benchSpectrum(const IqBuffer &r)
{
    QElapsedTimer first;
    first.start();
    transformOnly(r);  // includes making the plan for this size
    const double firstMs = first.nsecsElapsed() / 1e6;
    const double fftw = timeMs([&] { transformOnly(r); }, 15);
    const double execute = executeOnlyMs(r, 15);
    const double view = timeMs([&] {
        DisplayCurve c;
        computeDisplayCurve(r, AppSettings(), DisplayMode::Spectrum, c);
    }, 9);
    std::vector<std::complex<double>> z(kN);
    const double reference = timeMs([&] {
        for (int64_t k = 0; k < kN; ++k)
            z[size_t(k)] = {r.iData[k], r.qData[k]};
        referenceFft(z.data(), kN);
    }, 3);
    double npFft = 0, npFull = 0;
    QString version;
    const bool np = numpyTimes(r, npFft, npFull, version);
    std::printf("Spectrum, N = 2^20 (median ms)\n");
    std::printf("  transform alone, FFTW (cached plan, data in place): %7.2f\n", execute);
    std::printf("  transform, FFTW (convert + transform + 1/sqrt(N)): %8.2f   first call with planning: %.2f\n",
                fftw, firstMs);
    std::printf("  whole spectrum view (computeDisplayCurve):        %8.2f\n", view);
    std::printf("  reference radix-2 transform:                      %8.2f\n", reference);
    if (np) {
        std::printf("  numpy %s fft of the same data:                 %8.2f\n", qPrintable(version), npFft);
        std::printf("  numpy whole view (convert, ifft, abs, log, order):%8.2f\n", npFull);
        std::printf("  ratio to numpy fft: transform alone %.2fx, with conversion and scale %.2fx;"
                    " whole view / numpy whole view: %.2fx\n", execute / npFft, fftw / npFft, view / npFull);
    } else {
        std::printf("  numpy: not available\n");
    }
}

struct PaintResult
{
    double ms = 0;
    int drawn = 0;
    QImage canvas;
};

PaintResult openAndPaint(IqBuffer &r, DisplayMode mode, bool reduce)
{
    r.displayMode = mode;
    const AppSettings s;
    PaintWatch watch;
    QElapsedTimer t;
    t.start();
    FftGraph g(&r, &s);
    g.curve()->setReduction(reduce && mode != DisplayMode::IvsQ);
    g.shownPlot()->canvas()->installEventFilter(&watch);
    g.show();
    while (!watch.painted)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    PaintResult res;
    res.ms = t.nsecsElapsed() / 1e6;
    res.drawn = g.curve()->lastDrawnPoints();
    res.canvas = g.shownPlot()->canvas()->grab().toImage();
    return res;
}

int differing(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return -1;
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

void benchWindow(IqBuffer &r)
{
    std::printf("\nPlot window, 1,048,576-sample noisy record: construction to end of first paint "
                "(median of 5, ms; platform %s)\n", qPrintable(QApplication::platformName()));
    const struct { DisplayMode mode; const char *name; } views[] = {
        {DisplayMode::Spectrum, "spectrum"}, {DisplayMode::Phase, "phase"}, {DisplayMode::IvsQ, "I vs Q"}};
    for (const auto &v : views) {
        openAndPaint(r, v.mode, true);  // warm the plan cache and the font caches
        std::vector<double> on, off;
        PaintResult a, b;
        for (int i = 0; i < 5; ++i) {
            a = openAndPaint(r, v.mode, true);
            on.push_back(a.ms);
            if (v.mode == DisplayMode::IvsQ)
                continue;
            b = openAndPaint(r, v.mode, false);
            off.push_back(b.ms);
        }
        if (v.mode == DisplayMode::IvsQ) {
            std::printf("  %-8s every point drawn: %8.1f\n", v.name, median(on));
            continue;
        }
        std::printf("  %-8s reduced: %8.1f (%d points drawn)   every point: %8.1f   pixels differing: %d of %d\n",
                    v.name, median(on), a.drawn, median(off), differing(a.canvas, b.canvas),
                    a.canvas.width() * a.canvas.height());
    }
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    IqBuffer r = noisyRecord();
    benchSpectrum(r);
    benchWindow(r);
    return 0;
}
