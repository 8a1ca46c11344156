#include "filefailure.h"

#include <cstring>

namespace {
thread_local FileFailure noted;
}

QString FileFailure::text() const
{
    if (path.isEmpty())
        return reason;
    if (reason.isEmpty())
        return path;
    return path + QStringLiteral(": ") + reason;
}

void noteFileFailure(const QString &path, const QString &reason)
{
    noted.path = path;
    noted.reason = reason;
}

QString systemErrorText(int error)
{
    char buffer[256] = {};
    // The GNU strerror_r returns the text, which may or may not live in buffer.
    return QString::fromLocal8Bit(strerror_r(error, buffer, sizeof buffer));
}

FileFailure lastFileFailure()
{
    return noted;
}

void clearFileFailure()
{
    noted = FileFailure();
}
