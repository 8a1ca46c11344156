#pragma once

#include "acquisitiondialogs.h"
#include "instrumentcontrol.h"

#include <QObject>
#include <QPointer>

#include <memory>

class ProgressTracker;
class QThread;
class QWidget;
class Workspace;

namespace Ui {
class MainWindow;
}

// The Trace tab's Init and Trace buttons. Each runs InstrumentControl on a thread of its own,
// on copies of the workspace's settings, record and options, so the window keeps repainting
// and answering; the progress dialog shows at once and its Cancel stops the run within a wait
// slice. While a run goes the workspace is busy, and the window offers only what does not
// touch the record or the instrument; when it ends, the copies come back on the window's
// thread and the signals tell the window what changed.
class AcquisitionControl : public QObject
{
    Q_OBJECT

public:
    AcquisitionControl(Ui::MainWindow &ui, Workspace &work, QWidget *window);
    ~AcquisitionControl() override;

    void setDialogs(std::unique_ptr<AcquisitionDialogs> dialogs);

    void init();
    void trace();

    // Whether an Init or a Trace is running: the workspace's busy state.
    bool busy() const;
    // Cancels a running Init or Trace and waits for its end (the instrument restored); the
    // window calls it before it closes the VISA connection. Shows no message box.
    void finish();

signals:
    // The workspace's busy or data state changed (a run began or ended): show it.
    void changed();
    // After Init: the panel should be refreshed (the options may have changed its limits).
    void initialized();
    // After Trace: the record holds new samples when the data are valid.
    void traced();

private:
    enum class Job { Init, Trace };
    struct Run;

    void start(Job job, const QString &title);
    void finished();
    void endInit(AcquisitionStatus status, const QStringList &detail);
    void endTrace(AcquisitionStatus status, const QStringList &detail,
                  const AcquisitionDetail &facts);
    void showFailure(AcquisitionStatus status, const QStringList &detail);

    Ui::MainWindow &ui;
    Workspace &work;
    QWidget *window;
    std::unique_ptr<AcquisitionDialogs> dialogs;
    std::unique_ptr<Run> run;
    QThread *worker = nullptr;
    QPointer<QWidget> progressView;
    bool closing = false;
};
