#include "fftgraph.h"
#include "iqrastercurve.h"
#include "plotzoomer.h"
#include "reducedcurve.h"
#include "testsignals.h"

#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_scale_div.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>

namespace {

QwtPlot *plotNamed(const FftGraph &g, const char *name)
{
    return g.findChild<QwtPlot *>(QString::fromLatin1(name));
}

int itemCount(QwtPlot *plot, int rtti)
{
    return plot->itemList(rtti).size();
}

IqBuffer toneRecord(DisplayMode mode, int64_t n = 4096)
{
    IqBuffer r = makeTone(n, 1e6, 1e6 * 100 / 4096, 0.5);
    r.displayMode = mode;
    return r;
}

// Answers the next modal message box with its default button and reports its texts.
struct MessageBoxAnswer
{
    QString title, text;
    void arm()
    {
        QTimer::singleShot(0, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                title = box->windowTitle();
                text = box->text();
                box->accept();
            }
        });
    }
};

}  // namespace

// Spectrum and phase share the wide plot with a grid and an axis of the record's span; I vs. Q
// has the square plot without grid, on a scale that holds every point.
TEST(FftGraph, EachViewShowsItsPlotTitlesAndScales)
{
    const struct
    {
        DisplayMode mode;
        const char *plot, *title, *xTitle, *yTitle;
        int grids;
        double low, high;
    } views[] = {
            {DisplayMode::Spectrum, "plt", "Spectrum", "Frequency/MHz", "Level/dB", 1, -0.5, 0.5},
            {DisplayMode::Phase, "plt", "Phase", "Frequency/MHz", "Phase/\u00b0", 1, -0.5, 0.5},
            {DisplayMode::IvsQ, "plt2", "I vs. Q", "I", "Q", 0, -0.5, 0.5},
    };
    for (const auto &v : views) {
        SCOPED_TRACE(v.title);
        IqBuffer r = toneRecord(v.mode, 3000);
        r.iData[0] = -0.5f;  // the I vs. Q extent
        FftGraph g(&r);
        EXPECT_EQ(g.windowTitle(), QStringLiteral("IQ Graph"));
        EXPECT_TRUE(g.computed());
        QwtPlot *plot = plotNamed(g, v.plot);
        EXPECT_EQ(g.shownPlot(), plot);
        EXPECT_FALSE(plot->isHidden());
        EXPECT_TRUE(plotNamed(g, v.grids ? "plt2" : "plt")->isHidden());
        EXPECT_EQ(plot->title().text(), QString::fromUtf8(v.title));
        EXPECT_EQ(plot->axisTitle(QwtPlot::xBottom).text(), QString::fromUtf8(v.xTitle));
        EXPECT_EQ(plot->axisTitle(QwtPlot::yLeft).text(), QString::fromUtf8(v.yTitle));
        EXPECT_EQ(itemCount(plot, QwtPlotItem::Rtti_PlotGrid), v.grids);
        EXPECT_EQ(itemCount(plot, QwtPlotItem::Rtti_PlotCurve), 1);
        EXPECT_EQ(g.shownCurve()->dataSize(), v.grids ? 2048u : 3000u);
        const bool iq = v.mode == DisplayMode::IvsQ;
        EXPECT_EQ(iq, g.shownCurve() == g.iqCurve());
        // The frequency axis is fixed to the span, the level axis follows the data.
        for (int axis : {int(QwtPlot::xBottom), int(QwtPlot::yLeft)}) {
            if (axis == QwtPlot::yLeft && !iq) {
                EXPECT_EQ(plot->axisAutoScale(axis), v.mode == DisplayMode::Spectrum);
                continue;
            }
            const QwtScaleDiv &d = plot->axisScaleDiv(axis);
            EXPECT_FLOAT_EQ(d.lowerBound(), v.low);
            EXPECT_FLOAT_EQ(d.upperBound(), v.high);
            EXPECT_EQ(d.ticks(QwtScaleDiv::MajorTick).size(), 11);
            EXPECT_FALSE(plot->axisAutoScale(axis));
        }
    }
}

