// Saves the three views of a shaped QPSK record and the spectrogram of a captured-looking
// record (bursts and a hopping carrier) as PNG files:
//   display_screenshots OUTDIR     (for example under xvfb-run -a, into docs/screenshots)
#include "capturesignal.h"
#include "fftgraph.h"
#include "plotzoomer.h"
#include "spectrogramplot.h"
#include "spectrogramwindow.h"
#include "stylesheet.h"
#include "testsignals.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>

#include <cstdio>
#include <vector>

namespace {

// Root-raised-cosine pulse, roll-off beta, sps samples per symbol, span symbols each side.
std::vector<double> rootRaisedCosine(int sps, double beta, int span)
{
    std::vector<double> h;
    for (int k = -span * sps; k <= span * sps; ++k) {
        const double t = double(k) / sps;
        double v;
        if (k == 0)
            v = 1.0 - beta + 4.0 * beta / M_PI;
        else if (std::fabs(std::fabs(4.0 * beta * t) - 1.0) < 1e-9)
            v = beta / std::sqrt(2.0)
                * ((1 + 2 / M_PI) * std::sin(M_PI / (4 * beta))
                   + (1 - 2 / M_PI) * std::cos(M_PI / (4 * beta)));
        else
            v = (std::sin(M_PI * t * (1 - beta)) + 4 * beta * t * std::cos(M_PI * t * (1 + beta)))
                / (M_PI * t * (1 - (4 * beta * t) * (4 * beta * t)));
        h.push_back(v);
    }
    return h;
}

// 1 Msymbol/s QPSK at 8 MHz, roll-off 0.35, a weak carrier at +2.5 MHz and receiver noise.
IqBuffer qpskRecord(int64_t n)
{
    const int sps = 8;
    const std::vector<double> h = rootRaisedCosine(sps, 0.35, 8);
    std::mt19937 gen(17);
    std::uniform_int_distribution<int> bit(0, 1);
    std::normal_distribution<double> noise(0.0, 0.004);
    std::vector<std::complex<double>> up(size_t(n + h.size()), 0.0);
    for (size_t k = 0; k < up.size(); k += sps)
        up[k] = std::complex<double>(bit(gen) ? 0.7 : -0.7, bit(gen) ? 0.7 : -0.7);
    const double fs = 8e6;
    return makeRecord(n, fs, [&](int64_t k) {
        std::complex<double> s = 0.0;
        for (size_t m = 0; m < h.size(); ++m)
            s += h[m] * up[size_t(k) + m];
        s *= 0.35;
        s += std::polar(0.01, 2 * M_PI * 2.5e6 * double(k) / fs);
        return s + std::complex<double>(noise(gen), noise(gen));
    });
}

void settle(SpectrogramWindow &w)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 500) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        w.finishWork();
    }
}

// The whole 0.5 s record, then a zoom onto one burst with the cursors on its edges.
bool spectrogramShots(const QDir &out)
{
    const IqBuffer capture = makeCapture(5000000);
    SpectrogramWindow w(capture, capture.sampleRate);
    w.setStyleSheet(commonStyleSheet());
    w.show();
    settle(w);
    if (!w.grab().save(out.filePath(QStringLiteral("spectrogram-whole.png"))))
        return false;
    w.plot()->zoomer()->zoom(QRectF(QPointF(0.0255, 2.3995e9), QPointF(0.0305, 2.4055e9)));
    settle(w);
    w.plot()->setCursorAt(0, {0.027, 2.4025e9});
    w.plot()->setCursorAt(1, {0.029, 2.4045e9});
    settle(w);
    return w.grab().save(out.filePath(QStringLiteral("spectrogram-burst.png")));
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: display_screenshots OUTDIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    prepareCommonLook();
    IqBuffer record = qpskRecord(65536);
    const struct
    {
        DisplayMode mode;
        const char *file;
    } views[] = {
            {DisplayMode::Spectrum, "fftgraph-spectrum.png"},
            {DisplayMode::Phase, "fftgraph-phase.png"},
            {DisplayMode::IvsQ, "fftgraph-ivsq.png"},
    };
    for (const auto &v : views) {
        record.displayMode = v.mode;
        FftGraph graph(&record, nullptr, commonStyleSheet());
        graph.show();
        QApplication::processEvents();
        if (!graph.grab().save(out.filePath(QString::fromLatin1(v.file)))) {
            std::fprintf(stderr, "cannot write %s\n", v.file);
            return 1;
        }
    }
    if (!spectrogramShots(out)) {
        std::fprintf(stderr, "cannot write the spectrogram pictures\n");
        return 1;
    }
    return 0;
}
