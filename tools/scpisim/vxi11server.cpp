#include "vxi11server.h"

#include "listener.h"
#include "vxi11messages.h"
#include "xdr.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <thread>
#include <unistd.h>

namespace scpisim {

namespace vxi11 = kxvisa::vxi11;
using kxvisa::XdrReader;
using kxvisa::XdrWriter;

namespace {

constexpr size_t kMaxCallSize = 64u << 20;
std::atomic<int32_t> nextLinkId{1};

// Sends mark + header + data + padding as one record without copying the data.
bool sendReply(int fd, const std::vector<uint8_t> &header, const uint8_t *data, size_t size)
{
    const size_t pad = (4 - size % 4) % 4;
    std::vector<uint8_t> head(4);
    kxvisa::writeBe32(head.data(), 0x80000000u | uint32_t(header.size() + size + pad));
    head.insert(head.end(), header.begin(), header.end());
    static const uint8_t zeros[4] = {};
    iovec iov[3] = {{head.data(), head.size()},
                    {const_cast<uint8_t *>(data), size},
                    {const_cast<uint8_t *>(zeros), pad}};
    msghdr msg{};
    msg.msg_iov = iov;
    msg.msg_iovlen = 3;
    size_t left = head.size() + size + pad;
    while (left > 0) {
        const ssize_t n = ::sendmsg(fd, &msg, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        left -= size_t(n);
        for (size_t k = size_t(n); k > 0 && msg.msg_iovlen > 0;) {
            const size_t step = std::min(k, msg.msg_iov->iov_len);
            msg.msg_iov->iov_base = static_cast<uint8_t *>(msg.msg_iov->iov_base) + step;
            msg.msg_iov->iov_len -= step;
            k -= step;
            if (msg.msg_iov->iov_len == 0) {
                ++msg.msg_iov;
                --msg.msg_iovlen;
            }
        }
    }
    return true;
}

std::vector<uint8_t> withError(std::vector<uint8_t> header, int32_t error)
{
    XdrWriter(header).i32(error);
    return header;
}

// Answers the RPC calls of one connection with reply(call) until the peer goes or sends
// something that is not a call, then closes it. For the small side channels.
template<typename Reply>
void answerCalls(int fd, Reply reply)
{
    std::vector<uint8_t> record;
    RpcCall call;
    while (receiveRecord(fd, record, 4096) && decodeRpcCall(record, call))
        if (!sendRecord(fd, reply(call)))
            break;
    ::close(fd);
}

bool acceptedDevice(const std::string &name)
{
    std::string lower;
    for (char c : name)
        lower += char(std::tolower(static_cast<unsigned char>(c)));
    return lower.rfind("inst", 0) == 0 || lower.rfind("gpib", 0) == 0;
}

}  // namespace

struct Vxi11Server::Connection
{
    int fd;
    int id;
    std::map<int32_t, Link> links;
};

bool Vxi11Server::start()
{
    uint16_t udpPort = 0;
    const int core = openListener(config_.address, config_.corePort, false, corePort_);
    const int abortFd = core < 0 ? -1 : openListener(config_.address, 0, false, abortPort_);
    const int pmTcp = abortFd < 0 ? -1
                                  : openListener(config_.address, config_.portmapperPort, false,
                                                 portmapperPort_);
    const int pmUdp
            = pmTcp < 0 ? -1 : openListener(config_.address, portmapperPort_, true, udpPort);
    if (pmUdp < 0) {
        for (int fd : {core, abortFd, pmTcp})
            if (fd >= 0)
                ::close(fd);
        return false;
    }
    std::thread([this, core] { coreLoop(core); }).detach();
    std::thread([this, abortFd] { abortLoop(abortFd); }).detach();
    std::thread([this, pmTcp] { portmapperTcp(pmTcp); }).detach();
    std::thread([this, pmUdp] { portmapperUdp(pmUdp); }).detach();
    return true;
}

std::vector<uint8_t> Vxi11Server::portmapperReply(const RpcCall &call) const
{
    if (call.program != vxi11::kPortmapperProgram)
        return rpcReplyHeader(call.xid, ProgramUnavailable);
    if (call.version != vxi11::kPortmapperVersion)
        return rpcReplyHeader(call.xid, ProgramMismatch);
    if (call.procedure == 0)
        return rpcReplyHeader(call.xid, Success);
    if (call.procedure != vxi11::kPortmapperGetPort)
        return rpcReplyHeader(call.xid, ProcedureUnavailable);
    XdrReader r(call.args, call.argsSize);
    uint32_t program = 0, version = 0, protocol = 0, port = 0;
    if (!r.u32(program) || !r.u32(version) || !r.u32(protocol) || !r.u32(port))
        return rpcReplyHeader(call.xid, GarbageArguments);
    uint32_t answer = 0;
    if (program == vxi11::kCoreProgram && version == vxi11::kCoreVersion
        && protocol == vxi11::kIpProtoTcp)
        answer = corePort_;
    else if (program == vxi11::kAbortProgram && protocol == vxi11::kIpProtoTcp)
        answer = abortPort_;
    else if (program == vxi11::kPortmapperProgram)
        answer = portmapperPort_;
    std::vector<uint8_t> reply = rpcReplyHeader(call.xid, Success);
    XdrWriter(reply).u32(answer);
    return reply;
}

void Vxi11Server::portmapperTcp(int listener)
{
    acceptForever(listener, [this](int fd, int) {
        answerCalls(fd, [this](const RpcCall &call) { return portmapperReply(call); });
    });
}

void Vxi11Server::portmapperUdp(int fd)
{
    std::vector<uint8_t> datagram(8192);
    for (;;) {
        sockaddr_storage from{};
        socklen_t fromLength = sizeof from;
        const ssize_t n = ::recvfrom(fd, datagram.data(), datagram.size(), 0,
                                     reinterpret_cast<sockaddr *>(&from), &fromLength);
        if (n <= 0)
            continue;
        std::vector<uint8_t> record(datagram.begin(), datagram.begin() + n);
        RpcCall call;
        if (!decodeRpcCall(record, call))
            continue;
        const std::vector<uint8_t> reply = portmapperReply(call);
        ::sendto(fd, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr *>(&from),
                 fromLength);
    }
}

void Vxi11Server::abortLoop(int listener)
{
    acceptForever(listener, [](int fd, int) {
        answerCalls(fd, [](const RpcCall &call) {
            const bool known
                    = call.program == vxi11::kAbortProgram && call.procedure == vxi11::DeviceAbort;
            return known ? withError(rpcReplyHeader(call.xid, Success), vxi11::NoError)
                         : rpcReplyHeader(call.xid, ProcedureUnavailable);
        });
    });
}

void Vxi11Server::coreLoop(int listener)
{
    acceptForever(listener, [this](int fd, int id) { serveCore(fd, id); });
}

void Vxi11Server::serveCore(int fd, int id)
{
    Connection c{fd, id, {}};
    std::vector<uint8_t> record;
    RpcCall call;
    while (receiveRecord(fd, record, kMaxCallSize)) {
        if (!decodeRpcCall(record, call))
            break;
        if (!handleCore(c, call))
            break;
    }
    ::close(fd);
}

bool Vxi11Server::handleCore(Connection &c, const RpcCall &call)
{
    if (call.program != vxi11::kCoreProgram)
        return sendRecord(c.fd, rpcReplyHeader(call.xid, ProgramUnavailable));
    if (call.version != vxi11::kCoreVersion)
        return sendRecord(c.fd, rpcReplyHeader(call.xid, ProgramMismatch));
    switch (call.procedure) {
    case vxi11::CreateLink: return sendRecord(c.fd, createLink(c, call));
    case vxi11::DeviceWrite: return sendRecord(c.fd, deviceWrite(c, call));
    case vxi11::DeviceRead: return deviceRead(c, call);
    case vxi11::DeviceReadStb:
    case vxi11::DeviceTrigger:
    case vxi11::DeviceClear:
    case vxi11::DeviceRemote:
    case vxi11::DeviceLocal:
    case vxi11::DeviceLock:
    case vxi11::DeviceUnlock:
    case vxi11::DeviceEnableSrq:
    case vxi11::DestroyLink:
    case vxi11::CreateIntrChan:
    case vxi11::DestroyIntrChan:
    case vxi11::DeviceDoCmd: return sendRecord(c.fd, generic(c, call));
    default: return sendRecord(c.fd, rpcReplyHeader(call.xid, ProcedureUnavailable));
    }
}

std::vector<uint8_t> Vxi11Server::createLink(Connection &c, const RpcCall &call)
{
    XdrReader r(call.args, call.argsSize);
    int32_t clientId = 0;
    uint32_t lockDevice = 0, lockTimeout = 0;
    const uint8_t *name = nullptr;
    uint32_t nameSize = 0;
    if (!r.i32(clientId) || !r.u32(lockDevice) || !r.u32(lockTimeout)
        || !r.opaque(name, nameSize, 256))
        return rpcReplyHeader(call.xid, GarbageArguments);
    const std::string device(reinterpret_cast<const char *>(name), nameSize);
    std::vector<uint8_t> reply = rpcReplyHeader(call.xid, Success);
    XdrWriter w(reply);
    if (!acceptedDevice(device)) {
        w.i32(vxi11::DeviceNotAccessible);
        w.i32(0);
        w.u32(0);
        w.u32(0);
        return reply;
    }
    const int32_t lid = nextLinkId++;
    c.links[lid] = Link{device, "VXI11#" + std::to_string(c.id) + "/" + device, {}, nullptr};
    w.i32(vxi11::NoError);
    w.i32(lid);
    w.u32(abortPort_);
    w.u32(config_.maxReceiveSize);
    return reply;
}

std::vector<uint8_t> Vxi11Server::deviceWrite(Connection &c, const RpcCall &call)
{
    XdrReader r(call.args, call.argsSize);
    int32_t lid = 0;
    uint32_t ioTimeout = 0, lockTimeout = 0, flags = 0;
    const uint8_t *data = nullptr;
    uint32_t size = 0;
    if (!r.i32(lid) || !r.u32(ioTimeout) || !r.u32(lockTimeout) || !r.u32(flags)
        || !r.opaque(data, size, kMaxCallSize))
        return rpcReplyHeader(call.xid, GarbageArguments);
    std::vector<uint8_t> reply = rpcReplyHeader(call.xid, Success);
    XdrWriter w(reply);
    const auto it = c.links.find(lid);
    if (it == c.links.end()) {
        w.i32(vxi11::InvalidLinkId);
        w.u32(0);
        return reply;
    }
    if (size > config_.maxReceiveSize) {
        w.i32(vxi11::ParameterError);
        w.u32(0);
        return reply;
    }
    Link &link = it->second;
    link.input.append(reinterpret_cast<const char *>(data), size);
    auto run = [&](const std::string &message) {
        auto response = instrument_.execute(message, link.origin);
        if (!response->empty())
            link.output = response;
    };
    for (size_t end; (end = findMessageEnd(link.input)) > 0;) {
        run(link.input.substr(0, end));
        link.input.erase(0, end);
    }
    if ((flags & vxi11::FlagEnd) && !link.input.empty()) {
        run(link.input);
        link.input.clear();
    }
    w.i32(vxi11::NoError);
    w.u32(size);
    return reply;
}

bool Vxi11Server::deviceRead(Connection &c, const RpcCall &call)
{
    XdrReader r(call.args, call.argsSize);
    int32_t lid = 0;
    uint32_t requestSize = 0, ioTimeout = 0, lockTimeout = 0, flags = 0, termChar = 0;
    if (!r.i32(lid) || !r.u32(requestSize) || !r.u32(ioTimeout) || !r.u32(lockTimeout)
        || !r.u32(flags) || !r.u32(termChar))
        return sendRecord(c.fd, rpcReplyHeader(call.xid, GarbageArguments));
    std::vector<uint8_t> header = rpcReplyHeader(call.xid, Success);
    XdrWriter w(header);
    const auto it = c.links.find(lid);
    if (it == c.links.end()) {
        w.i32(vxi11::InvalidLinkId);
        w.u32(0);
        w.u32(0);
        return sendReply(c.fd, header, nullptr, 0);
    }
    Link &link = it->second;
    const auto deadline = Response::Clock::now()
                          + std::chrono::milliseconds(std::min<uint32_t>(ioTimeout, 3600000));
    for (;;) {
        const auto now = Response::Clock::now();
        const bool waiting = link.output && link.output->remaining() > 0;
        if (waiting && now >= link.output->readyAt)
            break;
        if (now >= deadline) {
            w.i32(vxi11::IoTimeout);
            w.u32(0);
            w.u32(0);
            return sendReply(c.fd, header, nullptr, 0);
        }
        const auto until = waiting ? std::min(deadline, link.output->readyAt) : deadline;
        const auto ms = std::chrono::ceil<std::chrono::milliseconds>(until - now).count();
        pollfd p{c.fd, POLLRDHUP, 0};
        if (::poll(&p, 1, int(std::min<int64_t>(ms, 1000))) > 0)
            return false;  // the client has gone
    }
    Response &out = *link.output;
    size_t n = std::min<uint64_t>({requestSize, config_.maxReadChunk, out.remaining()});
    if (out.chunkSize > 0)
        n = std::min(n, out.chunkSize);
    if (out.dropAfter >= 0) {
        const uint64_t left = uint64_t(out.dropAfter)
                              - std::min<uint64_t>(out.position(), uint64_t(out.dropAfter));
        if (left == 0) {
            // Part of a reply record, then the connection goes: a peer lost mid-block.
            std::vector<uint8_t> cut(4);
            kxvisa::writeBe32(cut.data(), 0x80000000u | uint32_t(header.size() + 12 + n));
            cut.insert(cut.end(), header.begin(), header.end());
            sendAll(c.fd, cut.data(), cut.size());
            return false;
        }
        n = std::min<uint64_t>(n, left);
    }
    uint32_t reason = 0;
    if (flags & vxi11::FlagTermCharSet) {
        bool found = false;
        n = out.scan(uint8_t(termChar), n, found);
        if (found)
            reason |= vxi11::ReasonTermChar;
    }
    std::vector<uint8_t> data(n);
    out.read(data.data(), n);
    if (out.remaining() == 0)
        reason |= vxi11::ReasonEnd;
    if (n == requestSize)
        reason |= vxi11::ReasonRequestCount;
    w.i32(vxi11::NoError);
    w.u32(reason);
    w.u32(uint32_t(n));
    if (!sendReply(c.fd, header, data.data(), n))
        return false;
    if (out.remaining() > 0 && out.chunkPauseMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(out.chunkPauseMs));
    if (out.remaining() == 0)
        link.output.reset();
    return true;
}

std::vector<uint8_t> Vxi11Server::generic(Connection &c, const RpcCall &call)
{
    XdrReader r(call.args, call.argsSize);
    int32_t lid = 0;
    if (!r.i32(lid))
        return rpcReplyHeader(call.xid, GarbageArguments);
    std::vector<uint8_t> reply = rpcReplyHeader(call.xid, Success);
    XdrWriter w(reply);
    if (call.procedure == vxi11::CreateIntrChan || call.procedure == vxi11::DeviceDoCmd) {
        w.i32(vxi11::OperationNotSupported);
        if (call.procedure == vxi11::DeviceDoCmd)
            w.u32(0);
        return reply;
    }
    if (call.procedure == vxi11::DestroyIntrChan) {
        w.i32(vxi11::NoError);
        return reply;
    }
    const auto it = c.links.find(lid);
    if (it == c.links.end()) {
        w.i32(vxi11::InvalidLinkId);
        if (call.procedure == vxi11::DeviceReadStb)
            w.u32(0);
        return reply;
    }
    Link &link = it->second;
    w.i32(vxi11::NoError);
    switch (call.procedure) {
    case vxi11::DeviceReadStb:
        w.u32(link.output && link.output->remaining() > 0 ? 0x10 : 0);  // MAV
        break;
    case vxi11::DeviceClear:
        link.input.clear();
        link.output.reset();
        instrument_.deviceClear(link.origin);
        break;
    case vxi11::DeviceRemote: instrument_.setRemote(true, link.origin); break;
    case vxi11::DeviceLocal: instrument_.setRemote(false, link.origin); break;
    case vxi11::DestroyLink: c.links.erase(it); break;
    default: break;
    }
    return reply;
}

}  // namespace scpisim
