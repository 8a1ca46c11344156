#pragma once

#include "rpcclient.h"
#include "session.h"
#include "tcpconnection.h"

#include <memory>

namespace kxvisa {

// A VXI-11 instrument link: found through the portmapper, then one core channel that
// carries device_write / device_read and the control calls.
class Vxi11Session : public Session
{
public:
    Vxi11Session(const ResourceName &resource, ViSession resourceManager)
        : Session(resource, resourceManager)
        , rpc_(connection_, 0x0607AF, 1)
    {}

    static ViStatus open(const ResourceName &resource, ViSession resourceManager, bool lockDevice,
                         Deadline deadline, std::unique_ptr<Session> &out);

    ViStatus write(const uint8_t *data, size_t size, size_t &done, Deadline deadline) override;
    ViStatus read(uint8_t *data, size_t size, size_t &got, Deadline deadline) override;
    ViStatus clear(Deadline deadline) override;
    ViStatus controlRen(uint16_t mode, Deadline deadline) override;
    void close() override;
    void interrupt() override { connection_.shutdown(); }

protected:
    std::string peerAddress() const override { return connection_.peerAddress(); }
    void applySocketOptions(const IoAttributes &a) override;

private:
    ViStatus createLink(bool lockDevice, Deadline deadline);
    ViStatus genericCall(uint32_t procedure, Deadline deadline);
    ViStatus rpcCall(uint32_t procedure, const std::vector<uint8_t> &args, Deadline ioDeadline,
                     size_t maxReply, const uint8_t *&body, size_t &bodySize);

    TcpConnection connection_;
    RpcClient rpc_;
    int32_t link_ = 0;
    uint32_t maxWriteChunk_ = 1024;
    bool linked_ = false;
};

}  // namespace kxvisa
