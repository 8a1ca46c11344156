// Spectrogram of a 50,000,000-sample captured-looking record (FFT 1024, no overlap): the
// window from construction to the first paint of the whole record, the process's peak
// memory beside the record's arrays, and the full level matrix (one row per frame) beside
// scipy.signal.spectrogram of the same data in the same run.
#include "capturesignal.h"
#include "paintwatch.h"
#include "spectrogram.h"
#include "spectrogramplot.h"
#include "spectrogramwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <vector>

namespace {

constexpr int64_t kSamples = 50000000;

double processCpuMs()
{
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// Peak resident memory of the process so far, in bytes.
double peakResident()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() * 1024.0;
    return 0;
}

void firstPaint(const IqBuffer &r)
{
    const double before = peakResident();
    QElapsedTimer wall;
    wall.start();
    const double cpu0 = processCpuMs();
    SpectrogramWindow w(r, r.sampleRate);
    w.show();
    PaintWatch watch;
    w.plot()->canvas()->installEventFilter(&watch);
    while (w.plot()->overview()->empty())
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    const double computed = wall.nsecsElapsed() / 1e6;
    watch.painted = false;
    while (!watch.painted)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    const double painted = wall.nsecsElapsed() / 1e6, cpu = processCpuMs() - cpu0;
    const double record = double(kSamples) * 2 * sizeof(float);
    const double peak = peakResident();
    std::printf("Window, FFT 1024, no overlap, %lld frames onto %d x %d cells\n",
                static_cast<long long>(w.plot()->overview()->shape.frameCount),
                w.plot()->overview()->shape.rows, w.plot()->overview()->shape.columns);
    std::printf("  construction to overview ready: %8.1f ms wall\n", computed);
    std::printf("  construction to first paint:    %8.1f ms wall, %8.1f ms cpu (all threads)\n",
                painted, cpu);
    std::printf("  peak resident memory: %.1f MB before the window, %.1f MB after; record arrays "
                "%.1f MB;"
                " peak / record = %.3f\n",
                before / 1e6, peak / 1e6, record / 1e6, peak / record);
    std::printf("  %s\n", qPrintable(w.memoryText()));
}

const char *kScipy = R"(
import sys, time
import numpy as np
from scipy import signal
import scipy
iq = np.fromfile(sys.argv[1], dtype='<f4').reshape(2, -1)
z = iq[0].astype(np.float64) + 1j * iq[1].astype(np.float64)
w0, c0 = time.perf_counter(), time.process_time()
_, _, s = signal.spectrogram(z, 10e6, window='hann', nperseg=1024, noverlap=0, detrend=False,
                             return_onesided=False, scaling='spectrum', mode='psd')
lev = (10 * np.log10(np.maximum(np.fft.fftshift(s, axes=0).T, 1e-30))).astype(np.float32)
w1, c1 = time.perf_counter(), time.process_time()
ours = np.fromfile(sys.argv[2], dtype='<f4').reshape(lev.shape)
keep = lev > lev.max() - 150
print(f"{(w1 - w0) * 1e3:.1f} {(c1 - c0) * 1e3:.1f} {lev.shape[0]} {np.max(np.abs(ours[keep] - lev[keep])):.2e} {scipy.__version__}")
)";

void matrixBesideScipy(const IqBuffer &r)
{
    SpectrogramRequest q;
    q.settings.fftSize = 1024;
    const SpectrogramShape shape = spectrogramShape(r.heldCount(), q);
    std::vector<float> matrix(size_t(shape.rows) * size_t(shape.columns));
    QElapsedTimer wall;
    wall.start();
    const double cpu0 = processCpuMs();
    computeSpectrogram(r.iData.data(), r.qData.data(), r.heldCount(), q,
                       [&](int row, const float *levels) {
                           std::copy(levels, levels + shape.columns,
                                     matrix.begin() + ptrdiff_t(row) * shape.columns);
                           return true;
                       });
    const double ms = wall.nsecsElapsed() / 1e6, cpu = processCpuMs() - cpu0;

    QTemporaryDir dir;
    const QString src = dir.filePath(QStringLiteral("iq.f32")),
                  ours = dir.filePath(QStringLiteral("ours.f32"));
    QFile in(src), out(ours);
    if (!in.open(QIODevice::WriteOnly) || !out.open(QIODevice::WriteOnly))
        return;
    in.write(reinterpret_cast<const char *>(r.iData.data()), kSamples * 4);
    in.write(reinterpret_cast<const char *>(r.qData.data()), kSamples * 4);
    in.close();
    out.write(reinterpret_cast<const char *>(matrix.data()), qint64(matrix.size() * 4));
    out.close();
    matrix = std::vector<float>();
    QProcess p;
    p.start(QStringLiteral(TROVIK_BENCH_PYTHON),
            {QStringLiteral("-c"), QString::fromLatin1(kScipy), src, ours});
    const bool ok = p.waitForFinished(600000) && p.exitCode() == 0;
    const QStringList s
            = QString::fromLatin1(p.readAllStandardOutput()).trimmed().split(QLatin1Char(' '));
    std::printf("\nLevel matrix, one row per frame (%d x %d float32, dB)\n", shape.rows,
                shape.columns);
    std::printf("  ours (computeSpectrogram, one thread): %8.1f ms wall, %8.1f ms cpu\n", ms, cpu);
    if (!ok) {
        std::printf("  scipy: not available (%s)\n", p.readAllStandardError().constData());
        return;
    }
    std::printf("  scipy %s signal.spectrogram + fftshift + 10*log10: %8.1f ms wall, %8.1f ms cpu "
                "(%s rows)\n",
                qPrintable(s.value(4)), s.value(0).toDouble(), s.value(1).toDouble(),
                qPrintable(s.value(2)));
    std::printf("  scipy / ours: %.2fx wall, %.2fx cpu; largest level difference within 150 dB of "
                "the peak: %s dB\n",
                s.value(0).toDouble() / ms, s.value(1).toDouble() / cpu, qPrintable(s.value(3)));
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QFile load(QStringLiteral("/proc/loadavg"));
    if (load.open(QIODevice::ReadOnly))
        std::printf("load average at start: %s\n", load.readAll().trimmed().constData());
    const IqBuffer r = makeCapture(kSamples);
    firstPaint(r);
    matrixBesideScipy(r);
    return 0;
}
