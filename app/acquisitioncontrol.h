#pragma once

#include "acquisitiondialogs.h"
#include "instrumentcontrol.h"

#include <QObject>
#include <QPointer>

#include <memory>

class ProgressTracker;
class QThread;
class QWidget;

namespace Ui {
class MainWindow;
}

// The Trace tab's Init and Trace buttons. Each runs InstrumentControl on a thread of its own,
// on copies of the window's settings, record and options, so the window keeps repainting and
// answering; the progress dialog shows at once and its Cancel stops the run within a wait
// slice. While a run goes, only what touches the record or the instrument is disabled (the
// Load and Trace tabs' controls, the plots, Save); when it ends, the copies come back on the
// window's thread and the two signals tell the window what changed.
class AcquisitionControl : public QObject
{
    Q_OBJECT

public:
    AcquisitionControl(Ui::MainWindow &ui, AppSettings &settings, IqBuffer &record,
                       InstrumentOptions &options, VisaConnection &visa, bool &newState,
                       bool &dataValid, QWidget *window);
    ~AcquisitionControl() override;

    void setDialogs(std::unique_ptr<AcquisitionDialogs> dialogs);

    void init();
    void trace();

    // Whether an Init or a Trace is running.
    bool busy() const { return worker != nullptr; }
    // Cancels a running Init or Trace and waits for its end (the instrument restored); the
    // window calls it before it closes the VISA connection. Shows no message box.
    void finish();

signals:
    // After Init: the panel should be refreshed (the options may have changed its limits).
    void initialized();
    // After Trace: the record holds new samples when dataValid; the window enables what
    // valid data allows.
    void traced();

private:
    enum class Job { Init, Trace };
    struct Run;

    void start(Job job, const QString &title);
    void finished();
    void endInit(AcquisitionStatus status, const QStringList &detail);
    void endTrace(AcquisitionStatus status, const QStringList &detail,
                  const AcquisitionDetail &facts);
    void setBusy(bool on);
    void showFailure(AcquisitionStatus status, const QStringList &detail);
    void enablePlots(bool on);

    Ui::MainWindow &ui;
    AppSettings &settings;
    IqBuffer &record;
    InstrumentOptions &options;
    VisaConnection &visa;
    bool &newState;
    bool &dataValid;
    QWidget *window;
    std::unique_ptr<AcquisitionDialogs> dialogs;
    std::unique_ptr<Run> run;
    QThread *worker = nullptr;
    QPointer<QWidget> progressView;
    bool closing = false;
};
