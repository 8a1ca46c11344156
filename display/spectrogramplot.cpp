#include "spectrogramplot.h"

#include "compactscaledraw.h"
#include "plotzoomer.h"
#include "resolutiontext.h"

#include <qwt_color_map.h>
#include <qwt_plot_marker.h>
#include <qwt_plot_spectrogram.h>
#include <qwt_raster_data.h>
#include <qwt_scale_widget.h>

#include <QMouseEvent>

#include <cmath>
#include <limits>

// The two layers as the image item reads them, pixel by pixel.
class SpectrogramRaster : public QwtRasterData
{
public:
    SpectrogramLayer overview, detail;

    double value(double x, double y) const override
    {
        const double v = detail.levelAt(x, y);
        return std::isnan(v) ? overview.levelAt(x, y) : v;
    }
};

namespace {

struct ColourMapRow
{
    const char *name;
    std::vector<std::pair<double, QColor>> stops;  // position 0 … 1 and colour
};

const std::vector<ColourMapRow> &colourMaps()
{
    static const std::vector<ColourMapRow> maps = {
            {"Night",
             {{0.0, QColor(0, 0, 0)},
              {0.35, QColor(20, 30, 140)},
              {0.6, QColor(0, 170, 200)},
              {0.85, QColor(250, 230, 60)},
              {1.0, QColor(255, 255, 255)}}},
            {"Heat",
             {{0.0, QColor(0, 0, 0)},
              {0.4, QColor(170, 0, 0)},
              {0.75, QColor(255, 200, 0)},
              {1.0, QColor(255, 255, 255)}}},
            {"Rainbow",
             {{0.0, QColor(0, 0, 120)},
              {0.25, QColor(0, 120, 255)},
              {0.5, QColor(0, 210, 90)},
              {0.75, QColor(255, 220, 0)},
              {1.0, QColor(220, 0, 0)}}},
            {"Grey", {{0.0, QColor(0, 0, 0)}, {1.0, QColor(255, 255, 255)}}},
    };
    return maps;
}

QwtLinearColorMap *makeColourMap(int index)
{
    const ColourMapRow &row = colourMaps()[size_t(index)];
    auto *map = new QwtLinearColorMap(row.stops.front().second, row.stops.back().second);
    for (size_t k = 1; k + 1 < row.stops.size(); ++k)
        map->addColorStop(row.stops[k].first, row.stops[k].second);
    return map;
}

}  // namespace

SpectrogramPlot::SpectrogramPlot(QWidget *parent)
    : QwtPlot(parent)
{
    setCanvasBackground(QColor(20, 24, 32));
    m_image = new QwtPlotSpectrogram;
    m_raster = new SpectrogramRaster;
    m_image->setData(m_raster);
    m_image->attach(this);
    setAxisScaleDraw(QwtPlot::xBottom, new CompactScaleDraw);
    setAxisScaleDraw(QwtPlot::yLeft, new CompactScaleDraw);
    setAxisTitle(QwtPlot::xBottom, QStringLiteral("Time/s"));
    setAxisTitle(QwtPlot::yLeft, QStringLiteral("Frequency/Hz"));
    setAxisTitle(QwtPlot::yRight, QStringLiteral("Level/dB (10\u00b7log10 power)"));
    enableAxis(QwtPlot::yRight);
    axisWidget(QwtPlot::yRight)->setColorBarEnabled(true);
    axisWidget(QwtPlot::yRight)->setColorBarWidth(14);
    for (size_t k = 0; k < m_markers.size(); ++k) {
        auto *m = new QwtPlotMarker;
        m->setLineStyle(QwtPlotMarker::Cross);
        m->setLinePen(k == 0 ? QColor(255, 80, 80) : QColor(80, 255, 120), 0, Qt::DashLine);
        m->setLabel(QwtText(k == 0 ? QStringLiteral("A") : QStringLiteral("B")));
        m->setLabelAlignment(Qt::AlignRight | Qt::AlignTop);
        m->setVisible(false);
        m->attach(this);
        m_markers[k] = m;
    }
    m_zoomer = new PlotZoomer(canvas(), ::DisplayMode::Spectrum, nullptr);
    m_zoomer->setTrackerMode(QwtPicker::AlwaysOff);  // the window shows the readout under the plot
    canvas()->installEventFilter(this);
    canvas()->setMouseTracking(true);
    applyColours();
}

SpectrogramPlot::~SpectrogramPlot() = default;

void SpectrogramPlot::setOverview(SpectrogramLayer layer)
{
    m_raster->overview = std::move(layer);
    m_raster->detail = SpectrogramLayer();
    const SpectrogramLayer &o = m_raster->overview;
    m_raster->setInterval(Qt::XAxis, QwtInterval(o.timeBegin(), o.timeEnd()));
    m_raster->setInterval(Qt::YAxis, QwtInterval(o.frequencyBegin(), o.frequencyEnd()));
    m_image->invalidateCache();
    replot();
}

void SpectrogramPlot::setDetail(SpectrogramLayer layer)
{
    m_raster->detail = std::move(layer);
    m_image->invalidateCache();
    replot();
}

