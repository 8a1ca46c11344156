#pragma once

#include <qwt_plot_curve.h>

#include <vector>

class CurveData;

// A curve over points with rising x (the frequency points) that draws only what the
// current scales make visible, thinned per pixel column (see ColumnReduction). The work
// is redone on every paint, so a zoomed view goes back to showing every point. Points are
// kept in full (the curve's own copy), so autoscaling and readouts see all of them.
class ReducedCurve : public QwtPlotCurve
{
public:
    ReducedCurve();

    // x must rise (or stay level) along the array; without that the curve draws every
    // point as a plain curve does.
    void setRisingSamples(std::vector<double> &&x, std::vector<double> &&y);
    void setRisingSamples(const double *x, const double *y, int count);
    void setReduction(bool on) { m_reduce = on; }
    bool reduction() const { return m_reduce; }
    // Points drawn by the last paint; for tests and benchmarks.
    int lastDrawnPoints() const { return m_lastDrawn; }

    // Index of the point whose x is closest to x, or -1 without points.
    int nearestIndex(double x) const;

protected:
    void drawLines(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                   const QRectF &canvasRect, int from, int to) const override;

private:
    const CurveData *points() const;
    QPolygonF reducedPolyline(const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                              const QRectF &canvasRect, int from, int to, bool round) const;

    bool m_reduce = true;
    bool m_rising = false;
    mutable int m_lastDrawn = 0;
};
