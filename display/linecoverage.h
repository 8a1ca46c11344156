#pragma once

#include <QImage>
#include <QPen>
#include <QPolygonF>
#include <QTransform>

#include <cstdint>
#include <vector>

// The pixels a one-pixel polyline covers, found with the painter's own line rasteriser on a
// mask image, so they are the pixels a plain drawing would ink. A dense curve (a million
// I/Q points on a few hundred thousand pixels) inks each pixel hundreds of times; pieces
// that can only touch pixels already inked are skipped, which is what makes it fast.
class LineCoverage
{
public:
    // deviceSize and transform are those of the painter the curve would be drawn with: the
    // rasteriser clips against the device, so the mask must have the same size.
    LineCoverage(const QSize &deviceSize, const QTransform &transform, const QPen &pen);

    // Draws the polyline in the pieces the plot library hands to the painter (kPieceSegments
    // segments each, overlapping by one point): the join rules of the rasteriser act within
    // one piece, so the same cut gives the same pixels.
    void addPolyline(const QPolygonF &polyline);

    // Adds the pixels another coverage of the same device inked (a part drawn apart).
    void merge(const LineCoverage &other);

    // The covered pixels in the pen's colour on a transparent background.
    QImage colouredImage(const QColor &colour) const;
    const QImage &mask() const { return m_mask; }
    // Pieces drawn and skipped by the last addPolyline; for tests and benchmarks.
    int drawnPieces() const { return m_drawn; }
    int skippedPieces() const { return m_skipped; }

    static constexpr int kPieceSegments = 6;

private:
    bool pieceCovered(const QPointF *points, int count) const;
    bool segmentCovered(QPointF a, QPointF b) const;
    void updateInkedDistance();

    QImage m_mask;
    QTransform m_transform;
    QPen m_pen;
    // Per pixel: 0 when not inked, else 1 + the largest r for which the square of half-width
    // r around the pixel is wholly inked (the chessboard distance to the nearest pixel that
    // is not, counting everything outside the mask as not inked).
    std::vector<uint16_t> m_inkedDistance;
    int m_drawn = 0, m_skipped = 0;
};
