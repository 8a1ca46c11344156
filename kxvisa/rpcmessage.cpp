#include "rpcmessage.h"

#include "xdr.h"

namespace kxvisa {

void encodeRpcCall(std::vector<uint8_t> &out, uint32_t xid, uint32_t program, uint32_t version,
                   uint32_t procedure, const std::vector<uint8_t> &arguments)
{
    XdrWriter w(out);
    w.u32(xid);
    w.u32(0);  // CALL
    w.u32(2);  // RPC version
    w.u32(program);
    w.u32(version);
    w.u32(procedure);
    w.u32(0);  // AUTH_NONE credentials
    w.u32(0);
    w.u32(0);  // AUTH_NONE verifier
    w.u32(0);
    out.insert(out.end(), arguments.begin(), arguments.end());
}

RpcReplyStatus decodeRpcReply(const uint8_t *data, size_t size, uint32_t &xid, const uint8_t *&body,
                              size_t &bodySize)
{
    XdrReader r(data, size);
    uint32_t type = 0, replyStat = 0;
    if (!r.u32(xid) || !r.u32(type))
        return RpcReplyStatus::Malformed;
    if (type != 1)
        return RpcReplyStatus::NotAReply;
    if (!r.u32(replyStat))
        return RpcReplyStatus::Malformed;
    if (replyStat != 0)
        return replyStat == 1 ? RpcReplyStatus::Denied : RpcReplyStatus::Malformed;
    uint32_t flavor = 0, acceptStat = 0;
    const uint8_t *verifier = nullptr;
    uint32_t verifierSize = 0;
    if (!r.u32(flavor) || !r.opaque(verifier, verifierSize, 400) || !r.u32(acceptStat))
        return RpcReplyStatus::Malformed;
    switch (acceptStat) {
    case 0:
        bodySize = r.remaining();
        body = data + (size - bodySize);
        return RpcReplyStatus::Success;
    case 1: return RpcReplyStatus::ProgramUnavailable;
    case 2: return RpcReplyStatus::VersionMismatch;
    case 3: return RpcReplyStatus::ProcedureUnavailable;
    case 4: return RpcReplyStatus::GarbageArguments;
    case 5: return RpcReplyStatus::SystemError;
    default: return RpcReplyStatus::Malformed;
    }
}

}  // namespace kxvisa
