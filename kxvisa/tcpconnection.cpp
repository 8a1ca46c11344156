#include "tcpconnection.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kxvisa {
namespace {

int openNonBlocking(const addrinfo *ai)
{
    const int fd = ::socket(ai->ai_family, ai->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                            ai->ai_protocol);
    if (fd >= 0) {
        const int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    }
    return fd;
}

std::string addressText(const addrinfo *ai)
{
    char text[INET6_ADDRSTRLEN] = {};
    const void *src
            = ai->ai_family == AF_INET6
                      ? static_cast<const void *>(
                              &reinterpret_cast<const sockaddr_in6 *>(ai->ai_addr)->sin6_addr)
                      : static_cast<const void *>(
                              &reinterpret_cast<const sockaddr_in *>(ai->ai_addr)->sin_addr);
    ::inet_ntop(ai->ai_family, src, text, sizeof text);
    return text;
}

}  // namespace

TcpConnection::~TcpConnection()
{
    if (fd_ >= 0)
        ::close(fd_);
}

ViStatus TcpConnection::waitFor(short events, Deadline deadline)
{
    pollfd p{fd_, events, 0};
    for (;;) {
        const int r = ::poll(&p, 1, deadline.pollMs());
        if (r > 0)
            return VI_SUCCESS;
        if (r == 0)
            return VI_ERROR_TMO;
        if (errno != EINTR)
            return VI_ERROR_IO;
    }
}

ViStatus TcpConnection::connectTo(const std::string &host, uint16_t port, Deadline deadline)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *list = nullptr;
    const std::string service = std::to_string(port);
    if (::getaddrinfo(host.c_str(), service.c_str(), &hints, &list) != 0 || !list)
        return VI_ERROR_RSRC_NFOUND;
    ViStatus status = VI_ERROR_RSRC_NFOUND;
    for (const addrinfo *ai = list; ai && status != VI_SUCCESS; ai = ai->ai_next) {
        const int fd = openNonBlocking(ai);
        if (fd < 0)
            continue;
        fd_ = fd;
        status = VI_SUCCESS;
        if (::connect(fd, ai->ai_addr, ai->ai_addrlen) != 0) {
            status = errno == EINPROGRESS ? waitFor(POLLOUT, deadline) : VI_ERROR_RSRC_NFOUND;
            int err = 0;
            socklen_t len = sizeof err;
            if (status == VI_SUCCESS
                && (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0 || err != 0))
                status = VI_ERROR_RSRC_NFOUND;
        }
        if (status == VI_SUCCESS) {
            peer_ = addressText(ai);
        } else {
            ::close(fd);
            fd_ = -1;
            if (status == VI_ERROR_TMO)
                break;
        }
    }
    ::freeaddrinfo(list);
    return status;
}

ViStatus TcpConnection::sendAll(const uint8_t *data, size_t size, size_t &done, Deadline deadline)
{
    done = 0;
    while (done < size) {
        const ssize_t n = ::send(fd_, data + done, size - done, MSG_NOSIGNAL);
        if (n > 0) {
            done += size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            const ViStatus s = waitFor(POLLOUT, deadline);
            if (s != VI_SUCCESS)
                return s;
            continue;
        }
        return VI_ERROR_CONN_LOST;
    }
    return VI_SUCCESS;
}

ViStatus TcpConnection::receiveSome(uint8_t *data, size_t size, size_t &got, Deadline deadline)
{
    got = 0;
    for (;;) {
        const ssize_t n = ::recv(fd_, data, size, 0);
        if (n > 0) {
            got = size_t(n);
            return VI_SUCCESS;
        }
        if (n == 0)
            return VI_ERROR_CONN_LOST;
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            return VI_ERROR_CONN_LOST;
        const ViStatus s = waitFor(POLLIN, deadline);
        if (s != VI_SUCCESS)
            return s;
    }
}

ViStatus TcpConnection::receiveExactly(uint8_t *data, size_t size, Deadline deadline)
{
    size_t done = 0;
    while (done < size) {
        size_t got = 0;
        const ViStatus s = receiveSome(data + done, size - done, got, deadline);
        if (s != VI_SUCCESS)
            return s;
        done += got;
    }
    return VI_SUCCESS;
}

void TcpConnection::discardPending()
{
    uint8_t scratch[4096];
    while (::recv(fd_, scratch, sizeof scratch, MSG_DONTWAIT) > 0) {
    }
}

void TcpConnection::shutdown()
{
    if (fd_ >= 0)
        ::shutdown(fd_, SHUT_RDWR);
}

void TcpConnection::setNoDelay(bool on)
{
    const int v = on;
    ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &v, sizeof v);
}

void TcpConnection::setKeepAlive(bool on)
{
    const int v = on;
    ::setsockopt(fd_, SOL_SOCKET, SO_KEEPALIVE, &v, sizeof v);
}

}  // namespace kxvisa
