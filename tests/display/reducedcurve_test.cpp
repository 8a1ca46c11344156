#include "columnreduction.h"
#include "imagecompare.h"
#include "reducedcurve.h"

#include <qwt_scale_map.h>

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

struct Series
{
    std::vector<double> x, y;
};

Series noisySpectrum(int n, uint32_t seed)
{
    std::mt19937 gen(seed);
    std::normal_distribution<double> d(-60.0, 8.0);
    Series s;
    for (int i = 0; i < n; ++i) {
        s.x.push_back(-5e5 + i * 1e6 / (n - 1));
        s.y.push_back(i == n / 3 ? 0.0 : d(gen));
    }
    return s;
}

QImage render(const Series &s, bool reduce, double x1, double x2, double y1, double y2,
              int *drawn = nullptr)
{
    ReducedCurve curve;
    curve.setPen(Qt::black, 0, Qt::SolidLine);
    curve.setRisingSamples(s.x.data(), s.y.data(), int(s.x.size()));
    curve.setReduction(reduce);
    QImage image(711, 461, QImage::Format_RGB32);
    image.fill(Qt::white);
    QwtScaleMap xMap, yMap;
    xMap.setScaleInterval(x1, x2);
    xMap.setPaintInterval(0, image.width());
    yMap.setScaleInterval(y1, y2);
    yMap.setPaintInterval(image.height(), 0);
    QPainter painter(&image);
    painter.setPen(curve.pen());
    curve.draw(&painter, xMap, yMap, QRectF(image.rect()));
    painter.end();
    if (drawn)
        *drawn = curve.lastDrawnPoints();
    return image;
}

int inkedPixels(const QImage &a)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += a.pixel(x, y) != QColor(Qt::white).rgb();
    return n;
}

// True when every pixel inked in one image has an inked pixel at most one step away in
// the other: the two curves lie on top of each other to the eye.
bool withinOnePixel(const QImage &a, const QImage &b)
{
    const QRgb white = QColor(Qt::white).rgb();
    auto near = [&](const QImage &img, int x, int y) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (img.valid(x + dx, y + dy) && img.pixel(x + dx, y + dy) != white)
                    return true;
        return false;
    };
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) != white && !near(b, x, y))
                return false;
            if (b.pixel(x, y) != white && !near(a, x, y))
                return false;
        }
    return true;
}

}  // namespace

TEST(ColumnReduction, KeepsFirstExtremesAndLastPerColumnInOrder)
{
    QPolygonF out;
    ColumnReduction r(out);
    // Column 0: first 5, high 9 then low 1, last 4. Column 1: a single point.
    for (QPointF p : {QPointF(0, 5), QPointF(0.2, 9), QPointF(0.1, 3), QPointF(-0.3, 1),
                      QPointF(0, 4), QPointF(1, 7)})
        r.add(p);
    r.finish();
    EXPECT_EQ(out, QPolygonF({QPointF(0, 5), QPointF(0.2, 9), QPointF(-0.3, 1), QPointF(0, 4),
                              QPointF(1, 7)}));
}

TEST(ColumnReduction, SparsePointsPassUnchanged)
{
    QPolygonF out;
    ColumnReduction r(out);
    const QPolygonF in({QPointF(0, 1), QPointF(3, 2), QPointF(7, 2), QPointF(12, -4)});
    for (const QPointF &p : in)
        r.add(p);
    r.finish();
    EXPECT_EQ(out, in);
}

TEST(ReducedCurve, DrawsTheSamePixelsAsEveryPointWhenZoomedOut)
{
    const Series s = noisySpectrum(1 << 18, 1);
    int drawn = 0;
    const QImage reduced = render(s, true, -5e5, 5e5, -110, 5, &drawn);
    const QImage full = render(s, false, -5e5, 5e5, -110, 5);
    EXPECT_EQ(differingPixels(reduced, full), 0);
    EXPECT_LE(drawn, 4 * 712);
    EXPECT_GT(drawn, 711);
}

TEST(ReducedCurve, ZoomedViewsMatchAndDrawEveryVisiblePoint)
{
    const Series s = noisySpectrum(1 << 16, 2);
    // A range holding a few thousand points, then one so narrow that points are pixels apart.
    for (double half : {2e4, 500.0}) {
        int drawn = 0;
        const QImage reduced = render(s, true, 1000.0 - half, 1000.0 + half, -90, -30, &drawn);
        const QImage full = render(s, false, 1000.0 - half, 1000.0 + half, -90, -30);
        // Qt's one-pixel line stepping may set a single end pixel of a short vertical run
        // differently when the run is drawn in another order; nothing moves further.
        EXPECT_LE(differingPixels(reduced, full), inkedPixels(full) / 100) << half;
        EXPECT_TRUE(withinOnePixel(reduced, full)) << half;
        if (half == 500.0) {
            // Every point in the window plus the neighbours just outside it.
            int inside = 0;
            for (double x : s.x)
                inside += std::fabs(x - 1000.0) <= half;
            EXPECT_GE(drawn, inside);
            EXPECT_LE(drawn, inside + 4);
        }
    }
}

TEST(ReducedCurve, NearestIndex)
{
    ReducedCurve c;
    const double x[] = {0.0, 1.0, 2.0, 3.0};
    const double y[] = {5.0, 6.0, 7.0, 8.0};
    EXPECT_EQ(c.nearestIndex(1.0), -1);
    c.setRisingSamples(x, y, 4);
    EXPECT_EQ(c.nearestIndex(-10.0), 0);
    EXPECT_EQ(c.nearestIndex(1.4), 1);
    EXPECT_EQ(c.nearestIndex(1.6), 2);
    EXPECT_EQ(c.nearestIndex(99.0), 3);
}
