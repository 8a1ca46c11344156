#include "acquisitioncontrol.h"

#include "progresstracker.h"
#include "ui_mainwindow.h"
#include "workspace.h"

#include <QStatusBar>
#include <QThread>

namespace {

const int kStatusMs = 10000;

}  // namespace

// What one run works on: its own copies, so the window's objects are never touched from
// the worker thread.
struct AcquisitionControl::Run
{
    Job job;
    AppSettings settings;
    IqBuffer record;
    InstrumentOptions options;
    ProgressTracker progress;
    AcquisitionStatus status = AcquisitionStatus::Success;
    QStringList detailLines;   // what happened, beneath a failure's headline
    AcquisitionDetail detail;  // a success's warnings (a short read) and how the data came
};

AcquisitionControl::AcquisitionControl(Ui::MainWindow &ui, Workspace &work, QWidget *window)
    : QObject(window)
    , ui(ui)
    , work(work)
    , window(window)
    , dialogs(std::make_unique<StandardAcquisitionDialogs>())
{
    connect(ui.Trace_Init, &QPushButton::clicked, this, &AcquisitionControl::init);
    connect(ui.Trace_Trc, &QPushButton::clicked, this, &AcquisitionControl::trace);
}

// Without finish() first (the window's widgets may be gone by now): the run is only stopped.
AcquisitionControl::~AcquisitionControl()
{
    if (!worker)
        return;
    run->progress.cancel();
    worker->wait();
    delete worker;
}

bool AcquisitionControl::busy() const
{
    return work.state().busy;
}

void AcquisitionControl::setDialogs(std::unique_ptr<AcquisitionDialogs> replacement)
{
    dialogs = std::move(replacement);
}

void AcquisitionControl::showFailure(AcquisitionStatus status, const QStringList &detail)
{
    const AcquisitionMessage &message = acquisitionMessage(status);
    if (message.shownByWindow && !closing)
        dialogs->warning(window, QString::fromLatin1(message.title),
                         QString::fromLatin1(message.text), detail.join(QLatin1Char('\n')));
}

void AcquisitionControl::init()
{
    if (busy())
        return;
    work.beginInit();
    work.visa().dropInstrument();
    ui.Trace_DevMsg->clear();
    start(Job::Init, QStringLiteral("Init"));
}

void AcquisitionControl::trace()
{
    if (busy())
        return;
    work.beginTrace();
    start(Job::Trace, QStringLiteral("Trace"));
}

void AcquisitionControl::start(Job job, const QString &title)
{
    run = std::make_unique<Run>();
    run->job = job;
    run->settings = work.settings();
    run->options = work.options();
    run->record = work.source();
    // The run's copy is then the arrays' only holder, so a read of the same size fills them
    // again in place; readers of the window's record see no samples meanwhile.
    if (job == Job::Trace)
        releaseSamples(work.source());
    run->progress.begin(title);
    emit changed();
    Run *const r = run.get();
    VisaConnection *const connection = &work.visa();
    worker = QThread::create([r, connection] {
        InstrumentControl control(*connection, r->settings, r->options);
        r->status = r->job == Job::Init ? control.init(r->record, r->progress)
                                        : control.trace(r->record, r->progress);
        r->detailLines = control.detailLines(r->status);
        r->detail = control.detail();
    });
    // A run that finish() has already taken must not be taken again.
    connect(worker, &QThread::finished, this, [this, started = worker] {
        if (worker == started)
            finished();
    });
    progressView = dialogs->progress(window, title, run->progress);
    worker->start();
}

void AcquisitionControl::finish()
{
    if (!worker)
        return;
    closing = true;  // the window is going: no message box for what ends now
    run->progress.cancel();
    worker->wait();
    finished();
}

void AcquisitionControl::finished()
{
    worker->wait();
    delete worker;
    worker = nullptr;
    delete progressView.data();
    const std::unique_ptr<Run> done = std::move(run);
    work.settings() = done->settings;
    work.options() = done->options;
    // The tab the user is on belongs to the window, not to the run.
    IqBuffer &record = work.source();
    const int32_t source = record.iqSource;
    record = done->record;
    record.iqSource = source;
    work.endRun();
    if (done->job == Job::Init)
        endInit(done->status, done->detailLines);
    else
        endTrace(done->status, done->detailLines, done->detail);
}

void AcquisitionControl::endInit(AcquisitionStatus status, const QStringList &detail)
{
    // The reply is shown even when an option is missing: it tells which instrument answered.
    if (status != AcquisitionStatus::InitFailed && status != AcquisitionStatus::Cancelled)
        ui.Trace_DevMsg->setText(work.settings().idnReply);
    work.endInit();
    emit changed();
    showFailure(status, detail);
    emit initialized();
}

void AcquisitionControl::endTrace(AcquisitionStatus status, const QStringList &detail,
                                  const AcquisitionDetail &facts)
{
    work.endTrace(status == AcquisitionStatus::Success);
    ui.Trace_Osc_RLen->setValue(
            int(std::min<int64_t>(work.source().sampleCount, ui.Trace_Osc_RLen->maximum())));
    emit changed();
    if (status == AcquisitionStatus::Cancelled) {
        // No box, but the window says why there are no data.
        ui.statusBar->showMessage(QString::fromLatin1(acquisitionMessage(status).text), kStatusMs);
    } else if (status != AcquisitionStatus::Success) {
        showFailure(status, detail);
    } else if (!facts.warnings.isEmpty()) {
        // Kept, as a short block is, but never in silence.
        ui.statusBar->showMessage(facts.warnings.join(QStringLiteral("; ")), kStatusMs);
    }
    emit traced();
}
