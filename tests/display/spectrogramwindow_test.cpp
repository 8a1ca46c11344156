#include "capturesignal.h"
#include "plotzoomer.h"
#include "spectrogramjob.h"
#include "spectrogramplot.h"
#include "spectrogramwindow.h"

#include <qwt_plot.h>
#include <qwt_scale_widget.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

const IqBuffer &capture()
{
    static const IqBuffer r = makeCapture(2000000);  // 200 ms: ten bursts, forty hops
    return r;
}

void settle(SpectrogramWindow &w)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 400) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        w.finishWork();
    }
}

int threadsOfThisProcess()
{
    return int(QDir(QStringLiteral("/proc/self/task"))
                       .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
                       .size());
}

}  // namespace

TEST(SpectrogramWindow, WholeRecordAtScreenResolutionWithBurstsAndHopsInPlace)
{
    SpectrogramWindow w(capture(), 10e6);
    w.show();
    settle(w);
    const SpectrogramLayer *o = w.plot()->overview();
    ASSERT_FALSE(o->empty());
    EXPECT_EQ(o->shape.frameCount, 1953);  // 2,000,000 / 1024
    EXPECT_LE(o->shape.rows, w.plot()->canvas()->width());
    EXPECT_LE(o->shape.columns, w.plot()->canvas()->height());
    // The time axis starts at the record's start, the frequency axis spans the centre ± fs/2.
    EXPECT_NEAR(o->timeBegin(), 0.0, 1e-4);
    EXPECT_NEAR(o->timeEnd(), 0.2, 1e-3);
    EXPECT_NEAR(o->frequencyBegin(), 2.4e9 - 5e6, 1e4);
    EXPECT_NEAR(o->frequencyEnd(), 2.4e9 + 5e6, 1e4);
    // A burst at +3.5 MHz from 27 to 29 ms; the carrier at -1.5 MHz from 10 to 15 ms.
    EXPECT_GT(w.plot()->levelAt({0.028, 2.4035e9}), -40.0);
    EXPECT_LT(w.plot()->levelAt({0.035, 2.4035e9}), -40.0);
    EXPECT_GT(w.plot()->levelAt({0.0125, 2.3985e9}), -20.0);
    EXPECT_LT(w.plot()->levelAt({0.0175, 2.3985e9}), -40.0);
    EXPECT_TRUE(std::isnan(w.plot()->levelAt({0.5, 2.4e9})));
    // The readout states time and frequency to the frame step and the bin width.
    const QString readout = w.plot()->readout({0.01251234, 2.398512345e9});
    EXPECT_TRUE(readout.startsWith(QStringLiteral("t 0.0125 s   f 2398512 kHz   ")))
            << readout.toStdString();
    EXPECT_TRUE(readout.endsWith(QStringLiteral(" dB")));
    EXPECT_TRUE(w.memoryText().contains(QStringLiteral("record 16 MB")));
    // The colour bar carries the level range and its unit.
    EXPECT_TRUE(
            w.plot()->axisTitle(QwtPlot::yRight).text().contains(QStringLiteral("10\u00b7log10")));
    EXPECT_TRUE(w.plot()->axisWidget(QwtPlot::yRight)->isColorBarEnabled());
    w.plot()->setLevelRange(-90.0, -10.0);
    EXPECT_DOUBLE_EQ(w.plot()->axisScaleDiv(QwtPlot::yRight).lowerBound(), -90.0);
}

TEST(SpectrogramWindow, ZoomComputesTheShownPartAtScreenResolution)
{
    SpectrogramWindow w(capture(), 10e6);
    w.show();
    settle(w);
    const int64_t wholeFrames = w.plot()->overview()->shape.frameCount;
    // 26 … 30 ms and 2.402 … 2.405 GHz: the burst's edges at frame resolution.
    w.plot()->zoomer()->zoom(QRectF(QPointF(0.026, 2.402e9), QPointF(0.030, 2.405e9)));
    settle(w);
    EXPECT_NEAR(w.plot()->axisScaleDiv(QwtPlot::xBottom).lowerBound(), 0.026, 1e-9);
    EXPECT_GT(w.plot()->levelAt({0.0275, 2.4035e9}), -40.0);
    EXPECT_LT(w.plot()->levelAt({0.0265, 2.4035e9}), -40.0);  // before the burst: now resolved
    EXPECT_LT(w.memoryText().size(), 300);
    EXPECT_EQ(w.plot()->overview()->shape.frameCount, wholeFrames);
    w.plot()->zoomer()->zoom(0);
    settle(w);
    EXPECT_NEAR(w.plot()->axisScaleDiv(QwtPlot::xBottom).upperBound(),
                w.plot()->overview()->timeEnd(), 1e-9);
}

TEST(SpectrogramWindow, CursorsMeasureDurationAndBandwidth)
{
    SpectrogramWindow w(capture(), 10e6);
    w.finishWork();
    w.plot()->setCursorAt(0, {0.027, 2.4030e9});
    EXPECT_FALSE(w.plot()->measurement().contains(QStringLiteral("\u0394t")));
    w.plot()->setCursorAt(1, {0.029, 2.4040e9});
    const QString m = w.plot()->measurement();
    // Frames 0.1024 ms apart, bins 9.77 kHz wide: no digit finer than those.
    EXPECT_TRUE(m.contains(QStringLiteral("A: 0.0270 s, 2403000 kHz"))) << m.toStdString();
    EXPECT_TRUE(m.contains(QStringLiteral("\u0394t 0.0020 s"))) << m.toStdString();
    EXPECT_TRUE(m.contains(QStringLiteral("\u0394f 1000 kHz"))) << m.toStdString();
}

TEST(SpectrogramWindow, SettingsChangeRecomputesAndCancelLeavesNoThread)
{
    const int before = threadsOfThisProcess();
    {
        SpectrogramWindow w(capture(), 10e6);
        w.finishWork();
        auto *fft = w.findChildren<QComboBox *>().value(0);
        ASSERT_NE(fft, nullptr);
        fft->setCurrentText(QStringLiteral("64"));  // 31,250 frames: takes a while
        EXPECT_EQ(w.settings().fftSize, 64);
        EXPECT_TRUE(w.busy());
        w.cancelWork();
        EXPECT_FALSE(w.busy());
        EXPECT_EQ(threadsOfThisProcess(), before);
        fft->setCurrentText(QStringLiteral("65536"));
        w.finishWork();
        EXPECT_EQ(w.plot()->overview()->fftSize, 65536);
        EXPECT_EQ(w.plot()->overview()->shape.frameCount, 30);
        fft->setCurrentText(QStringLiteral("128"));
        EXPECT_TRUE(w.busy());
    }  // closed while computing: the worker stops with the window
    EXPECT_EQ(threadsOfThisProcess(), before);
}

TEST(SpectrogramWindow, RecordShorterThanOneFrameSaysSo)
{
    const IqBuffer r = makeCapture(500);
    SpectrogramWindow w(r, 10e6);
    w.finishWork();
    EXPECT_TRUE(w.plot()->overview()->empty());
    EXPECT_TRUE(std::isnan(w.plot()->levelAt({1e-5, 2.4e9})));
    const QList<QLabel *> labels = w.findChildren<QLabel *>();
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [](QLabel *l) {
        return l->text().contains(QStringLiteral("shorter than one frame of 1024"));
    }));
}
