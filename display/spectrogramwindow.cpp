#include "spectrogramwindow.h"

#include "plotzoomer.h"
#include "spectrogramjob.h"
#include "spectrogramlayer.h"
#include "spectrogramplot.h"

#include <qwt_scale_widget.h>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

QString megabytes(double bytes)
{
    return QString::number(bytes / 1e6, 'f', bytes < 1e7 ? 1 : 0) + QStringLiteral(" MB");
}

}  // namespace

SpectrogramWindow::SpectrogramWindow(const IqBuffer &record, double sampleRate, QWidget *parent)
    : QDialog(parent)
    , m_record(record)
    , m_sampleRate(sampleRate > 0.0 ? sampleRate : 1.0)
{
    setObjectName(QStringLiteral("SpectrogramWindow"));
    setWindowTitle(QStringLiteral("Spectrogram"));
    resize(1000, 640);
    m_plot = new SpectrogramPlot(this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(buildControls());
    layout->addWidget(m_plot, 1);
    m_readout = new QLabel(this);
    m_cursors = new QLabel(m_plot->measurement(), this);
    auto *texts = new QHBoxLayout;
    texts->addWidget(m_readout, 1);
    texts->addWidget(m_cursors);
    layout->addLayout(texts);
    layout->addWidget(buildStatusBar());

    m_poll = new QTimer(this);
    m_poll->setInterval(50);
    connect(m_poll, &QTimer::timeout, this, &SpectrogramWindow::poll);
    m_settle = new QTimer(this);  // a zoom or pan settles before the shown part is computed
    m_settle->setSingleShot(true);
    m_settle->setInterval(150);
    connect(m_settle, &QTimer::timeout, this, &SpectrogramWindow::computeShownPart);
    connect(m_plot->zoomer(), &QwtPlotZoomer::zoomed, this, &SpectrogramWindow::viewChanged);
    for (int axis : {int(QwtPlot::xBottom), int(QwtPlot::yLeft)})  // zoom and pan change them
        connect(m_plot->axisWidget(axis), &QwtScaleWidget::scaleDivChanged, this,
                &SpectrogramWindow::viewChanged);
    connect(m_plot, &SpectrogramPlot::hovered, m_readout, &QLabel::setText);
    connect(m_plot, &SpectrogramPlot::cursorsChanged, this,
            [this] { m_cursors->setText(m_plot->measurement()); });
    // The record's extent from the start, so the axes keep their widths when the picture comes.
    m_plot->setAxisScale(QwtPlot::xBottom, 0.0, double(m_record.heldCount()) / m_sampleRate);
    m_plot->setAxisScale(QwtPlot::yLeft, m_record.centerFrequency - m_sampleRate / 2,
                         m_record.centerFrequency + m_sampleRate / 2);
}

// The first computation waits for the window to be laid out, so its cells match the canvas.
void SpectrogramWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_started)
        QTimer::singleShot(0, this, [this] {
            if (!m_started)
                recompute();
        });
}

SpectrogramWindow::~SpectrogramWindow() = default;

