#pragma once

#include "acquisition.h"
#include "visaconnection.h"

// Init and Trace as the Trace tab runs them, for the window and for trovik-cli alike: the
// session through the connection, the settings and options kept between the two, the
// record filled, the instrument restored after a cancel. No widgets: the caller shows the
// outcome (acquisitionMessage) and the progress.
class InstrumentControl
{
public:
    // options receives what Init finds (the window's panel rules read it too).
    InstrumentControl(VisaConnection &connection, AppSettings &settings, InstrumentOptions &options)
        : connection(connection)
        , settings(settings)
        , found(options)
    {}

    // Opens the session from the resource string and identifies the instrument (see
    // identifyInstrument); on any failure no session is kept. Afterwards the panel rules run
    // again with the options found; record's count follows them as the Trace tab's does.
    // The waits are watched by progress (VisaWaitWatch): a cancel ends Init as Cancelled.
    AcquisitionStatus init(IqBuffer &record, AcquisitionProgress &progress);
    AcquisitionStatus init(IqBuffer &record)
    {
        SilentProgress none;
        return init(record, none);
    }

    // Runs the row's Trace on the open session into record (NotInitialized without one).
    // The trigger words sent are the long forms of the row's lists at the stored indices.
    // The waits are watched by progress (VisaWaitWatch). After a cancel the instrument is
    // restored (restoreAfterCancel), on a fresh connection for a raw socket, so the next
    // Trace needs no Init.
    AcquisitionStatus trace(IqBuffer &record, AcquisitionProgress &progress);

    const InstrumentOptions &options() const { return found; }
    // What the last init or trace learnt beyond its status (facts of a failure, warnings of
    // a success such as a short read, how the data came), and the lines to show beneath
    // the message of status.
    const AcquisitionDetail &detail() const { return lastDetail; }
    QStringList detailLines(AcquisitionStatus status) const;
    bool initialized() const { return connection.hasInstrument(); }

private:
    void restoreInstrument();

    VisaConnection &connection;
    AppSettings &settings;
    InstrumentOptions &found;
    AcquisitionDetail lastDetail;
};
