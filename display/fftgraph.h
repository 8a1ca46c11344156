#pragma once

#include "appsettings.h"
#include "displaycurve.h"
#include "iqbuffer.h"

#include <QDialog>

#include <memory>

struct FftGraphUi;
class PlotZoomer;
class QwtPlot;
class QwtPlotGrid;
class ReducedCurve;

// The modal window that draws one view of a record: the spectrum, the phase of each
// spectral line, or I against Q, as the record's displayMode asks. It computes the view
// once while it is built and shows it until closed; nothing survives its closing.
class FftGraph : public QDialog
{
    Q_OBJECT

public:
    // record and settings are read, never changed, and must outlive the dialog's constructor.
    // styleSheet is the application's common style sheet (empty: inherit the application's).
    FftGraph(const IqBuffer *record, const AppSettings *settings, QWidget *parent = nullptr,
             const QString &styleSheet = QString());
    ~FftGraph() override;

    // The title of each view, indexed by DisplayMode.
    static QString plotTitle(DisplayMode mode);

    // The plot that shows the view, its curve, and whether the view could be computed.
    QwtPlot *shownPlot() const;
    ReducedCurve *curve() const { return m_curve; }
    PlotZoomer *zoomer() const { return m_zoomer; }
    bool computed() const { return m_computed; }

private:
    void setUpSpectral(DisplayMode mode);
    void setUpIvsQ();
    void drawCurve(QwtPlot *plot, DisplayCurve &curve);  // takes the curve's points over
    void warnNoMemory();

    std::unique_ptr<FftGraphUi> m_ui;
    const IqBuffer *m_record;
    const AppSettings *m_settings;
    ReducedCurve *m_curve = nullptr;  // owned by the plot it is attached to
    QwtPlotGrid *m_grid = nullptr;    // owned by plt
    PlotZoomer *m_zoomer = nullptr;   // owned by the shown plot's canvas
    bool m_computed = false;
};
