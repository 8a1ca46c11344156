#include "socketserver.h"

#include "listener.h"

#include <algorithm>
#include <chrono>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace scpisim {
namespace {

constexpr size_t kMaxInput = 64u << 20;

}  // namespace

bool SocketServer::start(const std::string &address, uint16_t port, uint16_t &boundPort)
{
    const int fd = openListener(address, port, false, boundPort);
    if (fd < 0)
        return false;
    std::thread([this, fd] { acceptLoop(fd); }).detach();
    return true;
}

void SocketServer::acceptLoop(int listener)
{
    acceptForever(listener, [this](int fd, int id) { serve(fd, "SOCKET#" + std::to_string(id)); });
}

void SocketServer::serve(int fd, std::string origin)
{
    std::string input;
    char buffer[65536];
    bool open = true;
    while (open) {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        input.append(buffer, size_t(n));
        for (size_t end; open && (end = findMessageEnd(input)) > 0;) {
            const std::string message = input.substr(0, end);
            input.erase(0, end);
            const auto response = instrument_.execute(message, origin);
            if (!response->empty())
                open = sendResponse(fd, *response);
        }
        if (input.size() > kMaxInput)
            input.clear();
    }
    ::close(fd);
}

bool SocketServer::sendResponse(int fd, Response &response)
{
    std::this_thread::sleep_until(response.readyAt);
    while (response.remaining() > 0) {
        size_t max = response.chunkSize ? response.chunkSize : size_t(4) << 20;
        if (response.dropAfter >= 0) {
            const uint64_t left = uint64_t(response.dropAfter) - response.position();
            if (left == 0) {
                ::shutdown(fd, SHUT_RDWR);
                return false;
            }
            max = left < max ? size_t(left) : max;
        }
        if (response.pauseMs > 0 && response.position() == response.pauseAt) {
            std::this_thread::sleep_for(std::chrono::milliseconds(response.pauseMs));
            response.pauseMs = 0;
        }
        if (response.pauseMs > 0 && response.position() < response.pauseAt)
            max = std::min<uint64_t>(max, response.pauseAt - response.position());
        size_t sent = 0;
        while (sent < max && response.remaining() > 0) {
            size_t n = 0;
            const uint8_t *p = response.peek(max - sent, n);
            if (!sendAll(fd, p, n))
                return false;
            response.advance(n);
            sent += n;
        }
        if (response.chunkPauseMs > 0 && response.remaining() > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(response.chunkPauseMs));
    }
    if (response.dropAfter >= 0 && uint64_t(response.dropAfter) <= response.position()) {
        ::shutdown(fd, SHUT_RDWR);
        return false;
    }
    return true;
}

}  // namespace scpisim