TEST(FftGraph, FrequencyAxisPlotsTheUnitItNamesAndIsAbsoluteWhenTheCentreIsKnown)
{
    struct Row
    {
        double rate, centre;
        bool known;
        const char *title;
        double low, high;
    };
    const Row rows[] = {
            {1e6, 2.4e9, true, "Frequency/MHz", 2399.5, 2400.5},
            {1e6, 2.4e9, false, "Frequency/MHz", -0.5, 0.5},
            {3000.0, 0.0, false, "Frequency/kHz", -1.5, 1.5},
            {3000.0, 1e6, true, "Frequency/kHz", 998.5, 1001.5},
            {500.0, 0.0, false, "Frequency/Hz", -250.0, 250.0},
            {2e9, 28e9, true, "Frequency/GHz", 27.0, 29.0},
    };
    for (DisplayMode mode : {DisplayMode::Spectrum, DisplayMode::Phase}) {
        for (const Row &row : rows) {
            IqBuffer r = toneRecord(mode, 1024);
            r.sampleRate = row.rate;
            r.centerFrequency = row.centre;
            r.centerFrequencyKnown = row.known;
            FftGraph g(&r);
            QwtPlot *plt = plotNamed(g, "plt");
            EXPECT_EQ(plt->axisTitle(QwtPlot::xBottom).text(), QLatin1String(row.title));
            const QwtScaleDiv &x = plt->axisScaleDiv(QwtPlot::xBottom);
            EXPECT_NEAR(x.lowerBound(), row.low, 1e-9 * std::fabs(row.low) + 1e-12) << row.title;
            EXPECT_NEAR(x.upperBound(), row.high, 1e-9 * std::fabs(row.high) + 1e-12);
            EXPECT_EQ(x.ticks(QwtScaleDiv::MajorTick).size(), 11);
            ASSERT_EQ(g.curve()->dataSize(), 1024u);
            EXPECT_NEAR(g.curve()->sample(0).x(), row.low, 1e-9 * std::fabs(row.low) + 1e-12);
            EXPECT_NEAR(g.curve()->sample(1023).x(), row.high, 1e-9 * std::fabs(row.high));
        }
    }
}

TEST(FftGraph, ReopeningShowsTheRecordsNewData)
{
    IqBuffer r = toneRecord(DisplayMode::Spectrum);
    size_t firstPeak = 0;
    {
        FftGraph g(&r);
        firstPeak = g.curve()->nearestIndex(1e6 * 100 / 4096);
    }
    r = makeTone(8192, 1e6, -1e6 * 1000 / 8192);
    r.displayMode = DisplayMode::Spectrum;
    FftGraph g(&r);
    EXPECT_EQ(g.curve()->dataSize(), 8192u);
    double best = -1e9;
    size_t at = 0;
    for (size_t k = 0; k < g.curve()->dataSize(); ++k)
        if (g.curve()->sample(k).y() > best) {
            best = g.curve()->sample(k).y();
            at = k;
        }
    EXPECT_EQ(at, 8192u / 2 - 1 - 1000);
    EXPECT_NE(firstPeak, at);
}

TEST(FftGraph, NotEnoughMemoryWarnsAndShowsAnEmptyPlot)
{
    const IqBuffer r = toneRecord(DisplayMode::Spectrum);
    setDisplayWorkLimit(1000);
    MessageBoxAnswer answer;
    answer.arm();
    FftGraph g(&r);
    setDisplayWorkLimit(SIZE_MAX);
    EXPECT_EQ(answer.title, QStringLiteral("Error"));
    EXPECT_EQ(answer.text, QStringLiteral("Memory not sufficient."));
    EXPECT_FALSE(g.computed());
    QwtPlot *plt = plotNamed(g, "plt");
    EXPECT_EQ(plt->title().text(), QStringLiteral("Spectrum"));
    EXPECT_EQ(itemCount(plt, QwtPlotItem::Rtti_PlotGrid), 1);
    EXPECT_EQ(g.curve()->dataSize(), 0u);
}

TEST(FftGraph, EmptyAndOneSampleRecordsOpenWithoutCurve)
{
    for (int64_t n : {0, 1}) {
        for (DisplayMode mode : {DisplayMode::Spectrum, DisplayMode::Phase, DisplayMode::IvsQ}) {
            IqBuffer r = makeNoise(n, 1e6, 3);
            r.displayMode = mode;
            FftGraph g(&r);
            g.show();
            QApplication::processEvents();
            EXPECT_EQ(g.shownCurve()->dataSize(), size_t(mode == DisplayMode::IvsQ ? n : 0));
        }
    }
}

TEST(FftGraph, OkClosesTheDialog)
{
    const IqBuffer r = toneRecord(DisplayMode::Spectrum);
    FftGraph g(&r);
    QTimer::singleShot(
            0, [&g] { g.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click(); });
    EXPECT_EQ(g.exec(), QDialog::Accepted);
}

