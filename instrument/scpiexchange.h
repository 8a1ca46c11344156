#pragma once

#include "acquisitionstatus.h"
#include "visadefs.h"

#include <QString>

// Numbers in commands: g6 is QString::number(value, 'g', 6) (1e+06, 3.2e+07, 10, 0.5); int
// the value truncated toward zero, printed from its low 32 bits; dec a 32-bit integer.
QString g6(double value);
QString intText(double value);
QString dec(int64_t value);

// The session's I/O timeout in milliseconds (VI_ATTR_TMO_VALUE); 0 when it cannot be read.
uint32_t sessionTimeoutMs(ViSession session);

// One command sequence on an instrument session. Every step is confirmed before the next
// ("...;*OPC?" is sent as a query and its reply read); the first failing step ends the
// sequence, and every later step is skipped, so a sequence reads as a list of commands.
class ScpiExchange
{
public:
    explicit ScpiExchange(ViSession session)
        : m_session(session)
    {}

    // Query, reply read and discarded (or kept in reply).
    bool send(const QString &command);
    bool send(const QString &command, QString &reply);
    // Query whose reply is a number.
    bool number(const QString &command, double &value);
    // Command without a reply.
    bool write(const QString &command);

    bool ok() const { return m_status == VI_SUCCESS; }
    ViStatus status() const { return m_status; }
    // Success, or the status the first failing step ended the sequence with; a failure's
    // facts (the command, the VISA status, the timeout) are noted with the acquisition's
    // detail (noteCommandFailure).
    AcquisitionStatus outcome() const;
    // Forgets a failure: for the steps whose failure does not end the sequence.
    void forgive() { m_status = VI_SUCCESS; }
    ViSession session() const { return m_session; }

private:
    bool record(ViStatus status, const QString &command, bool query);

    ViSession m_session;
    ViStatus m_status = VI_SUCCESS;
    QString m_failedCommand;
    bool m_failedQuery = false;
    uint32_t m_timeoutMs = 0;  // the session's timeout when the step failed
};
