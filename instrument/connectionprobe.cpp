#include "connectionprobe.h"

#include "filefailure.h"

#include <QStringList>

#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const uint16_t kPortMapperPort = 111;
const uint16_t kHislipPort = 4880;

// "host" or "[v6 address]" at the start of text; the rest after the following "::".
bool takeHost(const QString &text, QString &host, QString &rest)
{
    if (text.startsWith(QLatin1Char('['))) {
        const int close = text.indexOf(QLatin1Char(']'));
        if (close < 2)
            return false;
        host = text.mid(1, close - 1);
        rest = text.mid(close + 1);
    } else {
        const int sep = text.indexOf(QLatin1String("::"));
        host = sep < 0 ? text : text.left(sep);
        rest = sep < 0 ? QString() : text.mid(sep);
    }
    if (rest.startsWith(QLatin1String("::")))
        rest = rest.mid(2);
    return !host.isEmpty();
}

QString where(const LanEndpoint &endpoint)
{
    const bool v6 = endpoint.host.contains(QLatin1Char(':'));
    return (v6 ? QLatin1Char('[') + endpoint.host + QLatin1Char(']') : endpoint.host)
           + QLatin1Char(':') + QString::number(endpoint.port);
}

// errno of a non-blocking connect to one address, or ETIMEDOUT when nothing came in time.
int tryConnect(const addrinfo *ai, int timeoutMs)
{
    const int fd = ::socket(ai->ai_family, ai->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                            ai->ai_protocol);
    if (fd < 0)
        return errno;
    int error = 0;
    if (::connect(fd, ai->ai_addr, ai->ai_addrlen) != 0) {
        error = errno;
        if (error == EINPROGRESS) {
            pollfd p{fd, POLLOUT, 0};
            int r;
            while ((r = ::poll(&p, 1, timeoutMs)) < 0 && errno == EINTR) {
            }
            socklen_t length = sizeof error;
            if (r == 0)
                error = ETIMEDOUT;
            else if (r < 0 || ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
                error = errno;
        }
    }
    ::close(fd);
    return error;
}

}  // namespace

bool lanEndpoint(const QString &resource, LanEndpoint &endpoint)
{
    const QString text = resource.trimmed();
    if (!text.startsWith(QLatin1String("TCPIP"), Qt::CaseInsensitive))
        return false;
    const int first = text.indexOf(QLatin1String("::"));
    QString host, rest;
    if (first < 0 || !takeHost(text.mid(first + 2), host, rest))
        return false;
    QStringList fields = rest.split(QLatin1String("::"), Qt::SkipEmptyParts);
    endpoint.host = host;
    if (!fields.isEmpty()
        && fields.last().compare(QLatin1String("SOCKET"), Qt::CaseInsensitive) == 0) {
        bool ok = false;
        const uint port = fields.value(0).toUInt(&ok);
        if (!ok || port == 0 || port > 65535)
            return false;
        endpoint.port = uint16_t(port);
        return true;
    }
    endpoint.port = !fields.isEmpty()
                                    && fields.first().startsWith(QLatin1String("hislip"),
                                                                 Qt::CaseInsensitive)
                            ? kHislipPort
                            : kPortMapperPort;
    return true;
}

QString probeConnection(const LanEndpoint &endpoint, int timeoutMs)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *list = nullptr;
    const QByteArray host = endpoint.host.toUtf8();
    const QByteArray port = QByteArray::number(endpoint.port);
    if (::getaddrinfo(host.constData(), port.constData(), &hints, &list) != 0 || !list)
        return QStringLiteral("host %1 not found").arg(endpoint.host);
    int error = EHOSTUNREACH;
    for (const addrinfo *ai = list; ai && error != 0; ai = ai->ai_next) {
        error = tryConnect(ai, timeoutMs);
        if (error == ETIMEDOUT)
            break;
    }
    ::freeaddrinfo(list);
    switch (error) {
    case 0: return QStringLiteral("%1 accepts connections").arg(where(endpoint));
    case ECONNREFUSED: return QStringLiteral("connection refused by %1").arg(where(endpoint));
    case ETIMEDOUT:
        return QStringLiteral("no answer from %1 within %2 ms").arg(where(endpoint)).arg(timeoutMs);
    default:
        return QStringLiteral("cannot connect to %1: %2")
                .arg(where(endpoint), systemErrorText(error));
    }
}
