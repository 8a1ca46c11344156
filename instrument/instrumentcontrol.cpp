#include "instrumentcontrol.h"

#include "tracerules.h"
#include "visasession.h"

AcquisitionStatus InstrumentControl::init(IqBuffer &record, AcquisitionProgress &progress)
{
    found = InstrumentOptions();
    clearAcquisitionDetail();
    AcquisitionStatus status = AcquisitionStatus::InitFailed;
    // Opening is one VISA call that cannot be cut into slices (up to 10 s for a host that
    // does not answer): at least the dialog says what it waits for.
    progress.begin(QStringLiteral("Connecting to %1...").arg(settings.resourceString));
    const ViStatus opened = connection.openInstrument(settings.resourceString);
    progress.begin(QStringLiteral("Init"));
    if (progress.cancelled()) {
        status = AcquisitionStatus::Cancelled;  // during the open: no failure to report
    } else if (opened == VI_SUCCESS) {
        const VisaWaitWatch watch(progress);
        InstrumentContext context{connection.session(), settings, found, progress};
        status = identifyInstrument(context);
    } else {
        noteOpenFailure(settings.resourceString, opened);
    }
    lastDetail = lastAcquisitionDetail();
    if (status != AcquisitionStatus::Success)
        connection.dropInstrument();
    TraceRules::refresh(settings, deviceType(settings.deviceType), found, record.sampleCount);
    return status;
}

AcquisitionStatus InstrumentControl::trace(IqBuffer &record, AcquisitionProgress &progress)
{
    clearAcquisitionDetail();
    lastDetail = AcquisitionDetail();
    if (!connection.hasInstrument())
        return AcquisitionStatus::NotInitialized;
    InstrumentContext context{connection.session(), settings, found, progress};
    AcquisitionStatus status;
    {
        const VisaWaitWatch watch(progress);
        status = acquireTrace(context, record);
    }
    if (status == AcquisitionStatus::Cancelled)
        restoreInstrument();
    lastDetail = lastAcquisitionDetail();
    return status;
}

QStringList InstrumentControl::detailLines(AcquisitionStatus status) const
{
    return acquisitionDetailLines(status, lastDetail, settings.resourceString);
}

// A raw socket has no device clear, and a reply the instrument is still preparing (a block
// it has not started to send) would come in the middle of any later exchange: a fresh
// connection is the only clean line. Other sessions are cleared and drained in place.
void InstrumentControl::restoreInstrument()
{
    if (!isRawSocket(settings.resourceString)) {
        restoreAfterCancel(connection.session(), settings.resourceString);
        return;
    }
    if (connection.openInstrument(settings.resourceString) < VI_SUCCESS)
        return;  // nothing left to restore on; the next Trace asks for an Init
    sendRestoreCommands(connection.session(), settings.resourceString);
}
