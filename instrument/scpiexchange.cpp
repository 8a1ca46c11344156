#include "scpiexchange.h"

#include "visasession.h"

#include <algorithm>
#include <cmath>

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

bool ScpiExchange::record(ViStatus status)
{
    m_status = status;
    return ok();
}

bool ScpiExchange::send(const QString &command)
{
    QString ignored;
    return send(command, ignored);
}

bool ScpiExchange::send(const QString &command, QString &reply)
{
    return ok() && record(queryText(m_session, command, reply));
}

bool ScpiExchange::number(const QString &command, double &value)
{
    return ok() && record(queryNumber(m_session, command, value));
}

bool ScpiExchange::write(const QString &command)
{
    return ok() && record(writeCommand(m_session, command));
}
