#include "curvedata.h"

#include <algorithm>
#include <cmath>

CurveData::CurveData(std::vector<double> &&x, std::vector<double> &&y)
    : m_x(std::move(x))
    , m_y(std::move(y))
{
    m_y.resize(m_x.size());
}

QRectF CurveData::boundingRect() const
{
    if (d_boundingRect.width() >= 0.0)
        return d_boundingRect;
    double x1 = INFINITY, x2 = -INFINITY, y1 = INFINITY, y2 = -INFINITY;
    for (size_t i = 0; i < m_x.size(); ++i) {
        // std::min/max with the new value second skip NaN points.
        x1 = std::min(x1, m_x[i]);
        x2 = std::max(x2, m_x[i]);
        y1 = std::min(y1, m_y[i]);
        y2 = std::max(y2, m_y[i]);
    }
    d_boundingRect = x1 <= x2 && y1 <= y2 ? QRectF(x1, y1, x2 - x1, y2 - y1)
                                          : QRectF(1.0, 1.0, -2.0, -2.0);
    return d_boundingRect;
}