QWidget *SpectrogramWindow::buildControls()
{
    auto *bar = new QWidget(this);
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    m_fft = new QComboBox(bar);
    for (int n = kMinSpectrogramFft; n <= kMaxSpectrogramFft; n *= 2)
        m_fft->addItem(QString::number(n), n);
    m_fft->setCurrentText(QStringLiteral("1024"));
    m_overlap = new QComboBox(bar);
    for (int pct : {0, 25, 50, 75})
        m_overlap->addItem(QStringLiteral("%1 %").arg(pct), pct);
    m_reduction = new QComboBox(bar);
    m_reduction->addItem(QStringLiteral("Peak"), int(CellReduction::Peak));
    m_reduction->addItem(QStringLiteral("Mean"), int(CellReduction::Mean));
    m_reduction->setToolTip(
            QStringLiteral("How frames and bins that share a screen pixel combine: the peak keeps "
                           "short bursts visible, the mean keeps a steady signal's level"));
    m_colours = new QComboBox(bar);
    m_colours->addItems(SpectrogramPlot::colourMapNames());
    m_low = new QDoubleSpinBox(bar);
    m_high = new QDoubleSpinBox(bar);
    for (QDoubleSpinBox *box : {m_low, m_high}) {
        box->setRange(-400.0, 200.0);
        box->setDecimals(0);
        box->setSuffix(QStringLiteral(" dB"));
        box->setKeyboardTracking(false);
        connect(box, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
                &SpectrogramWindow::levelsEdited);
    }
    auto *autoButton = new QPushButton(QStringLiteral("Auto"), bar);
    connect(autoButton, &QPushButton::clicked, this, [this] {
        m_levelsChosen = false;
        autoLevels();
    });
    const std::pair<const char *, QWidget *> items[]
            = {{"FFT", m_fft},         {"Overlap", m_overlap}, {"Combine", m_reduction},
               {"Colours", m_colours}, {"Levels", m_low},      {"to", m_high}};
    for (const auto &item : items) {
        row->addWidget(new QLabel(QString::fromLatin1(item.first), bar));
        row->addWidget(item.second);
    }
    row->addWidget(autoButton);
    row->addStretch(1);
    for (QComboBox *box : {m_fft, m_overlap, m_reduction, m_colours})
        box->setMinimumContentsLength(box == m_fft ? 5 : 7);
    for (QComboBox *box : {m_fft, m_overlap, m_reduction})
        connect(box, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                &SpectrogramWindow::recompute);
    connect(m_colours, QOverload<int>::of(&QComboBox::currentIndexChanged), m_plot,
            &SpectrogramPlot::setColourMap);
    return bar;
}

QWidget *SpectrogramWindow::buildStatusBar()
{
    auto *bar = new QWidget(this);
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    m_memory = new QLabel(bar);
    m_progress = new QProgressBar(bar);
    m_progress->setRange(0, 1000);
    m_progress->setTextVisible(false);
    m_progress->setMaximumWidth(200);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), bar);
    connect(m_cancel, &QPushButton::clicked, this, &SpectrogramWindow::cancelWork);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, bar);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    row->addWidget(m_memory, 1);
    row->addWidget(m_progress);
    row->addWidget(m_cancel);
    row->addWidget(buttons);
    return bar;
}

SpectrogramSettings SpectrogramWindow::settings() const
{
    SpectrogramSettings s;
    s.fftSize = m_fft->currentData().toInt();
    s.overlap = s.fftSize * m_overlap->currentData().toInt() / 100;
    s.reduction = CellReduction(m_reduction->currentData().toInt());
    return s;
}

bool SpectrogramWindow::busy() const
{
    return m_job && !m_job->finished();
}

QSize SpectrogramWindow::cellsOnScreen() const
{
    const QSize canvas = m_plot->canvas()->size();
    // Before the first layout the canvas has no size yet: assume the window's usual one.
    return canvas.width() > 100 && canvas.height() > 100 ? canvas : QSize(860, 480);
}

void SpectrogramWindow::recompute()
{
    m_started = true;
    const SpectrogramSettings s = settings();
    const QSize cells = cellsOnScreen();
    SpectrogramRequest q;
    q.settings = s;
    q.rows = cells.width();
    q.columns = std::min(cells.height(), s.fftSize);
    start(q, true);
}

void SpectrogramWindow::start(const SpectrogramRequest &request, bool overview)
{
    m_job.reset();  // stops and joins a running worker first
    m_settle->stop();
    m_jobIsOverview = overview;
    m_job = std::make_unique<SpectrogramJob>(m_record, request);
    m_progress->setValue(0);
    m_cancel->setEnabled(true);
    const SpectrogramShape &shape = m_job->shape();
    m_memory->setText(QStringLiteral("Computing %1 frames onto %2 × %3 cells…")
                              .arg(shape.frameCount)
                              .arg(shape.rows)
                              .arg(shape.columns));
    m_poll->start();
}

void SpectrogramWindow::poll()
{
    if (!m_job) {
        m_poll->stop();
        return;
    }
    m_progress->setValue(int(std::lround(m_job->progress() * 1000)));
    if (m_job->finished())
        takeResult();
}

void SpectrogramWindow::finishWork()
{
    if (!m_started)
        recompute();
    if (m_job) {
        m_job->wait();
        takeResult();
    }
}

