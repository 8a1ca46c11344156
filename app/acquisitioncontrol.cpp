#include "acquisitioncontrol.h"

#include "ui_mainwindow.h"

AcquisitionControl::AcquisitionControl(Ui::MainWindow &ui, AppSettings &settings, IqBuffer &record,
                                       InstrumentOptions &options, VisaConnection &visa,
                                       bool &newState, bool &dataValid, QWidget *window)
    : QObject(window)
    , ui(ui)
    , settings(settings)
    , record(record)
    , control(visa, settings, options)
    , visa(visa)
    , newState(newState)
    , dataValid(dataValid)
    , window(window)
    , dialogs(std::make_unique<StandardAcquisitionDialogs>())
{
    connect(ui.Trace_Init, &QPushButton::clicked, this, &AcquisitionControl::init);
    connect(ui.Trace_Trc, &QPushButton::clicked, this, &AcquisitionControl::trace);
    ui.Trace_Trc->setEnabled(visa.hasInstrument());  // a Trace needs an Init first
}

void AcquisitionControl::setDialogs(std::unique_ptr<AcquisitionDialogs> replacement)
{
    dialogs = std::move(replacement);
}

void AcquisitionControl::enablePlots(bool on)
{
    ui.Spec->setEnabled(on);
    ui.IvsQ->setEnabled(on);
    ui.GDel->setEnabled(on);
}

void AcquisitionControl::showFailure(AcquisitionStatus status)
{
    const AcquisitionMessage &message = acquisitionMessage(status);
    if (message.shownByWindow)
        dialogs->warning(window, QString::fromLatin1(message.title),
                         QString::fromLatin1(message.text));
}

void AcquisitionControl::init()
{
    ui.Save_Sav->setEnabled(false);
    ui.Save_App->setEnabled(false);
    enablePlots(false);
    visa.dropInstrument();
    ui.Trace_DevMsg->clear();
    const AcquisitionStatus status = control.init(record);
    // The reply is shown even when an option is missing: it tells which instrument answered.
    if (status != AcquisitionStatus::InitFailed)
        ui.Trace_DevMsg->setText(settings.idnReply);
    showFailure(status);
    ui.Trace_Trc->setEnabled(visa.hasInstrument());
    newState = true;
    emit initialized();
}

void AcquisitionControl::trace()
{
    ui.Save_Sav->setEnabled(false);
    ui.Save_App->setEnabled(false);
    newState = false;
    dataValid = false;
    ui.DVal->setChecked(false);
    enablePlots(false);
    AcquisitionStatus status;
    {
        const std::unique_ptr<AcquisitionProgress> progress = dialogs->progress(window);
        status = control.trace(record, *progress);
    }
    newState = dataValid = status == AcquisitionStatus::Success;
    ui.Trace_Osc_RLen->setValue(
            int(std::min<int64_t>(record.sampleCount, ui.Trace_Osc_RLen->maximum())));
    ui.DVal->setChecked(dataValid);
    enablePlots(dataValid);
    if (status == AcquisitionStatus::Cancelled)
        ui.Trace_Trc->setEnabled(true);
    else
        showFailure(status);
    emit traced();
}
