#pragma once

#include "displaycurve.h"
#include "iqbuffer.h"

#include <QDialog>

#include <memory>

struct FftGraphUi;
class PlotZoomer;
class QwtPlot;
class QwtPlotGrid;
class IqRasterCurve;
class QwtPlotCurve;
class ReducedCurve;

// The modal window that draws one view of a record: the spectrum, the phase of each
// spectral line, or I against Q, as the record's displayMode asks. It computes the view
// once while it is built and shows it until closed; nothing survives its closing.
class FftGraph : public QDialog
{
    Q_OBJECT

public:
    // record is read, never changed, and must outlive the dialog's constructor.
    // styleSheet is the application's common style sheet (empty: inherit the application's).
    explicit FftGraph(const IqBuffer *record, QWidget *parent = nullptr,
                      const QString &styleSheet = QString());
    ~FftGraph() override;

    // The title of each view, indexed by DisplayMode.
    static QString plotTitle(DisplayMode mode);

    // The plot that shows the view, its curve, and whether the view could be computed.
    // curve() is the spectrum or phase curve, iqCurve() the I-versus-Q one; the other is null.
    QwtPlot *shownPlot() const;
    QwtPlotCurve *shownCurve() const;
    ReducedCurve *curve() const { return m_curve; }
    IqRasterCurve *iqCurve() const { return m_iqCurve; }
    PlotZoomer *zoomer() const { return m_zoomer; }
    bool computed() const { return m_computed; }

private:
    void setUpSpectral(DisplayMode mode);
    void setUpIvsQ();
    void finishDrawing(QwtPlot *plot, DisplayMode mode);
    void warnNoMemory();

    std::unique_ptr<FftGraphUi> m_ui;
    const IqBuffer *m_record;
    ReducedCurve *m_curve = nullptr;     // owned by the plot it is attached to
    IqRasterCurve *m_iqCurve = nullptr;  // owned by the plot it is attached to
    QwtPlotGrid *m_grid = nullptr;       // owned by plt
    PlotZoomer *m_zoomer = nullptr;      // owned by the shown plot's canvas
    bool m_computed = false;
};