void SpectrogramWindow::cancelWork()
{
    if (!m_job)
        return;
    m_job->cancel();
    takeResult();
}

void SpectrogramWindow::takeResult()
{
    m_poll->stop();
    m_cancel->setEnabled(false);
    std::unique_ptr<SpectrogramJob> job = std::move(m_job);
    if (job->status() == SpectrogramStatus::NoMemory) {
        m_memory->setText(QStringLiteral("Memory not sufficient."));
        QMessageBox::warning(this, QStringLiteral("Error"),
                             QStringLiteral("Memory not sufficient."), QMessageBox::Ok);
        return;
    }
    if (job->status() != SpectrogramStatus::Ok) {
        m_memory->setText(QStringLiteral("Cancelled: the picture shows what was computed before."));
        return;
    }
    m_progress->setValue(1000);
    SpectrogramLayer layer;
    layer.shape = job->shape();
    layer.fftSize = job->request().settings.fftSize;
    layer.hop = job->request().settings.hop();
    layer.sampleRate = m_sampleRate;
    layer.centreFrequency = m_record.centerFrequency;
    layer.levels = job->levels();
    const size_t bytes = SpectrogramJob::workBytes(layer.shape, layer.fftSize);
    if (m_jobIsOverview) {
        m_heldBytes = bytes;
        m_plot->setOverview(std::move(layer));
        m_plot->showWhole();
        if (!m_levelsChosen)
            autoLevels();
    } else {
        m_heldBytes = SpectrogramJob::workBytes(m_plot->overview()->shape, layer.fftSize) + bytes;
        m_plot->setDetail(std::move(layer));
    }
    m_memory->setText(
            m_plot->overview()->empty()
                    ? QStringLiteral("The record is shorter than one frame of %1 samples.")
                              .arg(settings().fftSize)
                    : memoryText());
}

QString SpectrogramWindow::memoryText() const
{
    const SpectrogramShape &o = m_plot->overview()->shape;
    const double record = double(m_record.heldCount()) * 2 * sizeof(float);
    return QStringLiteral("%1 frames of %2 · %3 × %4 cells · levels held %5 · record %6 (shared, "
                          "not copied)")
            .arg(o.frameCount)
            .arg(settings().fftSize)
            .arg(o.rows)
            .arg(o.columns)
            .arg(megabytes(double(m_heldBytes)), megabytes(record));
}

void SpectrogramWindow::viewChanged()
{
    if (m_job && m_jobIsOverview)
        return;  // the whole record is still coming; it resets the view when done
    m_settle->start();
}

void SpectrogramWindow::computeShownPart()
{
    const SpectrogramLayer *o = m_plot->overview();
    if (o->empty())
        return;
    const QwtScaleDiv &x = m_plot->axisScaleDiv(QwtPlot::xBottom);
    const QwtScaleDiv &y = m_plot->axisScaleDiv(QwtPlot::yLeft);
    const bool whole = x.lowerBound() <= o->timeBegin() && x.upperBound() >= o->timeEnd()
                       && y.lowerBound() <= o->frequencyBegin()
                       && y.upperBound() >= o->frequencyEnd();
    if (whole) {
        m_plot->setDetail(SpectrogramLayer());
        return;
    }
    const QSize cells = cellsOnScreen();
    start(spectrogramRequestFor(settings(), m_record.heldCount(), m_sampleRate,
                                m_record.centerFrequency, x.lowerBound(), x.upperBound(),
                                y.lowerBound(), y.upperBound(), cells.width(), cells.height()),
          false);
}

void SpectrogramWindow::autoLevels()
{
    if (m_plot->overview()->empty())
        return;
    const auto [low, high] = autoLevelRange(m_plot->overview()->levels);
    for (QDoubleSpinBox *box : {m_low, m_high})
        box->blockSignals(true);
    m_low->setValue(low);
    m_high->setValue(high);
    for (QDoubleSpinBox *box : {m_low, m_high})
        box->blockSignals(false);
    m_plot->setLevelRange(low, high);
}

void SpectrogramWindow::levelsEdited()
{
    m_levelsChosen = true;
    if (m_high->value() > m_low->value())
        m_plot->setLevelRange(m_low->value(), m_high->value());
}
