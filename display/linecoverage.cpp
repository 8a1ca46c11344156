#include "linecoverage.h"

#include <qwt_painter.h>

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// A pixel the rasteriser inks for a segment lies within one and a half pixels of the ideal
// line (rounding across the line, half-pixel end caps, a pixel put back at a join); a
// looked-up point is rounded by up to half a pixel more. Two pixels of margin cover both.
constexpr int kMargin = 2;
// The distance table is brought up to date after this many drawn pieces, then after half
// a quarter of those drawn so far: a dense curve saturates early, and a stale table skips
// less but never wrongly (the inked pixels only grow).
constexpr int kFirstUpdate = 512;

}  // namespace

LineCoverage::LineCoverage(const QSize &deviceSize, const QTransform &transform, const QPen &pen)
    : m_mask(deviceSize, QImage::Format_ARGB32_Premultiplied)
    , m_transform(transform)
    , m_pen(pen)
{
    m_mask.fill(0);
    m_pen.setColor(Qt::white);
    m_inkedDistance.assign(size_t(deviceSize.width()) * size_t(deviceSize.height()), 0);
}

void LineCoverage::addPolyline(const QPolygonF &polyline)
{
    m_drawn = m_skipped = 0;
    if (m_mask.isNull() || polyline.isEmpty())
        return;
    QPainter painter(&m_mask);
    // With a clip the rasteriser writes through its span path, several times faster here
    // than its direct path without one; the device rect clips nothing, and the pixels the
    // lines get do not depend on it.
    painter.setClipRect(m_mask.rect());
    painter.setTransform(m_transform);
    painter.setPen(m_pen);
    const QPointF *points = polyline.constData();
    const int count = polyline.size();
    int nextUpdate = kFirstUpdate;
    for (int i = 0; i < count; i += kPieceSegments) {
        const int n = std::min(kPieceSegments + 1, count - i);
        if (pieceCovered(points + i, n)) {
            ++m_skipped;
            continue;
        }
        QwtPainter::drawPolyline(&painter, points + i, n);
        if (++m_drawn == nextUpdate) {
            updateInkedDistance();
            nextUpdate += std::max(kFirstUpdate, m_drawn / 4);
        }
    }
}

bool LineCoverage::pieceCovered(const QPointF *points, int count) const
{
    if (count < 2)
        return false;
    // The painter only translates (or does nothing): device point = point + offset.
    const QPointF offset(m_transform.dx(), m_transform.dy());
    for (int k = 0; k + 1 < count; ++k)
        if (!segmentCovered(points[k] + offset, points[k + 1] + offset))
            return false;
    return true;
}

// Walks the segment in jumps: around a looked-up point whose inked square has half-width
// r, every point of the next r - kMargin pixels along the line (in chessboard steps) has its
// pixels inside that square.
bool LineCoverage::segmentCovered(QPointF a, QPointF b) const
{
    const int w = m_mask.width(), h = m_mask.height();
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    const double length = std::max(std::fabs(dx), std::fabs(dy));
    const double ux = length > 0.0 ? dx / length : 0.0, uy = length > 0.0 ? dy / length : 0.0;
    double t = 0.0;
    for (;;) {
        const double x = a.x() + t * ux + 0.5, y = a.y() + t * uy + 0.5;
        if (!(x >= 0.0 && y >= 0.0 && x < w && y < h))  // also false for NaN
            return false;
        // Both are positive here, so truncation rounds to the nearest pixel.
        const int reach
                = int(m_inkedDistance[size_t(int(y)) * size_t(w) + size_t(int(x))]) - 1 - kMargin;
        if (reach < 1)
            return false;
        if (t >= length)
            return true;
        t = std::min(t + reach, length);
    }
}

// Two passes of the chessboard distance transform over the mask.
void LineCoverage::updateInkedDistance()
{
    const int w = m_mask.width(), h = m_mask.height();
    uint16_t *d = m_inkedDistance.data();
    auto at = [&](int x, int y) -> int {
        return (x < 0 || y < 0 || x >= w || y >= h) ? 0 : d[size_t(y) * w + x];
    };
    for (int y = 0; y < h; ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(m_mask.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            int v = 0;
            if (row[x])
                v = 1 + std::min({at(x - 1, y), at(x - 1, y - 1), at(x, y - 1), at(x + 1, y - 1)});
            d[size_t(y) * w + x] = uint16_t(v);
        }
    }
    for (int y = h - 1; y >= 0; --y)
        for (int x = w - 1; x >= 0; --x) {
            const int v = d[size_t(y) * w + x];
            if (v == 0)
                continue;
            const int n
                    = 1
                      + std::min({at(x + 1, y), at(x + 1, y + 1), at(x, y + 1), at(x - 1, y + 1)});
            d[size_t(y) * w + x] = uint16_t(std::min(v, n));
        }
}

void LineCoverage::merge(const LineCoverage &other)
{
    if (other.m_mask.size() != m_mask.size())
        return;
    for (int y = 0; y < m_mask.height(); ++y) {
        auto *to = reinterpret_cast<QRgb *>(m_mask.scanLine(y));
        const auto *from = reinterpret_cast<const QRgb *>(other.m_mask.constScanLine(y));
        for (int x = 0; x < m_mask.width(); ++x)
            to[x] |= from[x];
    }
    m_drawn += other.m_drawn;
    m_skipped += other.m_skipped;
}

QImage LineCoverage::colouredImage(const QColor &colour) const
{
    QImage out(m_mask.size(), QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    const QRgb ink = colour.rgba();
    for (int y = 0; y < m_mask.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(m_mask.constScanLine(y));
        auto *row = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < m_mask.width(); ++x)
            if (in[x])
                row[x] = ink;
    }
    return out;
}
