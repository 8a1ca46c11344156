// Replies come from the network: the RPC reply decoder and every VXI-11 result decoder must
// reject malformed input without reading outside it.
#include "rpcmessage.h"
#include "vxi11messages.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace kxvisa;
    uint32_t xid = 0;
    const uint8_t *body = nullptr;
    size_t bodySize = 0;
    if (decodeRpcReply(data, size, xid, body, bodySize) != RpcReplyStatus::Success)
        return 0;
    if (body < data || body + bodySize != data + size)
        std::abort();
    vxi11::ReadReply read;
    if (vxi11::decodeRead(body, bodySize, 1u << 20, read)
        && (read.size > (1u << 20) || read.data < body || read.data + read.size > body + bodySize))
        std::abort();
    vxi11::CreateLinkReply link;
    vxi11::decodeCreateLink(body, bodySize, link);
    vxi11::WriteReply write;
    vxi11::decodeWrite(body, bodySize, write);
    uint32_t port = 0;
    vxi11::decodeGetPort(body, bodySize, port);
    int32_t error = 0;
    vxi11::decodeError(body, bodySize, error);
    return 0;
}
