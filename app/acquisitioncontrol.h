#pragma once

#include "acquisitiondialogs.h"
#include "instrumentcontrol.h"

#include <QObject>

#include <memory>

class QWidget;

namespace Ui {
class MainWindow;
}

// The Trace tab's Init and Trace buttons: they run InstrumentControl on the window's
// settings, record, options and VISA connection, show the outcome and the progress through
// AcquisitionDialogs, and tell the window what changed through the two signals.
class AcquisitionControl : public QObject
{
    Q_OBJECT

public:
    AcquisitionControl(Ui::MainWindow &ui, AppSettings &settings, IqBuffer &record,
                       InstrumentOptions &options, VisaConnection &visa, bool &newState,
                       bool &dataValid, QWidget *window);

    void setDialogs(std::unique_ptr<AcquisitionDialogs> dialogs);

    void init();
    void trace();

signals:
    // After Init: the panel should be refreshed (the options may have changed its limits).
    void initialized();
    // After Trace: the record holds new samples when dataValid; the window enables what
    // valid data allows.
    void traced();

private:
    void showFailure(AcquisitionStatus status);
    void enablePlots(bool on);

    Ui::MainWindow &ui;
    AppSettings &settings;
    IqBuffer &record;
    InstrumentControl control;
    VisaConnection &visa;
    bool &newState;
    bool &dataValid;
    QWidget *window;
    std::unique_ptr<AcquisitionDialogs> dialogs;
};
