#pragma once

#include "acquisitionprogress.h"
#include "acquisitionstatus.h"
#include "appsettings.h"
#include "devicetype.h"
#include "instrumentoptions.h"
#include "iqbuffer.h"
#include "visadefs.h"

#include <QDateTime>

// What an Init or a Trace works on: the open instrument session, the settings the Trace tab
// left (values queried from the instrument are written back), the options Init found, and
// where progress goes.
struct InstrumentContext
{
    ViSession session;
    AppSettings &settings;
    InstrumentOptions &options;
    AcquisitionProgress &progress;
    // What the family learns for the record, stamped on it when the Trace succeeds: when the
    // capture began (UTC), and the centre frequency the instrument reported or was sent, for
    // the rows that ask for or send one.
    QDateTime captureTime = QDateTime();
    bool centerFrequencyKnown = false;
    double centerFrequency = 0.0;

    const DeviceType &row() const { return deviceType(settings.deviceType); }
};

class ScpiExchange;

// The Init and Trace of one instrument family, its rows told apart by the facts of their
// device rows.
class AcquisitionFamily
{
public:
    virtual ~AcquisitionFamily() = default;

    // Init's identification once the session is open: "*IDN?" into idnReply, what the row
    // asks after it, and the options the row depends on (asked whatever the identification
    // gave) into context.options. The analyzers and the oscilloscope clear the status first
    // ("*CLS") and ask for the options; a family that differs says so.
    virtual void identify(ScpiExchange &scpi, InstrumentContext &context) const;

    // The Trace: the command sequence, the data read into the record and the instrument's
    // restore. On Success the record holds the acquired samples and its sampleCount is their
    // number; on any other status it holds no samples, except when the sequence failed
    // before the data read, which leaves the record as it was. Every wait is bounded by an
    // explicit timeout.
    virtual AcquisitionStatus acquire(InstrumentContext &context, IqBuffer &record) const = 0;
};

// The family whose sequences drive the row.
const AcquisitionFamily &familyOf(const DeviceType &row);

const AcquisitionFamily &analyzerAcquisition();          // analyzeracquisition.cpp
const AcquisitionFamily &handheldReceiverAcquisition();  // receiveracquisition.cpp
const AcquisitionFamily &oscilloscopeAcquisition();      // oscilloscopeacquisition.cpp

// The timeout of a data read: at least a minute, and 10 s more than the record lasts.
ViUInt32 dataReadTimeoutMs(uint64_t samples, double sampleRate);

// Releases the record's arrays and forgets its count: a failed read leaves no samples.
void dropSamples(IqBuffer &record);

// Arrays of count samples for a read to fill. Arrays of exactly count samples that nobody
// else holds are filled again in place: a new pair would cost the system zeroing every page
// once more. False (and no samples) when the memory cannot be had.
bool prepareArrays(IqBuffer &record, uint64_t count);
