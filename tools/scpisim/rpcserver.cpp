#include "rpcserver.h"

#include "listener.h"
#include "xdr.h"

namespace scpisim {

using kxvisa::XdrReader;
using kxvisa::XdrWriter;

bool decodeRpcCall(const std::vector<uint8_t> &record, RpcCall &call)
{
    XdrReader r(record.data(), record.size());
    uint32_t type = 0, rpcVersion = 0, flavor = 0;
    const uint8_t *auth = nullptr;
    uint32_t authSize = 0;
    if (!r.u32(call.xid) || !r.u32(type) || type != 0 || !r.u32(rpcVersion) || rpcVersion != 2
        || !r.u32(call.program) || !r.u32(call.version) || !r.u32(call.procedure) || !r.u32(flavor)
        || !r.opaque(auth, authSize, 400) || !r.u32(flavor) || !r.opaque(auth, authSize, 400))
        return false;
    call.argsSize = r.remaining();
    call.args = record.data() + (record.size() - call.argsSize);
    return true;
}

std::vector<uint8_t> rpcReplyHeader(uint32_t xid, AcceptStatus status)
{
    std::vector<uint8_t> out;
    XdrWriter w(out);
    w.u32(xid);
    w.u32(1);  // REPLY
    w.u32(0);  // MSG_ACCEPTED
    w.u32(0);  // AUTH_NONE verifier
    w.u32(0);
    w.u32(status);
    if (status == ProgramMismatch) {
        w.u32(1);
        w.u32(1);
    }
    return out;
}

bool receiveRecord(int fd, std::vector<uint8_t> &record, size_t maxSize)
{
    record.clear();
    for (;;) {
        uint8_t mark[4];
        if (!receiveExactly(fd, mark, 4))
            return false;
        const uint32_t m = kxvisa::readBe32(mark);
        const size_t length = m & 0x7FFFFFFFu;
        if (record.size() + length > maxSize)
            return false;
        const size_t old = record.size();
        record.resize(old + length);
        if (!receiveExactly(fd, record.data() + old, length))
            return false;
        if (m & 0x80000000u)
            return true;
    }
}

bool sendRecord(int fd, const std::vector<uint8_t> &message)
{
    uint8_t mark[4];
    kxvisa::writeBe32(mark, 0x80000000u | uint32_t(message.size()));
    return sendAll(fd, mark, 4) && sendAll(fd, message.data(), message.size());
}

}  // namespace scpisim
