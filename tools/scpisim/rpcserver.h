#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace scpisim {

// One decoded ONC RPC call; args points into the record it was decoded from.
struct RpcCall
{
    uint32_t xid = 0;
    uint32_t program = 0;
    uint32_t version = 0;
    uint32_t procedure = 0;
    const uint8_t *args = nullptr;
    size_t argsSize = 0;
};

enum AcceptStatus : uint32_t {
    Success = 0,
    ProgramUnavailable = 1,
    ProgramMismatch = 2,
    ProcedureUnavailable = 3,
    GarbageArguments = 4
};

bool decodeRpcCall(const std::vector<uint8_t> &record, RpcCall &call);
// The reply header up to and including accept_stat (and the version range for a mismatch);
// the caller appends the results.
std::vector<uint8_t> rpcReplyHeader(uint32_t xid, AcceptStatus status);

// Reads one record (all fragments) from a TCP stream; false on close or a record over maxSize.
bool receiveRecord(int fd, std::vector<uint8_t> &record, size_t maxSize);
// Sends a complete message as one last fragment.
bool sendRecord(int fd, const std::vector<uint8_t> &message);

}  // namespace scpisim