TEST(FftGraphNavigation, ZoomInDrawsEveryPointAndZoomOutRestoresTheFirstScales)
{
    const IqBuffer r = [] {
        IqBuffer n = makeNoise(1 << 18, 1e6, 8);
        n.displayMode = DisplayMode::Spectrum;
        return n;
    }();
    FftGraph g(&r);
    g.show();
    QApplication::processEvents();
    QwtPlot *plt = g.shownPlot();
    const QwtScaleDiv baseX = plt->axisScaleDiv(QwtPlot::xBottom);
    const QwtScaleDiv baseY = plt->axisScaleDiv(QwtPlot::yLeft);
    plt->canvas()->grab();
    EXPECT_LT(g.curve()->lastDrawnPoints(), 4 * 720);

    // 400 Hz (the axis is in MHz) around the middle hold about 105 lines: all of them are drawn.
    g.zoomer()->zoom(
            QRectF(QPointF(-200e-6, baseY.lowerBound()), QPointF(200e-6, baseY.upperBound())));
    EXPECT_FALSE(plt->axisAutoScale(QwtPlot::yLeft));
    plt->canvas()->grab();
    EXPECT_GE(g.curve()->lastDrawnPoints(), 100);
    EXPECT_LE(g.curve()->lastDrawnPoints(), 115);  // and the few just beyond the edges
    EXPECT_NEAR(plt->axisScaleDiv(QwtPlot::xBottom).lowerBound(), -200e-6, 1e-12);

    g.zoomer()->zoom(0);
    EXPECT_EQ(plt->axisScaleDiv(QwtPlot::xBottom), baseX);
    EXPECT_EQ(plt->axisScaleDiv(QwtPlot::yLeft), baseY);
    EXPECT_FALSE(plt->axisAutoScale(QwtPlot::xBottom));
    EXPECT_TRUE(plt->axisAutoScale(QwtPlot::yLeft));
}

TEST(FftGraphNavigation, ReadoutShowsTheNearestLine)
{
    IqBuffer r = toneRecord(DisplayMode::Spectrum, 4);
    r.sampleRate = 3000.0;
    FftGraph g(&r);
    // 3 kHz of span: the axis, and so the readout, is in kHz.
    const QString text = g.zoomer()->readout(QPointF(0.48, -20.0));
    EXPECT_TRUE(text.startsWith(QStringLiteral("0.5 kHz"))) << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral(" dB")));

    r.displayMode = DisplayMode::IvsQ;
    FftGraph iq(&r);
    EXPECT_EQ(iq.zoomer()->readout(QPointF(0.25, -0.125)), QStringLiteral("I 0.25   Q -0.125"));
}

namespace {

void sendMouse(QWidget *w, QEvent::Type type, QPoint pos, Qt::MouseButton button,
               Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    QMouseEvent e(type, pos, w->mapToGlobal(pos), button, buttons, modifiers);
    QApplication::sendEvent(w, &e);
}

void drag(QWidget *w, QPoint from, QPoint to, Qt::MouseButton button,
          Qt::KeyboardModifiers modifiers)
{
    sendMouse(w, QEvent::MouseButtonPress, from, button, button, modifiers);
    for (int i = 1; i <= 4; ++i)
        sendMouse(w, QEvent::MouseMove, from + (to - from) * i / 4, Qt::NoButton, button,
                  modifiers);
    sendMouse(w, QEvent::MouseButtonRelease, to, button, Qt::NoButton, modifiers);
    QApplication::processEvents();
}

}  // namespace

TEST(FftGraphNavigation, MouseZoomPanAndBack)
{
    const IqBuffer r = toneRecord(DisplayMode::Spectrum, 65536);
    FftGraph g(&r);
    g.show();
    QApplication::processEvents();
    QwtPlot *plt = g.shownPlot();
    QWidget *canvas = plt->canvas();
    const QwtScaleDiv baseX = plt->axisScaleDiv(QwtPlot::xBottom);

    // Left drag: zoom into the dragged rectangle.
    drag(canvas, QPoint(200, 100), QPoint(300, 250), Qt::LeftButton, Qt::NoModifier);
    const QwtScaleDiv zoomed = plt->axisScaleDiv(QwtPlot::xBottom);
    EXPECT_LT(zoomed.range(), baseX.range() / 4);
    EXPECT_EQ(g.zoomer()->zoomRectIndex(), 1u);

    // Middle drag pans: the range keeps its width and moves.
    drag(canvas, QPoint(300, 200), QPoint(200, 200), Qt::MiddleButton, Qt::NoModifier);
    const QwtScaleDiv panned = plt->axisScaleDiv(QwtPlot::xBottom);
    EXPECT_NEAR(panned.range(), zoomed.range(), zoomed.range() * 1e-9);
    EXPECT_GT(panned.lowerBound(), zoomed.lowerBound());

    // Ctrl + left drag pans too, and does not zoom.
    drag(canvas, QPoint(200, 200), QPoint(300, 200), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_LT(plt->axisScaleDiv(QwtPlot::xBottom).lowerBound(), panned.lowerBound());
    EXPECT_EQ(g.zoomer()->zoomRectIndex(), 1u);

    // Right click: one step back, to the first view and its ten divisions.
    sendMouse(canvas, QEvent::MouseButtonPress, QPoint(100, 100), Qt::RightButton, Qt::RightButton,
              Qt::NoModifier);
    sendMouse(canvas, QEvent::MouseButtonRelease, QPoint(100, 100), Qt::RightButton, Qt::NoButton,
              Qt::NoModifier);
    QApplication::processEvents();
    EXPECT_EQ(g.zoomer()->zoomRectIndex(), 0u);
    EXPECT_EQ(plt->axisScaleDiv(QwtPlot::xBottom), baseX);
}
