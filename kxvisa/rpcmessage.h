#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kxvisa {

// ONC RPC (version 2) call and reply framing, without the TCP record marks.
enum class RpcReplyStatus {
    Success,
    Malformed,
    NotAReply,
    Denied,
    ProgramUnavailable,
    VersionMismatch,
    ProcedureUnavailable,
    GarbageArguments,
    SystemError,
};

constexpr uint32_t kRpcLastFragment = 0x80000000u;

void encodeRpcCall(std::vector<uint8_t> &out, uint32_t xid, uint32_t program, uint32_t version,
                   uint32_t procedure, const std::vector<uint8_t> &arguments);

// On Success, body/bodySize give the procedure's results inside data.
RpcReplyStatus decodeRpcReply(const uint8_t *data, size_t size, uint32_t &xid, const uint8_t *&body,
                              size_t &bodySize);

}  // namespace kxvisa
