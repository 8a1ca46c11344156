#pragma once

#include "visadefs.h"

// How an Init or a Trace ended. Each outcome is a status of its own; the window's message
// box and trovik-cli's error line both read their texts from acquisitionMessage.
enum class AcquisitionStatus {
    Success,
    Cancelled,       // the user pressed Cancel during the data read
    NoMemory,        // the sample arrays cannot be had
    VisaError,       // a VISA call failed (the instrument refused, a bad resource, ...)
    Timeout,         // the instrument did not answer within the timeout
    ConnectionLost,  // the connection closed, e.g. in the middle of a block
    BadBlock,        // a data block that is malformed, shorter than announced or larger than asked
    FileError,       // the fetched recording cannot be read
    InitFailed,      // Init could not open, identify or prepare the instrument
    MissingOption,   // Init found the instrument without the option the row needs
    NotInitialized,  // Trace without an instrument session
};

constexpr int acquisitionStatusCount = int(AcquisitionStatus::NotInitialized) + 1;

struct AcquisitionMessage
{
    const char *title;  // of the window's warning box
    const char *text;
    bool shownByWindow;  // Success and Cancelled end without a message box
};

const AcquisitionMessage &acquisitionMessage(AcquisitionStatus status);

// The status of a failed VISA call; a success or a warning is Success.
AcquisitionStatus statusFromVisa(ViStatus status);
