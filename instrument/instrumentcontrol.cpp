#include "instrumentcontrol.h"

#include "tracerules.h"

AcquisitionStatus InstrumentControl::init(IqBuffer &record)
{
    found = InstrumentOptions();
    clearAcquisitionDetail();
    AcquisitionStatus status = AcquisitionStatus::InitFailed;
    const ViStatus opened = connection.openInstrument(settings.resourceString);
    if (opened == VI_SUCCESS) {
        SilentProgress none;
        InstrumentContext context{connection.session(), settings, found, none};
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
    applyTriggerTexts(settings);
    InstrumentContext context{connection.session(), settings, found, progress};
    const AcquisitionStatus status = acquireTrace(context, record);
    if (status == AcquisitionStatus::Cancelled)
        restoreAfterCancel(connection.session(), settings.resourceString);
    lastDetail = lastAcquisitionDetail();
    return status;
}

QStringList InstrumentControl::detailLines(AcquisitionStatus status) const
{
    return acquisitionDetailLines(status, lastDetail, settings.resourceString);
}
