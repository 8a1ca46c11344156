#include "scpiexchange.h"

#include "visasession.h"

#include <algorithm>
#include <cmath>

uint32_t sessionTimeoutMs(ViSession session)
{
    ViAttrState value = 0;  // room for implementations that write the wide form
    if (viGetAttribute(session, VI_ATTR_TMO_VALUE, &value) < VI_SUCCESS)
        return 0;
    return uint32_t(value);
}

QString g6(double value)
{
    return QString::number(value, 'g', 6);
}

QString intText(double value)
{
    // Out-of-range doubles would make the conversion undefined; the instruments' limits are
    // far inside.
    const double truncated
            = std::trunc(std::isfinite(value) ? std::clamp(value, -9.2e18, 9.2e18) : 0.0);
    return QString::number(int32_t(uint32_t(uint64_t(int64_t(truncated)))));
}

QString dec(int64_t value)
{
    return QString::number(value);
}

bool ScpiExchange::record(ViStatus status, const QString &command, bool query)
{
    m_status = status;
    if (!ok()) {
        m_failedCommand = command;
        m_failedQuery = query;
        m_timeoutMs = sessionTimeoutMs(m_session);
    }
    return ok();
}

AcquisitionStatus ScpiExchange::outcome() const
{
    if (ok())
        return AcquisitionStatus::Success;
    noteCommandFailure(m_failedCommand, m_status, m_failedQuery, m_timeoutMs);
    return statusFromVisa(m_status < VI_SUCCESS ? m_status : VI_ERROR_IO);
}

bool ScpiExchange::send(const QString &command)
{
    QString ignored;
    return send(command, ignored);
}

bool ScpiExchange::send(const QString &command, QString &reply)
{
    return ok() && record(queryText(m_session, command, reply), command, true);
}

bool ScpiExchange::number(const QString &command, double &value)
{
    return ok() && record(queryNumber(m_session, command, value), command, true);
}

bool ScpiExchange::write(const QString &command)
{
    return ok() && record(writeCommand(m_session, command), command, false);
}
