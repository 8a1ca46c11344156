#pragma once

#include "iqbuffer.h"

#include <qwt_plot_zoomer.h>
#include <qwt_scale_div.h>

class ReducedCurve;

// Mouse navigation of one plot: drag a rectangle with the left button to zoom in, right
// click for one step back, Ctrl + right click for the first view; drag with the middle
// button (or Ctrl + left) to pan. While the mouse is over the canvas it reads out the
// value there: the nearest spectral line for the spectrum and phase views, the I and Q
// under the cursor for the I-versus-Q view. Going back to the first view restores its
// scales exactly: ticks included, and an automatically scaled axis scales itself again.
class PlotZoomer : public QwtPlotZoomer
{
public:
    PlotZoomer(QWidget *canvas, ::DisplayMode mode, const ReducedCurve *curve);

    // Takes the plot's current scales as the first view.
    void takeCurrentAsBase();
    // The readout shown for a position in plot coordinates.
    QString readout(const QPointF &pos) const;
    // The unit the frequency axis shows (the readout names it): "Hz", "kHz", "MHz" or "GHz".
    void setFrequencyUnit(const QString &unit) { m_frequencyUnit = unit; }

protected:
    QwtText trackerTextF(const QPointF &pos) const override;
    void rescale() override;

private:
    ::DisplayMode m_mode;
    const ReducedCurve *m_curve;
    QwtScaleDiv m_baseX, m_baseY;
    bool m_autoX = false, m_autoY = false;
    QString m_frequencyUnit = QStringLiteral("Hz");
};
