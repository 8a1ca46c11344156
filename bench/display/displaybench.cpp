// Spectrum of N = 2^20 samples (FFTW path, the reference transform, numpy.fft.fft of the
// same data) and the plot window from construction to the end of its first canvas paint
// for a 1,048,576-sample noisy record, with and without the per-column reduction.
#include "paintwatch.h"

#include "complexbuffer.h"
#include "displaycurve.h"
#include "fftgraph.h"
#include "iqrastercurve.h"
#include "reducedcurve.h"
#include "referencefft.h"
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
#include <ctime>
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

// Wall-clock and this thread's CPU time. With other jobs on the cores the CPU time shows
// the work done, the wall time what a user would wait.
struct Stopwatch
{
    QElapsedTimer wall;
    double cpuStart = cpuMs();
    Stopwatch() { wall.start(); }
    static double cpuMs()
    {
        timespec ts;
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
    }
    double wallMs() const { return wall.nsecsElapsed() / 1e6; }
    double cpuElapsedMs() const { return cpuMs() - cpuStart; }
};

struct Timing
{
    double wall = 0, cpu = 0;
};

Timing medianOf(const std::vector<Timing> &runs)
{
    std::vector<double> w, c;
    for (const Timing &t : runs) {
        w.push_back(t.wall);
        c.push_back(t.cpu);
    }
    return {median(w), median(c)};
}

Timing timeMs(const std::function<void()> &f, int runs)
{
    std::vector<Timing> t;
    for (int i = 0; i < runs; ++i) {
        Stopwatch sw;
        f();
        t.push_back({sw.wallMs(), sw.cpuElapsedMs()});
    }
    return medianOf(t);
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
Timing executeOnlyMs(const IqBuffer &r, int runs)
{
    ComplexBuffer b = ComplexBuffer::allocate(kN);
    std::vector<Timing> t;
    for (int i = 0; i < runs; ++i) {
        fill(b, r);
        Stopwatch sw;
        transformIqUnscaled(b);
        t.push_back({sw.wallMs(), sw.cpuElapsedMs()});
    }
    return medianOf(t);
}

const char *kNumpy = R"(
import sys, time, timeit, statistics
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
def med(f, n, timer):
    return statistics.median(timeit.repeat(f, number=1, repeat=n, timer=timer)) * 1e3
fft = lambda: np.fft.fft(z)
print(f"{med(fft, 15, time.perf_counter):.2f} {med(fft, 15, time.process_time):.2f} "
      f"{med(view, 9, time.perf_counter):.2f} {med(view, 9, time.process_time):.2f} {np.__version__}")
)";

bool numpyTimes(const IqBuffer &r, Timing &fft, Timing &full, QString &version)
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
    p.start(QStringLiteral(TROVIK_BENCH_PYTHON),
            {QStringLiteral("-c"), QString::fromLatin1(kNumpy), path});
    if (!p.waitForFinished(300000) || p.exitCode() != 0)
        return false;
    const QStringList out = QString::fromLatin1(p.readAllStandardOutput()).split(QLatin1Char(' '));
    fft = {out.value(0).toDouble(), out.value(1).toDouble()};
    full = {out.value(2).toDouble(), out.value(3).toDouble()};
    version = out.value(4).trimmed();
    return true;
}

void printRow(const char *what, Timing t)
{
    std::printf("  %-52s %8.2f %8.2f\n", what, t.wall, t.cpu);
}

