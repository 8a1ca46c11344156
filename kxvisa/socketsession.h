#pragma once

#include "session.h"
#include "tcpconnection.h"

#include <memory>
#include <vector>

namespace kxvisa {

// A raw SCPI socket. Bytes that arrive after a read ended at a termination character are
// kept for the next read; nothing is appended to or stripped from the data.
class SocketSession : public Session
{
public:
    using Session::Session;

    static ViStatus open(const ResourceName &resource, ViSession resourceManager, Deadline deadline,
                         std::unique_ptr<Session> &out);

    ViStatus write(const uint8_t *data, size_t size, size_t &done, Deadline deadline) override;
    ViStatus read(uint8_t *data, size_t size, size_t &got, Deadline deadline) override;
    ViStatus clear(Deadline deadline) override;
    ViStatus controlRen(uint16_t mode, Deadline deadline) override;
    void close() override {}
    void interrupt() override { connection_.shutdown(); }

protected:
    std::string peerAddress() const override { return connection_.peerAddress(); }
    void applySocketOptions(const IoAttributes &a) override;

private:
    // Copies kept bytes; true when the read is complete (terminated or full).
    bool takePending(const IoAttributes &a, uint8_t *data, size_t size, size_t &got,
                     bool &terminated);

    TcpConnection connection_;
    std::vector<uint8_t> pending_;
    size_t pendingPos_ = 0;
};

}  // namespace kxvisa
