#pragma once

#include <QPolygonF>

// Thins a polyline that is already in device coordinates (points in rising x) without
// changing what a one-pixel pen draws: per pixel column it keeps the first point, the
// lowest and the highest (in the order they occur) and the last. The lines between the
// kept points cover the same column span as all the lines they replace, and the lines
// between columns keep their exact end points, so the picture stays the same while a
// million-point curve on a 700-pixel canvas draws about 3,000 points.
class ColumnReduction
{
public:
    explicit ColumnReduction(QPolygonF &out)
        : m_out(out)
    {}

    void add(const QPointF &p);
    // Emits the last column; call once after the last add().
    void finish();

private:
    void flush();
    void emitPoint(const QPointF &p);

    QPolygonF &m_out;
    bool m_open = false;
    int m_column = 0;
    QPointF m_first, m_last, m_low, m_high;
    long m_lowIndex = 0, m_highIndex = 0, m_index = 0;
};
