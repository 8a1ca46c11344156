#include "reducedcurve.h"

#include "columnreduction.h"
#include "curvedata.h"

#include <qwt_clipper.h>
#include <qwt_painter.h>
#include <qwt_scale_map.h>

#include <QPainter>

#include <algorithm>
#include <cmath>

ReducedCurve::ReducedCurve()
    : QwtPlotCurve(QString())
{}

void ReducedCurve::setRisingSamples(std::vector<double> &&x, std::vector<double> &&y)
{
    m_rising = std::is_sorted(x.begin(), x.end());
    setData(new CurveData(std::move(x), std::move(y)));  // the curve owns and frees it
}

void ReducedCurve::setRisingSamples(const double *x, const double *y, int count)
{
    setRisingSamples(std::vector<double>(x, x + count), std::vector<double>(y, y + count));
}

const CurveData *ReducedCurve::points() const
{
    return dynamic_cast<const CurveData *>(data());
}

int ReducedCurve::nearestIndex(double x) const
{
    const CurveData *d = points();
    if (!d || d->size() == 0)
        return -1;
    const std::vector<double> &xs = d->x();
    const int size = int(xs.size());
    if (!m_rising) {
        int best = 0;
        for (int i = 1; i < size; ++i)
            if (std::fabs(xs[i] - x) < std::fabs(xs[best] - x))
                best = i;
        return best;
    }
    const int hi = int(std::lower_bound(xs.begin(), xs.end(), x) - xs.begin());
    if (hi == 0)
        return 0;
    if (hi == size)
        return hi - 1;
    return (xs[hi] - x < x - xs[hi - 1]) ? hi : hi - 1;
}

void ReducedCurve::drawLines(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                             const QRectF &canvasRect, int from, int to) const
{
    const bool plain = !m_reduce || !m_rising || !points() || xMap.transformation()
                       || testCurveAttribute(Fitted) || brush().style() != Qt::NoBrush;
    if (plain || from > to) {
        m_lastDrawn = std::max(0, to - from + 1);
        QwtPlotCurve::drawLines(painter, xMap, yMap, canvasRect, from, to);
        return;
    }
    // The same rounding and clipping the plain curve applies, so the pixels agree.
    const bool round = QwtPainter::roundingAlignment(painter);
    QPolygonF polyline = reducedPolyline(xMap, yMap, canvasRect, from, to, round);
    m_lastDrawn = polyline.size();
    if (testPaintAttribute(ClipPolygons)) {
        const qreal pw = qMax(qreal(1.0), painter->pen().widthF());
        polyline = QwtClipper::clipPolygonF(canvasRect.adjusted(-pw, -pw, pw, pw), polyline);
    }
    QwtPainter::drawPolyline(painter, polyline);
}

QPolygonF ReducedCurve::reducedPolyline(const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                                        const QRectF &canvasRect, int from, int to,
                                        bool round) const
{
    const double *xs = points()->x().data();
    const double *ys = points()->y().data();
    // Only the points over the canvas (with a margin) and one neighbour on either side, so
    // the lines that enter and leave the canvas are the ones a full drawing would give.
    double x1 = xMap.invTransform(canvasRect.left() - 2.0);
    double x2 = xMap.invTransform(canvasRect.right() + 2.0);
    if (x1 > x2)
        std::swap(x1, x2);
    int lo = int(std::lower_bound(xs + from, xs + to + 1, x1) - xs);
    int hi = int(std::upper_bound(xs + from, xs + to + 1, x2) - xs);
    lo = std::max(from, lo - 1);
    hi = std::min(to, hi);

    QPolygonF out;
    out.reserve(std::min(hi - lo + 1, 4 * int(canvasRect.width() + 8)));
    ColumnReduction reduction(out);
    for (int i = lo; i <= hi; ++i) {
        double px = xMap.transform(xs[i]);
        double py = yMap.transform(ys[i]);
        if (round) {
            px = qRound(px);
            py = qRound(py);
        }
        reduction.add(QPointF(px, py));
    }
    reduction.finish();
    return out;
}
