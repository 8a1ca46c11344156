#pragma once

#include <qwt_plot_curve.h>

#include <QImage>
#include <QTransform>

#include <vector>

// The I-versus-Q curve: every segment between consecutive points, as a plain curve draws
// it, but rasterised once into an image of the canvas and redrawn from that image until
// the scales, the canvas or the data change (a zoom, a resize, new samples). A million
// points then cost one rasterisation instead of one per paint, and the rasterisation skips
// segments over pixels already inked (see LineCoverage). Painters the image cannot stand
// in for exactly (scaled, antialiased, wide or translucent pens, printers) get the plain
// drawing.
class IqRasterCurve : public QwtPlotCurve
{
public:
    IqRasterCurve();

    void setIqSamples(std::vector<double> &&i, std::vector<double> &&q);
    void setRaster(bool on) { m_raster = on; }
    // Rasterisations so far, and pieces drawn / skipped by the last one; for tests and benchmarks.
    int rasterisations() const { return m_rasterisations; }
    int lastDrawnPieces() const { return m_drawnPieces; }
    int lastSkippedPieces() const { return m_skippedPieces; }

protected:
    void drawLines(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                   const QRectF &canvasRect, int from, int to) const override;

private:
    struct Key
    {
        double xs1 = 0, xs2 = 0, xp1 = 0, xp2 = 0, ys1 = 0, ys2 = 0, yp1 = 0, yp2 = 0;
        QRectF canvas;
        QSize device;
        QTransform transform;
        QPen pen;
        int from = 0, to = -1, paintAttributes = 0;
        bool operator==(const Key &o) const;
    };

    bool rasterFits(const QPainter *painter) const;
    QPolygonF devicePolyline(const QPainter *painter, const QwtScaleMap &xMap,
                             const QwtScaleMap &yMap, const QRectF &canvasRect, int from,
                             int to) const;

    bool m_raster = true;
    mutable bool m_cached = false;
    mutable Key m_key;
    mutable QImage m_image;
    mutable int m_rasterisations = 0, m_drawnPieces = 0, m_skippedPieces = 0;
};
