#include "plotzoomer.h"

#include "reducedcurve.h"

#include <qwt_picker_machine.h>
#include <qwt_plot.h>
#include <qwt_plot_panner.h>
#include <qwt_point_data.h>

namespace {

void addPanner(QWidget *canvas, Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    auto *panner = new QwtPlotPanner(canvas);  // owned by the canvas
    panner->setMouseButton(button, modifiers);
}

QString number(double v)
{
    return QString::number(v, 'g', 7);
}

}  // namespace

PlotZoomer::PlotZoomer(QWidget *canvas, ::DisplayMode mode, const ReducedCurve *curve)
    : QwtPlotZoomer(canvas, false)
    , m_mode(mode)
    , m_curve(curve)
{
    setMousePattern(QwtEventPattern::MouseSelect2, Qt::RightButton, Qt::ControlModifier);
    setMousePattern(QwtEventPattern::MouseSelect3, Qt::RightButton);
    setTrackerMode(QwtPicker::AlwaysOn);
    setRubberBandPen(QPen(Qt::white, 0, Qt::DashLine));
    setTrackerPen(QPen(Qt::white));
    addPanner(canvas, Qt::MiddleButton, Qt::NoModifier);
    addPanner(canvas, Qt::LeftButton, Qt::ControlModifier);
}

void PlotZoomer::takeCurrentAsBase()
{
    QwtPlot *p = plot();
    p->updateAxes();
    m_baseX = p->axisScaleDiv(xAxis());
    m_baseY = p->axisScaleDiv(yAxis());
    m_autoX = p->axisAutoScale(xAxis());
    m_autoY = p->axisAutoScale(yAxis());
    setZoomBase(false);
}

void PlotZoomer::rescale()
{
    QwtPlot *p = plot();
    if (!p || zoomRectIndex() != 0 || m_baseX.isEmpty()) {
        QwtPlotZoomer::rescale();
        return;
    }
    const bool doReplot = p->autoReplot();
    p->setAutoReplot(false);
    if (m_autoX)
        p->setAxisAutoScale(xAxis(), true);
    else
        p->setAxisScaleDiv(xAxis(), m_baseX);
    if (m_autoY)
        p->setAxisAutoScale(yAxis(), true);
    else
        p->setAxisScaleDiv(yAxis(), m_baseY);
    p->setAutoReplot(doReplot);
    p->replot();
}

QString PlotZoomer::readout(const QPointF &pos) const
{
    if (m_mode == ::DisplayMode::IvsQ)
        return QStringLiteral("I %1   Q %2").arg(number(pos.x()), number(pos.y()));
    const int k = m_curve ? m_curve->nearestIndex(pos.x()) : -1;
    if (k < 0)
        return QString();
    const QPointF line = m_curve->sample(size_t(k));
    const QString unit
            = m_mode == ::DisplayMode::Spectrum ? QStringLiteral(" dB") : QStringLiteral("\u00b0");
    return QStringLiteral("%1 %2   %3%4")
            .arg(number(line.x()), m_frequencyUnit, number(line.y()), unit);
}

QwtText PlotZoomer::trackerTextF(const QPointF &pos) const
{
    QwtText t(readout(pos));
    t.setColor(Qt::white);
    t.setBackgroundBrush(QColor(0, 0, 0, 160));
    return t;
}
