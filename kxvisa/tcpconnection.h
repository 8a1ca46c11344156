#pragma once

#include "deadline.h"
#include "visa.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace kxvisa {

// A non-blocking TCP stream whose every operation is bounded by a deadline.
class TcpConnection
{
public:
    TcpConnection() = default;
    ~TcpConnection();
    TcpConnection(const TcpConnection &) = delete;
    TcpConnection &operator=(const TcpConnection &) = delete;

    // VI_ERROR_RSRC_NFOUND when the host is unknown or refuses, VI_ERROR_TMO when the deadline
    // passes.
    ViStatus connectTo(const std::string &host, uint16_t port, Deadline deadline);
    // Writes everything; done tells how much went out before a failure.
    ViStatus sendAll(const uint8_t *data, size_t size, size_t &done, Deadline deadline);
    // Reads at least one byte (up to size); VI_ERROR_CONN_LOST when the peer has closed.
    ViStatus receiveSome(uint8_t *data, size_t size, size_t &got, Deadline deadline);
    ViStatus receiveExactly(uint8_t *data, size_t size, Deadline deadline);
    // Drops whatever has already arrived without waiting.
    void discardPending();
    // Wakes a blocked operation in another thread; the descriptor stays valid until destruction.
    void shutdown();
    bool isOpen() const { return fd_ >= 0; }
    void setNoDelay(bool on);
    void setKeepAlive(bool on);
    std::string peerAddress() const { return peer_; }

private:
    ViStatus waitFor(short events, Deadline deadline);

    int fd_ = -1;
    std::string peer_;
};

}  // namespace kxvisa
