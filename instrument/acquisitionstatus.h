#pragma once

#include "visadefs.h"

#include <QString>
#include <QStringList>

#include <cstdint>

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

// What an Init or a Trace learnt beyond its status, one fact per line: the failed VISA
// status by name and meaning, the resource, the command that failed, how many bytes of a
// block came ("timeout after 2000 ms waiting for the reply to *IDN?", "connection closed
// after 200000 of 400000 bytes"); and warnings of a success ("received 900 of 1000
// samples"). The window shows the facts beneath the message box's text and the warnings in
// its status bar; trovik-cli prints each on a line of its own on stderr.
struct AcquisitionDetail
{
    QStringList facts;
    QStringList warnings;
    QString source;  // how the data came, e.g. the handheld receiver's file pushed or fetched

    bool empty() const { return facts.isEmpty() && warnings.isEmpty() && source.isEmpty(); }
};

// The steps note what they learn as they go; the detail is kept per thread, like errno, so
// an acquisition on a worker thread never mixes with another thread's. InstrumentControl
// clears it before an Init or a Trace and takes it afterwards.
void noteAcquisitionFact(const QString &fact);
void noteAcquisitionWarning(const QString &warning);
void noteAcquisitionSource(const QString &source);
AcquisitionDetail lastAcquisitionDetail();
void clearAcquisitionDetail();

// "VI_ERROR_TMO (timeout expired before the operation completed)"; unknown codes in hex.
QString visaStatusText(ViStatus status);

// Notes the facts of a VISA step that failed with status: the status by name and meaning,
// and what was being done: "timeout after N ms waiting for the reply to CMD" when a query
// timed out, "connection closed while sending CMD", "... failed: CMD". The command is shown
// without its line feed; timeoutMs 0 means unknown.
void noteCommandFailure(const QString &command, ViStatus status, bool query, uint32_t timeoutMs);

// Notes why the session to resource could not be opened: the status, then what the
// resource names (a malformed string, an interface such as GPIB that the VISA in use does
// not offer, or, for a LAN resource, what a direct connection attempt to its host and port
// gives: "connection refused by 127.0.0.1:5025").
void noteOpenFailure(const QString &resource, ViStatus status);

// The lines to show beneath the headline of a failed Init or Trace: the facts, then the
// resource they concern. Empty for a success or a cancel, and for a failure without facts
// other than Init's (no memory, a missing option, no Init).
QStringList acquisitionDetailLines(AcquisitionStatus status, const AcquisitionDetail &detail,
                                   const QString &resource);
