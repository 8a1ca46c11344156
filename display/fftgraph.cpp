#include "fftgraph.h"

#include "compactscaledraw.h"
#include "fftgraphui.h"
#include "iqrastercurve.h"
#include "plotzoomer.h"
#include "reducedcurve.h"

#include <qwt_plot.h>
#include <qwt_plot_grid.h>

#include <QMessageBox>

#include <cmath>

namespace {

const char *const kTitles[] = {"Spectrum", "I vs. Q", "Phase"};

DisplayMode knownMode(DisplayMode mode)
{
    return (mode == DisplayMode::IvsQ || mode == DisplayMode::Phase) ? mode : DisplayMode::Spectrum;
}

// A fixed scale gets exactly its ten divisions: left to the scale engine, a tick that rounding
// puts a hair beyond an end (2400.5 MHz as 2399.5 + 10 × 0.1) would be dropped.
void applyScale(QwtPlot *plot, int axis, const AxisScale &s)
{
    if (s.automatic) {
        plot->setAxisAutoScale(axis, true);
        return;
    }
    if (!(s.step > 0.0) || !(s.max > s.min)) {
        plot->setAxisScale(axis, s.min, s.max, s.step);
        return;
    }
    const int divisions = int(std::lround((s.max - s.min) / s.step));
    QList<double> minor, major;
    for (int k = 0; k < divisions; ++k) {
        major << s.min + k * s.step;
        for (int j = 1; j < 5; ++j)
            minor << s.min + (k + j / 5.0) * s.step;
    }
    major << s.max;
    plot->setAxisScaleDiv(axis, QwtScaleDiv(s.min, s.max, minor, QList<double>(), major));
}

}  // namespace

FftGraph::FftGraph(const IqBuffer *record, QWidget *parent, const QString &styleSheet)
    : QDialog(parent)
    , m_ui(new FftGraphUi)
    , m_record(record)
{
    m_ui->setupUi(this);
    if (!styleSheet.isEmpty())
        setStyleSheet(styleSheet);
    m_ui->plt->canvas()->resize(711, 461);
    for (QwtPlot *p : {m_ui->plt, m_ui->plt2}) {
        p->setCanvasBackground(
                QColor(20, 24, 32));  // dark, so the yellow grid and grey curve stand out
        p->setAxisScaleDraw(QwtPlot::xBottom, new CompactScaleDraw);
        p->setAxisScaleDraw(QwtPlot::yLeft, new CompactScaleDraw);
    }
    // The square plot's eleven I labels need more room than its width gives them upright.
    m_ui->plt2->setAxisLabelRotation(QwtPlot::xBottom, -40.0);
    m_ui->plt2->setAxisLabelAlignment(QwtPlot::xBottom, Qt::AlignLeft | Qt::AlignBottom);

    m_grid = new QwtPlotGrid;
    m_grid->attach(m_ui->plt);  // the square plot never gets a grid
    m_grid->setPen(Qt::yellow, 0, Qt::SolidLine);
    m_grid->enableX(true);
    m_grid->enableY(true);

    const DisplayMode mode = knownMode(record->displayMode);
    if (mode == DisplayMode::IvsQ)
        setUpIvsQ();
    else
        setUpSpectral(mode);
}

FftGraph::~FftGraph() = default;

QString FftGraph::plotTitle(DisplayMode mode)
{
    return QString::fromLatin1(kTitles[static_cast<int>(knownMode(mode))]);
}

QwtPlot *FftGraph::shownPlot() const
{
    return m_ui->plt2->isHidden() ? m_ui->plt : m_ui->plt2;
}

QwtPlotCurve *FftGraph::shownCurve() const
{
    if (m_iqCurve)
        return m_iqCurve;
    return m_curve;
}

void FftGraph::setUpSpectral(DisplayMode mode)
{
    QwtPlot *plot = m_ui->plt;
    plot->setTitle(plotTitle(mode));
    m_curve = new ReducedCurve;
    m_curve->attach(plot);
    m_curve->setPen(Qt::lightGray, 0, Qt::SolidLine);
    m_ui->plt2->hide();
    plot->show();

    DisplayCurve curve;
    if (computeDisplayCurve(*m_record, mode, curve) != DisplayStatus::Ok) {
        warnNoMemory();
        return;
    }
    const FrequencyAxis &f = curve.frequency;
    for (double &x : curve.x)
        x = f.toAxis(x);
    AxisScale bottom = curve.bottom;
    bottom.min = f.toAxis(bottom.min);
    bottom.max = f.toAxis(bottom.max);
    bottom.step /= f.unitHz;
    applyScale(plot, QwtPlot::xBottom, bottom);
    applyScale(plot, QwtPlot::yLeft, curve.left);
    plot->setAxisTitle(QwtPlot::xBottom, f.title());
    plot->setAxisTitle(QwtPlot::yLeft, mode == DisplayMode::Spectrum
                                               ? QStringLiteral("Level/dB")
                                               : QStringLiteral("Phase/\u00b0"));
    m_curve->setRisingSamples(std::move(curve.x), std::move(curve.y));
    finishDrawing(plot, mode);
    m_zoomer->setFrequencyUnit(f.unit);
}

void FftGraph::setUpIvsQ()
{
    QwtPlot *plot = m_ui->plt2;
    plot->setTitle(plotTitle(DisplayMode::IvsQ));
    m_iqCurve = new IqRasterCurve;  // every point of the I-versus-Q view is drawn
    m_iqCurve->attach(plot);
    m_iqCurve->setPen(Qt::lightGray, 0, Qt::SolidLine);
    m_ui->plt->hide();
    plot->show();
    plot->setAxisAutoScale(QwtPlot::xBottom, true);
    plot->setAxisAutoScale(QwtPlot::yLeft, true);
    plot->canvas()->resize(461, 461);

    DisplayCurve curve;
    if (computeDisplayCurve(*m_record, DisplayMode::IvsQ, curve) != DisplayStatus::Ok) {
        warnNoMemory();
        return;
    }
    applyScale(plot, QwtPlot::xBottom, curve.bottom);
    applyScale(plot, QwtPlot::yLeft, curve.left);
    plot->setAxisTitle(QwtPlot::xBottom, QStringLiteral("I"));
    plot->setAxisTitle(QwtPlot::yLeft, QStringLiteral("Q"));
    m_iqCurve->setIqSamples(std::move(curve.x), std::move(curve.y));
    finishDrawing(plot, DisplayMode::IvsQ);
}

void FftGraph::finishDrawing(QwtPlot *plot, DisplayMode mode)
{
    m_computed = true;
    plot->replot();
    m_zoomer = new PlotZoomer(plot->canvas(), mode, m_curve);
    m_zoomer->takeCurrentAsBase();
}

void FftGraph::warnNoMemory()
{
    QMessageBox::warning(this, QStringLiteral("Error"), QStringLiteral("Memory not sufficient."),
                         QMessageBox::Ok);
}
