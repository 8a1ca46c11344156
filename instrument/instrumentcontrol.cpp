#include "instrumentcontrol.h"

#include "tracerules.h"

AcquisitionStatus InstrumentControl::init(IqBuffer &record)
{
    found = InstrumentOptions();
    AcquisitionStatus status = AcquisitionStatus::InitFailed;
    if (connection.openInstrument(settings.resourceString) == VI_SUCCESS) {
        SilentProgress none;
        InstrumentContext context{connection.session(), settings, found, none};
        status = identifyInstrument(context);
    }
    if (status != AcquisitionStatus::Success)
        connection.dropInstrument();
    TraceRules::refresh(settings, deviceType(settings.deviceType), found, record.sampleCount);
    return status;
}

AcquisitionStatus InstrumentControl::trace(IqBuffer &record, AcquisitionProgress &progress)
{
    if (!connection.hasInstrument())
        return AcquisitionStatus::NotInitialized;
    applyTriggerTexts(settings);
    InstrumentContext context{connection.session(), settings, found, progress};
    const AcquisitionStatus status = acquireTrace(context, record);
    if (status == AcquisitionStatus::Cancelled)
        restoreAfterCancel(connection.session(), settings.resourceString);
    return status;
}
