#pragma once

#include "spectrogramlayer.h"

#include <qwt_plot.h>

#include <QPointF>

#include <array>
#include <memory>

class PlotZoomer;
class QwtPlotMarker;
class QwtPlotSpectrogram;
class SpectrogramRaster;

// The spectrogram drawn as an image: time across (s), frequency up (Hz, centre frequency
// included), level as colour with its scale on the right. Two layers: the whole record
// (the overview) and, after a zoom, the shown part at the screen's resolution (the
// detail), which covers the overview where it has cells. Mouse: the plot zoomer's drag to
// zoom, right click back, middle drag to pan; Shift + left / right click places cursor A / B,
// whose difference measures a burst's duration and bandwidth.
class SpectrogramPlot : public QwtPlot
{
    Q_OBJECT

public:
    explicit SpectrogramPlot(QWidget *parent = nullptr);
    ~SpectrogramPlot() override;

    void setOverview(SpectrogramLayer layer);
    void setDetail(SpectrogramLayer layer);
    const SpectrogramLayer *overview() const;
    // Scales to the overview's extent and makes that the zoomer's first view.
    void showWhole();

    void setLevelRange(double low, double high);
    double levelLow() const { return m_low; }
    double levelHigh() const { return m_high; }
    static QStringList colourMapNames();
    void setColourMap(int index);
    int colourMap() const { return m_colourMap; }

    // The level shown at (t, f), NaN where nothing is computed.
    double levelAt(const QPointF &pos) const;
    QString readout(const QPointF &pos) const;

    // Cursor 0 (A) or 1 (B) at (t, f); the measurement text names both and their differences.
    void setCursorAt(int which, const QPointF &pos);
    bool cursorSet(int which) const { return m_cursorSet[size_t(which)]; }
    QPointF cursorAt(int which) const { return m_cursor[size_t(which)]; }
    QString measurement() const;

    PlotZoomer *zoomer() const { return m_zoomer; }

signals:
    void cursorsChanged();
    // The readout under the mouse, empty when it leaves the canvas.
    void hovered(const QString &readout);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    double binWidth() const;   // Hz
    double frameStep() const;  // s
    void applyColours();

    QwtPlotSpectrogram *m_image = nullptr;       // owned by the plot
    SpectrogramRaster *m_raster = nullptr;       // owned by m_image
    PlotZoomer *m_zoomer = nullptr;              // owned by the canvas
    std::array<QwtPlotMarker *, 2> m_markers{};  // owned by the plot
    std::array<QPointF, 2> m_cursor{};
    std::array<bool, 2> m_cursorSet{};
    double m_low = -120.0, m_high = 0.0;
    int m_colourMap = 0;
};