const SpectrogramLayer *SpectrogramPlot::overview() const
{
    return &m_raster->overview;
}

void SpectrogramPlot::showWhole()
{
    const SpectrogramLayer &o = m_raster->overview;
    if (o.empty())
        return;
    setAxisScale(QwtPlot::xBottom, o.timeBegin(), o.timeEnd());
    setAxisScale(QwtPlot::yLeft, o.frequencyBegin(), o.frequencyEnd());
    replot();
    m_zoomer->takeCurrentAsBase();
}

QStringList SpectrogramPlot::colourMapNames()
{
    QStringList names;
    for (const ColourMapRow &row : colourMaps())
        names << QString::fromLatin1(row.name);
    return names;
}

void SpectrogramPlot::setColourMap(int index)
{
    if (index < 0 || index >= int(colourMaps().size()))
        return;
    m_colourMap = index;
    applyColours();
}

void SpectrogramPlot::setLevelRange(double low, double high)
{
    if (!(high > low))
        return;
    m_low = low;
    m_high = high;
    applyColours();
}

void SpectrogramPlot::applyColours()
{
    const QwtInterval range(m_low, m_high);
    m_raster->setInterval(Qt::ZAxis, range);
    m_image->setColorMap(makeColourMap(m_colourMap));
    axisWidget(QwtPlot::yRight)->setColorMap(range, makeColourMap(m_colourMap));
    setAxisScale(QwtPlot::yRight, m_low, m_high);
    m_image->invalidateCache();
    replot();
}

double SpectrogramPlot::levelAt(const QPointF &pos) const
{
    return m_raster->value(pos.x(), pos.y());
}

QString SpectrogramPlot::readout(const QPointF &pos) const
{
    const double level = levelAt(pos);
    const QString levelText
            = std::isnan(level) ? QStringLiteral("–") : QString::number(level, 'f', 1) + " dB";
    return QStringLiteral("t %1   f %2   %3")
            .arg(timeToResolution(pos.x(), frameStep()), frequencyToResolution(pos.y(), binWidth()),
                 levelText);
}

// What one cell of the finest layer shown spans: no position is known more closely.
double SpectrogramPlot::binWidth() const
{
    const SpectrogramLayer &l = m_raster->detail.empty() ? m_raster->overview : m_raster->detail;
    return l.fftSize > 0 ? l.sampleRate / l.fftSize : 0.0;
}

double SpectrogramPlot::frameStep() const
{
    const SpectrogramLayer &l = m_raster->detail.empty() ? m_raster->overview : m_raster->detail;
    return l.sampleRate > 0.0 ? l.hop / l.sampleRate : 0.0;
}

void SpectrogramPlot::setCursorAt(int which, const QPointF &pos)
{
    const size_t k = size_t(which);
    m_cursor[k] = pos;
    m_cursorSet[k] = true;
    m_markers[k]->setValue(pos);
    m_markers[k]->setVisible(true);
    replot();
    emit cursorsChanged();
}

QString SpectrogramPlot::measurement() const
{
    QStringList parts;
    for (size_t k = 0; k < 2; ++k)
        if (m_cursorSet[k])
            parts << QStringLiteral("%1: %2, %3")
                             .arg(k == 0 ? "A" : "B",
                                  timeToResolution(m_cursor[k].x(), frameStep()),
                                  frequencyToResolution(m_cursor[k].y(), binWidth()));
    if (m_cursorSet[0] && m_cursorSet[1])
        parts << QStringLiteral("\u0394t %1   \u0394f %2")
                         .arg(timeToResolution(std::fabs(m_cursor[1].x() - m_cursor[0].x()),
                                               frameStep()),
                              frequencyToResolution(std::fabs(m_cursor[1].y() - m_cursor[0].y()),
                                                    binWidth()));
    if (parts.isEmpty())
        return QStringLiteral("Shift + left / right click: cursor A / B");
    return parts.join(QStringLiteral("   "));
}

bool SpectrogramPlot::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == canvas() && event->type() == QEvent::MouseMove) {
        const QPoint p = static_cast<QMouseEvent *>(event)->pos();
        emit hovered(readout(QPointF(invTransform(QwtPlot::xBottom, p.x()),
                                     invTransform(QwtPlot::yLeft, p.y()))));
    } else if (watched == canvas() && event->type() == QEvent::Leave) {
        emit hovered(QString());
    }
    if (watched == canvas() && event->type() == QEvent::MouseButtonPress) {
        auto *e = static_cast<QMouseEvent *>(event);
        if (e->modifiers() == Qt::ShiftModifier
            && (e->button() == Qt::LeftButton || e->button() == Qt::RightButton)) {
            const QPointF pos(invTransform(QwtPlot::xBottom, e->pos().x()),
                              invTransform(QwtPlot::yLeft, e->pos().y()));
            setCursorAt(e->button() == Qt::LeftButton ? 0 : 1, pos);
            return true;
        }
    }
    return QwtPlot::eventFilter(watched, event);
}
