#include "acquisitionstatus.h"

namespace {

const char kVisaError[] = "A VISA error has occured.";

// In the order of AcquisitionStatus.
const AcquisitionMessage kMessages[acquisitionStatusCount] = {
        {"", "The trace was acquired.", false},
        {"", "The trace was cancelled.", false},
        {"Error", "Insufficient memory.", true},
        {"Error", kVisaError, true},
        {"Error", kVisaError, true},
        {"Error", kVisaError, true},
        {"Error", kVisaError, true},
        {"Error", kVisaError, true},
        {"Error",
         "Initialization error. Check your connections and make sure\nyou have the correct GPIB or "
         "LAN address.",
         true},
        {"Alder Error", "No Alder-Q52 option installed.", true},
        {"Error", "Press Init first.", true},
};

}  // namespace

const AcquisitionMessage &acquisitionMessage(AcquisitionStatus status)
{
    const int index = int(status);
    return kMessages[index >= 0 && index < acquisitionStatusCount
                             ? index
                             : int(AcquisitionStatus::VisaError)];
}

AcquisitionStatus statusFromVisa(ViStatus status)
{
    if (status >= VI_SUCCESS)
        return AcquisitionStatus::Success;
    if (status == VI_ERROR_ABORT)  // a watched wait the user cancelled
        return AcquisitionStatus::Cancelled;
    if (status == VI_ERROR_TMO)
        return AcquisitionStatus::Timeout;
    if (status == VI_ERROR_CONN_LOST)
        return AcquisitionStatus::ConnectionLost;
    return AcquisitionStatus::VisaError;
}
