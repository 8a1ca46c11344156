#pragma once

#include "deadline.h"
#include "rpcmessage.h"
#include "tcpconnection.h"
#include "visa.h"

#include <cstdint>
#include <vector>

namespace kxvisa {

// ONC RPC calls over one TCP connection with record marking. A reply that arrives after its
// call gave up is recognised by its transaction id and dropped by the next call, and a record
// cut short by a timeout is finished by the next call, so the stream stays in step.
class RpcClient
{
public:
    RpcClient(TcpConnection &connection, uint32_t program, uint32_t version)
        : connection_(connection)
        , program_(program)
        , version_(version)
    {}

    // On VI_SUCCESS, body/bodySize point at the results; valid until the next call.
    ViStatus call(uint32_t procedure, const std::vector<uint8_t> &arguments, Deadline deadline,
                  size_t maxReplySize, const uint8_t *&body, size_t &bodySize);
    bool broken() const { return broken_; }

private:
    ViStatus receiveRecord(Deadline deadline, size_t maxReplySize);
    ViStatus receiveHeader(Deadline deadline, size_t maxReplySize);

    TcpConnection &connection_;
    uint32_t program_;
    uint32_t version_;
    uint32_t nextXid_ = 0x4B580001u;
    std::vector<uint8_t> request_;
    std::vector<uint8_t> record_;
    size_t filled_ = 0;  // bytes of record_ already received
    uint8_t header_[4] = {};
    size_t headerGot_ = 0;
    bool inFragment_ = false;
    bool lastFragment_ = false;
    bool broken_ = false;
};

}  // namespace kxvisa
