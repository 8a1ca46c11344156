#include "vxi11session.h"

#include "vxi11messages.h"

#include <unistd.h>

namespace kxvisa {
namespace {

// How long to wait for a reply beyond the I/O timeout the device was given: the device
// itself answers with an I/O timeout error, which is the normal way a read times out.
constexpr std::chrono::milliseconds kReplyGrace(500);
constexpr uint32_t kMaxReadRequest = 8u << 20;
constexpr uint32_t kMaxWriteChunk = 1u << 20;
constexpr size_t kSmallReply = 256;

ViStatus statusOfDeviceError(int32_t error)
{
    switch (error) {
    case vxi11::NoError: return VI_SUCCESS;
    case vxi11::IoTimeout: return VI_ERROR_TMO;
    case vxi11::DeviceLocked: return VI_ERROR_RSRC_LOCKED;
    case vxi11::InvalidLinkId: return VI_ERROR_CONN_LOST;
    case vxi11::Abort: return VI_ERROR_ABORT;
    case vxi11::OperationNotSupported: return VI_ERROR_NSUP_OPER;
    default: return VI_ERROR_IO;
    }
}

ViStatus lookUpCorePort(const std::string &host, Deadline deadline, uint16_t &port)
{
    TcpConnection portmapper;
    ViStatus s = portmapper.connectTo(host, 111, deadline);
    if (s != VI_SUCCESS)
        return VI_ERROR_RSRC_NFOUND;
    RpcClient rpc(portmapper, vxi11::kPortmapperProgram, vxi11::kPortmapperVersion);
    const uint8_t *body = nullptr;
    size_t size = 0;
    s = rpc.call(vxi11::kPortmapperGetPort,
                 vxi11::encodeGetPort(vxi11::kCoreProgram, vxi11::kCoreVersion, vxi11::kIpProtoTcp),
                 deadline, kSmallReply, body, size);
    uint32_t value = 0;
    if (s != VI_SUCCESS || !vxi11::decodeGetPort(body, size, value) || value == 0)
        return VI_ERROR_RSRC_NFOUND;
    port = uint16_t(value);
    return VI_SUCCESS;
}

}  // namespace

ViStatus Vxi11Session::open(const ResourceName &resource, ViSession resourceManager,
                            bool lockDevice, Deadline deadline, std::unique_ptr<Session> &out)
{
    uint16_t port = 0;
    ViStatus s = lookUpCorePort(resource.host, deadline, port);
    if (s != VI_SUCCESS)
        return s;
    std::unique_ptr<Vxi11Session> session(new Vxi11Session(resource, resourceManager));
    s = session->connection_.connectTo(resource.host, port, deadline);
    if (s == VI_SUCCESS)
        s = session->createLink(lockDevice, deadline);
    if (s != VI_SUCCESS)
        return s == VI_ERROR_RSRC_LOCKED ? s : VI_ERROR_RSRC_NFOUND;
    out = std::move(session);
    return VI_SUCCESS;
}

ViStatus Vxi11Session::createLink(bool lockDevice, Deadline deadline)
{
    const uint8_t *body = nullptr;
    size_t size = 0;
    ViStatus s = rpc_.call(vxi11::CreateLink,
                           vxi11::encodeCreateLink(int32_t(::getpid()), lockDevice,
                                                   deadline.remainingMs(), resource().device),
                           deadline, kSmallReply, body, size);
    if (s != VI_SUCCESS)
        return s;
    vxi11::CreateLinkReply reply;
    if (!vxi11::decodeCreateLink(body, size, reply))
        return VI_ERROR_IO;
    if (reply.error != vxi11::NoError)
        return statusOfDeviceError(reply.error);
    link_ = reply.link;
    linked_ = true;
    if (reply.maxReceiveSize > 0)
        maxWriteChunk_
                = reply.maxReceiveSize < kMaxWriteChunk ? reply.maxReceiveSize : kMaxWriteChunk;
    return VI_SUCCESS;
}

ViStatus Vxi11Session::rpcCall(uint32_t procedure, const std::vector<uint8_t> &args,
                               Deadline ioDeadline, size_t maxReply, const uint8_t *&body,
                               size_t &bodySize)
{
    const Deadline replyDeadline
            = ioDeadline.infinite() ? ioDeadline : ioDeadline.extendedBy(kReplyGrace);
    return rpc_.call(procedure, args, replyDeadline, maxReply, body, bodySize);
}

void Vxi11Session::applySocketOptions(const IoAttributes &a)
{
    connection_.setNoDelay(a.noDelay);
    connection_.setKeepAlive(a.keepAlive);
}

ViStatus Vxi11Session::write(const uint8_t *data, size_t size, size_t &done, Deadline deadline)
{
    const IoAttributes a = attributes();
    done = 0;
    do {
        const size_t chunk = size - done < maxWriteChunk_ ? size - done : maxWriteChunk_;
        const bool last = done + chunk == size;
        const uint32_t flags = last && a.sendEnd ? uint32_t(vxi11::FlagEnd) : 0u;
        const uint8_t *body = nullptr;
        size_t bodySize = 0;
        ViStatus s = rpcCall(
                vxi11::DeviceWrite,
                vxi11::encodeWrite(link_, deadline.remainingMs(), 0, flags, data + done, chunk),
                deadline, kSmallReply, body, bodySize);
        if (s != VI_SUCCESS)
            return s;
        vxi11::WriteReply reply;
        if (!vxi11::decodeWrite(body, bodySize, reply) || reply.size > chunk)
            return VI_ERROR_IO;
        done += reply.size;
        if (reply.error != vxi11::NoError)
            return statusOfDeviceError(reply.error);
        if (reply.size == 0 && chunk > 0)
            return VI_ERROR_IO;
    } while (done < size);
    return VI_SUCCESS;
}

ViStatus Vxi11Session::read(uint8_t *data, size_t size, size_t &got, Deadline deadline)
{
    const IoAttributes a = attributes();
    got = 0;
    while (got < size) {
        vxi11::ReadParams p;
        p.link = link_;
        p.requestSize = size - got < kMaxReadRequest ? uint32_t(size - got) : kMaxReadRequest;
        p.ioTimeout = deadline.remainingMs();
        p.flags = a.termCharEnabled ? uint32_t(vxi11::FlagTermCharSet) : 0u;
        p.termChar = a.termChar;
        const uint8_t *body = nullptr;
        size_t bodySize = 0;
        ViStatus s = rpcCall(vxi11::DeviceRead, vxi11::encodeRead(p), deadline, p.requestSize, body,
                             bodySize);
        if (s != VI_SUCCESS)
            return s;
        vxi11::ReadReply reply;
        if (!vxi11::decodeRead(body, bodySize, p.requestSize, reply))
            return VI_ERROR_IO;
        std::copy(reply.data, reply.data + reply.size, data + got);
        got += reply.size;
        if (reply.error != vxi11::NoError)
            return statusOfDeviceError(reply.error);
        // A termination character that also carries END still reports the termination character.
        const bool ended = (reply.reason & vxi11::ReasonEnd) && !a.suppressEnd;
        if ((ended || (reply.reason & vxi11::ReasonTermChar)) && endsWithTermChar(a, data, got))
            return VI_SUCCESS_TERM_CHAR;
        if (ended)
            return VI_SUCCESS;
        if (reply.size == 0 && deadline.expired())
            return VI_ERROR_TMO;
    }
    return VI_SUCCESS_MAX_CNT;
}

ViStatus Vxi11Session::genericCall(uint32_t procedure, Deadline deadline)
{
    const uint8_t *body = nullptr;
    size_t size = 0;
    ViStatus s = rpcCall(procedure, vxi11::encodeGeneric(link_, 0, 0, deadline.remainingMs()),
                         deadline, kSmallReply, body, size);
    if (s != VI_SUCCESS)
        return s;
    int32_t error = 0;
    if (!vxi11::decodeError(body, size, error))
        return VI_ERROR_IO;
    return statusOfDeviceError(error);
}

ViStatus Vxi11Session::clear(Deadline deadline)
{
    return genericCall(vxi11::DeviceClear, deadline);
}

ViStatus Vxi11Session::controlRen(uint16_t mode, Deadline deadline)
{
    switch (mode) {
    case VI_GPIB_REN_DEASSERT:
    case VI_GPIB_REN_DEASSERT_GTL:
    case VI_GPIB_REN_ADDRESS_GTL: return genericCall(vxi11::DeviceLocal, deadline);
    case VI_GPIB_REN_ASSERT:
    case VI_GPIB_REN_ASSERT_ADDRESS:
    case VI_GPIB_REN_ASSERT_LLO:
    case VI_GPIB_REN_ASSERT_ADDRESS_LLO: return genericCall(vxi11::DeviceRemote, deadline);
    default: return VI_ERROR_INV_MODE;
    }
}

void Vxi11Session::close()
{
    if (!linked_ || rpc_.broken())
        return;
    const uint8_t *body = nullptr;
    size_t size = 0;
    rpc_.call(vxi11::DestroyLink, vxi11::encodeLink(link_), Deadline::fromTimeoutMs(1000),
              kSmallReply, body, size);
    linked_ = false;
}

}  // namespace kxvisa
