#pragma once

#include "visadefs.h"

#include <QString>

// Owns the VISA default resource manager and the one instrument session opened from it.
// Closing is idempotent: close() and dropInstrument() may run any number of times, and the
// destructor closes whatever is still open. Not copyable: one owner per handle.
class VisaConnection
{
public:
    VisaConnection() = default;
    ~VisaConnection();
    VisaConnection(const VisaConnection &) = delete;
    VisaConnection &operator=(const VisaConnection &) = delete;

    // Opens the default resource manager; the VISA status. A manager already open stays.
    ViStatus open();
    // Closes the instrument session, then the resource manager.
    void close();

    // Closes any session held, then opens resourceString (openSession: 10 s open timeout).
    // On failure no session is held.
    ViStatus openInstrument(const QString &resourceString);
    // Closes the instrument session, if any. A changed panel setting calls this, so the
    // next Trace needs a new Init.
    void dropInstrument();

    ViSession resourceManager() const { return manager; }
    ViSession session() const { return instrument; }
    bool hasInstrument() const { return instrument != 0; }

private:
    ViSession manager = 0;
    ViSession instrument = 0;
};
