#include "columnreduction.h"

#include <cmath>

void ColumnReduction::add(const QPointF &p)
{
    const int column = static_cast<int>(std::floor(p.x() + 0.5));
    if (!m_open || column != m_column) {
        if (m_open)
            flush();
        m_open = true;
        m_column = column;
        m_first = m_last = m_low = m_high = p;
        m_lowIndex = m_highIndex = m_index;
    } else {
        m_last = p;
        if (p.y() < m_low.y()) {
            m_low = p;
            m_lowIndex = m_index;
        }
        if (p.y() > m_high.y()) {
            m_high = p;
            m_highIndex = m_index;
        }
    }
    ++m_index;
}

void ColumnReduction::finish()
{
    if (m_open)
        flush();
    m_open = false;
}

void ColumnReduction::flush()
{
    emitPoint(m_first);
    if (m_lowIndex < m_highIndex) {
        emitPoint(m_low);
        emitPoint(m_high);
    } else {
        emitPoint(m_high);
        emitPoint(m_low);
    }
    emitPoint(m_last);
}

void ColumnReduction::emitPoint(const QPointF &p)
{
    if (m_out.isEmpty() || m_out.last() != p)
        m_out.append(p);
}
