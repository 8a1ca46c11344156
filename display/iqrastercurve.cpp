#include "iqrastercurve.h"

#include "curvedata.h"
#include "linecoverage.h"

#include <qwt_clipper.h>
#include <qwt_painter.h>
#include <qwt_point_mapper.h>
#include <qwt_scale_map.h>

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>

#include <cmath>
#include <thread>

namespace {

// Below this many points one thread rasterises faster than two can be started and merged.
constexpr int kPointsPerThread = 100000;

// The polyline in two parts on two threads, each on its own mask, then merged: a piece is
// skipped only over pixels its own part inked, so the union is what one pass would ink. The
// cut falls on a piece boundary, so every piece is the one the plain curve draws.
LineCoverage cover(const QSize &device, const QTransform &transform, const QPen &pen,
                   const QPolygonF &polyline)
{
    LineCoverage first(device, transform, pen);
    const int n = polyline.size();
    if (n < 2 * kPointsPerThread) {
        first.addPolyline(polyline);
        return first;
    }
    const int cut = LineCoverage::kPieceSegments * (n / (2 * LineCoverage::kPieceSegments));
    LineCoverage second(device, transform, pen);
    std::thread worker([&] { second.addPolyline(polyline.mid(cut)); });
    first.addPolyline(polyline.mid(0, cut + 1));
    worker.join();
    first.merge(second);
    return first;
}

bool integerTranslation(const QTransform &t)
{
    return t.type() <= QTransform::TxTranslate && t.dx() == std::floor(t.dx())
           && t.dy() == std::floor(t.dy());
}

}  // namespace

bool IqRasterCurve::Key::operator==(const Key &o) const
{
    return xs1 == o.xs1 && xs2 == o.xs2 && xp1 == o.xp1 && xp2 == o.xp2 && ys1 == o.ys1
           && ys2 == o.ys2 && yp1 == o.yp1 && yp2 == o.yp2 && canvas == o.canvas
           && device == o.device && transform == o.transform && pen == o.pen && from == o.from
           && to == o.to && paintAttributes == o.paintAttributes;
}

IqRasterCurve::IqRasterCurve()
    : QwtPlotCurve(QString())
{}

void IqRasterCurve::setIqSamples(std::vector<double> &&i, std::vector<double> &&q)
{
    m_cached = false;
    m_image = QImage();
    setData(new CurveData(std::move(i), std::move(q)));  // the curve owns and frees it
}

bool IqRasterCurve::rasterFits(const QPainter *painter) const
{
    const QPen &pen = painter->pen();
    const QPaintDevice *device = painter->device();
    return m_raster && device && painter->paintEngine()
           && painter->paintEngine()->type() == QPaintEngine::Raster
           && device->devicePixelRatioF() == 1.0 && integerTranslation(painter->transform())
           && !painter->testRenderHint(QPainter::Antialiasing)
           && painter->compositionMode() == QPainter::CompositionMode_SourceOver
           && pen.style() == Qt::SolidLine && pen.color().alpha() == 255 && pen.widthF() <= 1.0
           && pen.brush().style() == Qt::SolidPattern && !testCurveAttribute(Fitted)
           && brush().style() == Qt::NoBrush;
}

// The points exactly as the plain curve hands them to the painter: mapped, rounded when
// the painter aligns to pixels, duplicates weeded out when asked, clipped to the canvas.
QPolygonF IqRasterCurve::devicePolyline(const QPainter *painter, const QwtScaleMap &xMap,
                                        const QwtScaleMap &yMap, const QRectF &canvasRect, int from,
                                        int to) const
{
    QwtPointMapper mapper;
    mapper.setFlag(QwtPointMapper::RoundPoints,
                   QwtPainter::roundingAlignment(const_cast<QPainter *>(painter)));
    mapper.setFlag(QwtPointMapper::WeedOutPoints, testPaintAttribute(FilterPoints));
    mapper.setBoundingRect(canvasRect);
    QPolygonF polyline = mapper.toPolygonF(xMap, yMap, data(), from, to);
    if (testPaintAttribute(ClipPolygons)) {
        const qreal pw = qMax(qreal(1.0), painter->pen().widthF());
        const QRectF clip = canvasRect.adjusted(-pw, -pw, pw, pw);
        // A polyline wholly inside (the whole view) comes out of the clipper unchanged.
        if (!clip.contains(polyline.boundingRect()))
            polyline = QwtClipper::clipPolygonF(clip, polyline);
    }
    return polyline;
}

void IqRasterCurve::drawLines(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                              const QRectF &canvasRect, int from, int to) const
{
    if (from > to)
        return;
    if (!rasterFits(painter)) {
        QwtPlotCurve::drawLines(painter, xMap, yMap, canvasRect, from, to);
        return;
    }
    Key key;
    key.xs1 = xMap.s1(), key.xs2 = xMap.s2(), key.xp1 = xMap.p1(), key.xp2 = xMap.p2();
    key.ys1 = yMap.s1(), key.ys2 = yMap.s2(), key.yp1 = yMap.p1(), key.yp2 = yMap.p2();
    key.canvas = canvasRect;
    key.device = QSize(painter->device()->width(), painter->device()->height());
    key.transform = painter->transform();
    key.pen = painter->pen();
    key.from = from, key.to = to;
    key.paintAttributes
            = testPaintAttribute(ClipPolygons) | (testPaintAttribute(FilterPoints) << 1);
    if (!m_cached || !(key == m_key)) {
        const LineCoverage coverage
                = cover(key.device, key.transform, key.pen,
                        devicePolyline(painter, xMap, yMap, canvasRect, from, to));
        m_image = coverage.colouredImage(key.pen.color());
        m_key = key;
        m_cached = true;
        ++m_rasterisations;
        m_drawnPieces = coverage.drawnPieces();
        m_skippedPieces = coverage.skippedPieces();
    }
    // The image is in device pixels; the painter's clip still applies, as it would to lines.
    painter->save();
    painter->resetTransform();
    painter->drawImage(QPointF(0, 0), m_image);
    painter->restore();
}
