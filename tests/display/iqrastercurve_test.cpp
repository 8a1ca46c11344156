#include "fftgraph.h"
#include "imagecompare.h"
#include "iqrastercurve.h"
#include "linecoverage.h"
#include "testsignals.h"

#include <qwt_plot.h>
#include <qwt_scale_map.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

struct Points
{
    std::vector<double> i, q;
};

// A noisy tone: the dense ring an I/Q record of a carrier draws, with outliers.
Points noisyTone(int n, uint32_t seed)
{
    std::mt19937 gen(seed);
    std::normal_distribution<double> d(0.0, 0.1);
    Points p;
    for (int k = 0; k < n; ++k) {
        const double ph = 2 * M_PI * 0.125 * k;
        p.i.push_back(0.5 * std::cos(ph) + d(gen));
        p.q.push_back(0.5 * std::sin(ph) + d(gen));
    }
    return p;
}

// Draws the curve as a canvas paint would: onto an RGB32 image, through a painter that may
// be translated (a canvas inside its window) and clipped to the canvas.
QImage render(IqRasterCurve &curve, bool raster, double extent, QPoint offset = QPoint())
{
    curve.setRaster(raster);
    QImage image(461 + offset.x() + 7, 461 + offset.y() + 5, QImage::Format_RGB32);
    image.fill(QColor(20, 24, 32));
    QwtScaleMap xMap, yMap;
    xMap.setScaleInterval(-extent, extent);
    xMap.setPaintInterval(0, 461);
    yMap.setScaleInterval(-extent, extent);
    yMap.setPaintInterval(461, 0);
    QPainter painter(&image);
    painter.translate(offset);
    painter.setClipRect(QRect(0, 0, 461, 461));
    painter.setPen(curve.pen());
    curve.draw(&painter, xMap, yMap, QRectF(0, 0, 461, 461));
    return image;
}

IqRasterCurve *makeCurve(const Points &p)
{
    auto *c = new IqRasterCurve;
    c->setPen(Qt::lightGray, 0, Qt::SolidLine);
    c->setIqSamples(std::vector<double>(p.i), std::vector<double>(p.q));
    return c;
}

}  // namespace

TEST(IqRasterCurve, SamePixelsAsThePlainCurveWholeZoomedAndOffset)
{
    const Points p = noisyTone(60000, 5);
    std::unique_ptr<IqRasterCurve> curve(makeCurve(p));
    // Whole view, a zoom that sends most lines past the edges (clipped), and a canvas that
    // is not at the device's origin.
    for (double extent : {0.95, 0.3}) {
        for (QPoint offset : {QPoint(), QPoint(37, 11)}) {
            const QImage raster = render(*curve, true, extent, offset);
            const QImage plain = render(*curve, false, extent, offset);
            EXPECT_EQ(differingPixels(raster, plain), 0) << extent << " " << offset.x();
        }
    }
}

TEST(IqRasterCurve, SkipsPiecesOverInkedPixelsAndRasterisesOncePerScale)
{
    const Points p = noisyTone(250000, 6);  // enough to be cut in two parts on two threads
    std::unique_ptr<IqRasterCurve> curve(makeCurve(p));
    const QImage raster = render(*curve, true, 0.95, QPoint(3, 2));
    EXPECT_EQ(differingPixels(raster, render(*curve, false, 0.95, QPoint(3, 2))), 0);
    render(*curve, true, 0.95);
    EXPECT_EQ(curve->rasterisations(), 2);
    EXPECT_GT(curve->lastSkippedPieces(), curve->lastDrawnPieces());  // a dense ring saturates
    render(*curve, true, 0.95);
    EXPECT_EQ(curve->rasterisations(), 2);  // the same scales: drawn from the image
    render(*curve, true, 0.5);
    EXPECT_EQ(curve->rasterisations(), 3);  // a zoom: rasterised again
    curve->setIqSamples(std::vector<double>(p.i), std::vector<double>(p.q));
    render(*curve, true, 0.5);
    EXPECT_EQ(curve->rasterisations(), 4);  // new samples
}

TEST(IqRasterCurve, SparseAndDegenerateCurvesMatch)
{
    // A few long lines, repeated points, a single point, and a curve through the corners.
    const std::vector<Points> cases = {
            {{-0.9, 0.9, 0.9, -0.9, 0.0}, {-0.9, 0.9, -0.9, 0.9, 0.0}},
            {{0.1, 0.1, 0.1, 0.2}, {0.1, 0.1, 0.1, -0.2}},
            {{0.3}, {0.3}},
            {{-1.0, 1.0, 1.0, -1.0, -1.0}, {-1.0, -1.0, 1.0, 1.0, -1.0}},
    };
    for (const Points &p : cases) {
        std::unique_ptr<IqRasterCurve> curve(makeCurve(p));
        EXPECT_EQ(differingPixels(render(*curve, true, 1.0), render(*curve, false, 1.0)), 0)
                << p.i.size();
    }
}

TEST(IqRasterCurve, PlotWindowShowsThePlainCurvesPicture)
{
    IqBuffer r = makeNoise(40000, 1e6, 9, 0.2);
    r.displayMode = DisplayMode::IvsQ;
    FftGraph g(&r);
    g.show();
    QApplication::processEvents();
    QWidget *canvas = g.shownPlot()->canvas();
    const QImage raster = canvas->grab().toImage();
    EXPECT_GE(g.iqCurve()->rasterisations(), 1);
    g.iqCurve()->setRaster(false);
    g.shownPlot()->replot();
    const QImage plain = canvas->grab().toImage();
    EXPECT_EQ(differingPixels(raster, plain), 0);
}

TEST(LineCoverage, InksWhatThePainterInks)
{
    QPolygonF line({QPointF(3, 4), QPointF(40, 17), QPointF(12, 30)});
    LineCoverage coverage(QSize(50, 40), QTransform(), QPen(Qt::red, 0));
    coverage.addPolyline(line);
    QImage expected(50, 40, QImage::Format_ARGB32_Premultiplied);
    expected.fill(Qt::transparent);
    QPainter p(&expected);
    p.setPen(QPen(Qt::white, 0));
    p.drawPolyline(line);
    p.end();
    EXPECT_EQ(differingPixels(coverage.mask(), expected), 0);
    const QImage coloured = coverage.colouredImage(Qt::red);
    EXPECT_EQ(coloured.pixel(3, 4), QColor(Qt::red).rgba());
    EXPECT_EQ(qAlpha(coloured.pixel(49, 0)), 0);
}
