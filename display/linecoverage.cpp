#include "linecoverage.h"

#include <qwt_painter.h>

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr int kTile = 4;
// A pixel the rasteriser inks for a segment lies within about one pixel of the ideal line
// (rounding, end caps, pixels put back at joins). Points on the line are looked up every
// kStep pixels, so a tile counts as full only when its neighbourhood of kMargin pixels is
// inked too: comfortably more than the sum of both distances.
constexpr int kStep = 2;
constexpr int kMargin = kStep + 3;
// Pieces drawn between two updates of the full-tile table; the table only gets more tiles
// as pixels are inked, so a stale table skips less but never wrongly.
constexpr int kPiecesPerUpdate = 1024;

}  // namespace

LineCoverage::LineCoverage(const QSize &deviceSize, const QTransform &transform, const QPen &pen)
    : m_mask(deviceSize, QImage::Format_Grayscale8), m_transform(transform), m_pen(pen)
{
    m_mask.fill(0);
    m_pen.setColor(Qt::white);
    m_tilesX = (deviceSize.width() + kTile - 1) / kTile;
    m_tilesY = (deviceSize.height() + kTile - 1) / kTile;
    m_fullTile.assign(size_t(m_tilesX) * size_t(m_tilesY), 0);
}

void LineCoverage::addPolyline(const QPolygonF &polyline)
{
    m_drawn = m_skipped = 0;
    if (m_mask.isNull() || polyline.isEmpty())
        return;
    QPainter painter(&m_mask);
    painter.setTransform(m_transform);
    painter.setPen(m_pen);
    const QPointF *points = polyline.constData();
    const int count = polyline.size();
    int sinceUpdate = 0;
    for (int i = 0; i < count; i += kPieceSegments) {
        const int n = std::min(kPieceSegments + 1, count - i);
        if (pieceCovered(points + i, n)) {
            ++m_skipped;
            continue;
        }
        QwtPainter::drawPolyline(&painter, points + i, n);
        ++m_drawn;
        if (++sinceUpdate == kPiecesPerUpdate) {
            updateFullTiles();
            sinceUpdate = 0;
        }
    }
}

bool LineCoverage::pieceCovered(const QPointF *points, int count) const
{
    if (count < 2)
        return false;
    for (int k = 0; k + 1 < count; ++k)
        if (!segmentCovered(m_transform.map(points[k]), m_transform.map(points[k + 1])))
            return false;
    return true;
}

bool LineCoverage::segmentCovered(QPointF a, QPointF b) const
{
    const double length = std::max(std::fabs(b.x() - a.x()), std::fabs(b.y() - a.y()));
    const int steps = int(std::ceil(length / kStep));
    for (int s = 0; s <= steps; ++s) {
        const double t = steps ? double(s) / steps : 0.0;
        const double x = a.x() + t * (b.x() - a.x());
        const double y = a.y() + t * (b.y() - a.y());
        if (!(x >= 0.0 && y >= 0.0))  // also false for NaN
            return false;
        const int tx = int(x) / kTile, ty = int(y) / kTile;
        if (tx >= m_tilesX || ty >= m_tilesY || !m_fullTile[size_t(ty) * m_tilesX + tx])
            return false;
    }
    return true;
}

// A tile is full when every pixel of it, widened by kMargin on each side, is inked; found
// from a summed-area table of the mask. Tiles whose widened area leaves the mask stay
// empty, so lines near the edge are always drawn.
void LineCoverage::updateFullTiles()
{
    const int w = m_mask.width(), h = m_mask.height();
    std::vector<int32_t> sum(size_t(w + 1) * size_t(h + 1), 0);
    for (int y = 0; y < h; ++y) {
        const uchar *row = m_mask.constScanLine(y);
        int32_t run = 0;
        for (int x = 0; x < w; ++x) {
            run += row[x] != 0;
            sum[size_t(y + 1) * (w + 1) + x + 1] = sum[size_t(y) * (w + 1) + x + 1] + run;
        }
    }
    auto area = [&](int x0, int y0, int x1, int y1) {  // inked pixels in [x0, x1) × [y0, y1)
        return sum[size_t(y1) * (w + 1) + x1] - sum[size_t(y0) * (w + 1) + x1] - sum[size_t(y1) * (w + 1) + x0]
               + sum[size_t(y0) * (w + 1) + x0];
    };
    for (int ty = 0; ty < m_tilesY; ++ty)
        for (int tx = 0; tx < m_tilesX; ++tx) {
            const int x0 = tx * kTile - kMargin, y0 = ty * kTile - kMargin;
            const int x1 = (tx + 1) * kTile + kMargin, y1 = (ty + 1) * kTile + kMargin;
            const bool inside = x0 >= 0 && y0 >= 0 && x1 <= w && y1 <= h;
            m_fullTile[size_t(ty) * m_tilesX + tx] = inside && area(x0, y0, x1, y1) == (x1 - x0) * (y1 - y0);
        }
}

QImage LineCoverage::colouredImage(const QColor &colour) const
{
    QImage out(m_mask.size(), QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    const QRgb ink = colour.rgba();
    for (int y = 0; y < m_mask.height(); ++y) {
        const uchar *in = m_mask.constScanLine(y);
        auto *row = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < m_mask.width(); ++x)
            if (in[x])
                row[x] = ink;
    }
    return out;
}
