#include "vxi11messages.h"

#include "xdr.h"

namespace kxvisa::vxi11 {

std::vector<uint8_t> encodeGetPort(uint32_t program, uint32_t version, uint32_t protocol)
{
    std::vector<uint8_t> out;
    XdrWriter w(out);
    w.u32(program);
    w.u32(version);
    w.u32(protocol);
    w.u32(0);
    return out;
}

std::vector<uint8_t> encodeCreateLink(int32_t clientId, bool lockDevice, uint32_t lockTimeout,
                                      const std::string &device)
{
    std::vector<uint8_t> out;
    XdrWriter w(out);
    w.i32(clientId);
    w.boolean(lockDevice);
    w.u32(lockTimeout);
    w.string(device);
    return out;
}

std::vector<uint8_t> encodeWrite(int32_t link, uint32_t ioTimeout, uint32_t lockTimeout,
                                 uint32_t flags, const uint8_t *data, size_t size)
{
    std::vector<uint8_t> out;
    out.reserve(24 + size);
    XdrWriter w(out);
    w.i32(link);
    w.u32(ioTimeout);
    w.u32(lockTimeout);
    w.u32(flags);
    w.opaque(data, size);
    return out;
}

std::vector<uint8_t> encodeRead(const ReadParams &p)
{
    std::vector<uint8_t> out;
    XdrWriter w(out);
    w.i32(p.link);
    w.u32(p.requestSize);
    w.u32(p.ioTimeout);
    w.u32(p.lockTimeout);
    w.u32(p.flags);
    w.u32(p.termChar);
    return out;
}

std::vector<uint8_t> encodeGeneric(int32_t link, uint32_t flags, uint32_t lockTimeout,
                                   uint32_t ioTimeout)
{
    std::vector<uint8_t> out;
    XdrWriter w(out);
    w.i32(link);
    w.u32(flags);
    w.u32(lockTimeout);
    w.u32(ioTimeout);
    return out;
}

std::vector<uint8_t> encodeLink(int32_t link)
{
    std::vector<uint8_t> out;
    XdrWriter w(out);
    w.i32(link);
    return out;
}

bool decodeGetPort(const uint8_t *body, size_t size, uint32_t &port)
{
    XdrReader r(body, size);
    return r.u32(port) && port <= 65535;
}

bool decodeCreateLink(const uint8_t *body, size_t size, CreateLinkReply &out)
{
    XdrReader r(body, size);
    return r.i32(out.error) && r.i32(out.link) && r.u32(out.abortPort) && r.u32(out.maxReceiveSize);
}

bool decodeWrite(const uint8_t *body, size_t size, WriteReply &out)
{
    XdrReader r(body, size);
    return r.i32(out.error) && r.u32(out.size);
}

bool decodeRead(const uint8_t *body, size_t size, uint32_t maxData, ReadReply &out)
{
    XdrReader r(body, size);
    return r.i32(out.error) && r.u32(out.reason) && r.opaque(out.data, out.size, maxData);
}

bool decodeError(const uint8_t *body, size_t size, int32_t &error)
{
    XdrReader r(body, size);
    return r.i32(error);
}

}  // namespace kxvisa::vxi11
