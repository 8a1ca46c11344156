#pragma once

#include <qwt_series_data.h>

#include <vector>

// The points of a curve, held in two arrays that the curve owns. Taking the arrays over by
// move spares a copy of a million-point view.
class CurveData : public QwtSeriesData<QPointF>
{
public:
    CurveData(std::vector<double> &&x, std::vector<double> &&y);

    size_t size() const override { return m_x.size(); }
    QPointF sample(size_t i) const override { return QPointF(m_x[i], m_y[i]); }
    QRectF boundingRect() const override;

    const std::vector<double> &x() const { return m_x; }
    const std::vector<double> &y() const { return m_y; }

private:
    std::vector<double> m_x, m_y;
};
