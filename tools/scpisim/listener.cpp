#include "listener.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace scpisim {

int openListener(const std::string &address, uint16_t port, bool udp, uint16_t &boundPort)
{
    sockaddr_storage storage{};
    socklen_t length = 0;
    auto *v4 = reinterpret_cast<sockaddr_in *>(&storage);
    auto *v6 = reinterpret_cast<sockaddr_in6 *>(&storage);
    if (::inet_pton(AF_INET, address.c_str(), &v4->sin_addr) == 1) {
        v4->sin_family = AF_INET;
        v4->sin_port = htons(port);
        length = sizeof *v4;
    } else if (::inet_pton(AF_INET6, address.c_str(), &v6->sin6_addr) == 1) {
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(port);
        length = sizeof *v6;
    } else {
        errno = EINVAL;
        return -1;
    }
    const int fd = ::socket(storage.ss_family, (udp ? SOCK_DGRAM : SOCK_STREAM) | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (::bind(fd, reinterpret_cast<sockaddr *>(&storage), length) != 0
        || (!udp && ::listen(fd, 16) != 0)) {
        const int saved = errno;
        ::close(fd);
        errno = saved;
        return -1;
    }
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&storage), &length);
    boundPort = ntohs(storage.ss_family == AF_INET ? v4->sin_port : v6->sin6_port);
    return fd;
}

void acceptForever(int listener, const std::function<void(int fd, int id)> &serve)
{
    for (int id = 1;; ++id) {
        const int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        const int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        std::thread([serve, fd, id] { serve(fd, id); }).detach();
    }
}

namespace {

// Moves all size bytes with step(data, size), which returns what one call moved; a call
// interrupted by a signal is repeated.
template<typename Byte, typename Step>
bool moveAll(Byte *data, size_t size, Step step)
{
    while (size > 0) {
        const ssize_t n = step(data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

}  // namespace

bool sendAll(int fd, const uint8_t *data, size_t size)
{
    return moveAll(data, size,
                   [fd](const uint8_t *d, size_t n) { return ::send(fd, d, n, MSG_NOSIGNAL); });
}

bool receiveExactly(int fd, uint8_t *data, size_t size)
{
    return moveAll(data, size, [fd](uint8_t *d, size_t n) { return ::recv(fd, d, n, 0); });
}

}  // namespace scpisim