void benchSpectrum(const IqBuffer &r)
{
    Stopwatch first;
    transformOnly(r);  // includes making the plan for this size
    const Timing firstCall{first.wallMs(), first.cpuElapsedMs()};
    const Timing fftw = timeMs([&] { transformOnly(r); }, 15);
    const Timing execute = executeOnlyMs(r, 15);
    const Timing view = timeMs(
            [&] {
                DisplayCurve c;
                computeDisplayCurve(r, DisplayMode::Spectrum, c);
            },
            9);
    std::vector<std::complex<double>> z(kN);
    const Timing reference = timeMs(
            [&] {
                for (int64_t k = 0; k < kN; ++k)
                    z[size_t(k)] = {r.iData[k], r.qData[k]};
                referenceFft(z.data(), kN);
            },
            3);
    Timing npFft, npFull;
    QString version;
    const bool np = numpyTimes(r, npFft, npFull, version);
    std::printf("Spectrum, N = 2^20 (median, ms)                              wall      cpu\n");
    printRow("FFTW transform alone (cached plan, data in place)", execute);
    printRow("FFTW convert + transform + 1/sqrt(N)", fftw);
    printRow("  the same, first call (makes the plan)", firstCall);
    printRow("whole spectrum view (computeDisplayCurve)", view);
    printRow("reference radix-2 transform", reference);
    if (!np) {
        std::printf("  numpy: not available\n");
        return;
    }
    printRow(qPrintable(QStringLiteral("numpy %1 fft of the same data").arg(version)), npFft);
    printRow("numpy whole view (convert, ifft, abs, log, order)", npFull);
    std::printf("  ratio to numpy fft, wall (cpu): transform alone %.2fx (%.2fx), with conversion "
                "%.2fx (%.2fx);"
                " whole view to numpy's %.2fx (%.2fx)\n",
                execute.wall / npFft.wall, execute.cpu / npFft.cpu, fftw.wall / npFft.wall,
                fftw.cpu / npFft.cpu, view.wall / npFull.wall, view.cpu / npFull.cpu);
}

struct PaintResult
{
    Timing t;
    int drawn = 0;
    QImage canvas;
};

PaintResult openAndPaint(IqBuffer &r, DisplayMode mode, bool reduce)
{
    r.displayMode = mode;
    PaintWatch watch;
    Stopwatch sw;
    FftGraph g(&r);
    if (g.curve())
        g.curve()->setReduction(reduce);
    if (g.iqCurve())
        g.iqCurve()->setRaster(reduce);
    g.shownPlot()->canvas()->installEventFilter(&watch);
    g.show();
    while (!watch.painted)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    PaintResult res;
    res.t = {sw.wallMs(), sw.cpuElapsedMs()};
    res.drawn = g.curve() ? g.curve()->lastDrawnPoints() : g.iqCurve()->lastDrawnPieces();
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
    std::printf("\nPlot window, 1,048,576-sample noisy record: construction to end of first canvas "
                "paint\n"
                "(median of 5, ms, wall / cpu; platform %s)\n",
                qPrintable(QApplication::platformName()));
    const struct
    {
        DisplayMode mode;
        const char *name;
    } views[] = {{DisplayMode::Spectrum, "spectrum"},
                 {DisplayMode::Phase, "phase"},
                 {DisplayMode::IvsQ, "I vs Q"}};
    for (const auto &v : views) {
        openAndPaint(r, v.mode, true);  // warm the plan cache and the font caches
        std::vector<Timing> on, off;
        PaintResult a, b;
        const bool iq = v.mode == DisplayMode::IvsQ;
        for (int i = 0; i < 5; ++i) {
            a = openAndPaint(r, v.mode, true);
            on.push_back(a.t);
            if (iq && i > 0)
                continue;  // the plain I-versus-Q drawing takes seconds: once is enough
            b = openAndPaint(r, v.mode, false);
            off.push_back(b.t);
        }
        const Timing m = medianOf(on);
        if (iq) {
            const Timing p = medianOf(off);
            std::printf("  %-8s rasterised (%d of %d pieces drawn): %7.1f / %7.1f   plain curve: "
                        "%7.1f / %7.1f   "
                        "pixels differing: %d of %d\n",
                        v.name, a.drawn, int((kN + 5) / 6), m.wall, m.cpu, p.wall, p.cpu,
                        differing(a.canvas, b.canvas), a.canvas.width() * a.canvas.height());
            continue;
        }
        const Timing p = medianOf(off);
        std::printf(
                "  %-8s reduced (%d points drawn): %7.1f / %7.1f   every point: %7.1f / %7.1f   "
                "pixels differing: %d of %d\n",
                v.name, a.drawn, m.wall, m.cpu, p.wall, p.cpu, differing(a.canvas, b.canvas),
                a.canvas.width() * a.canvas.height());
    }
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QFile load(QStringLiteral("/proc/loadavg"));
    if (load.open(QIODevice::ReadOnly))
        std::printf("load average at start: %s\n", load.readAll().trimmed().constData());
    IqBuffer r = noisyRecord();
    benchSpectrum(r);
    benchWindow(r);
    return 0;
}
