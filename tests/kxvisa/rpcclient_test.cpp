// The RPC client against a scripted server on loopback: fragments, late replies and
// records cut by a timeout.
#include "listener.h"
#include "rpcclient.h"
#include "rpcserver.h"
#include "xdr.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace kxvisa;

namespace {

class ScriptedServer
{
public:
    explicit ScriptedServer(std::function<void(int)> script)
    {
        listener_ = scpisim::openListener("127.0.0.1", 0, false, port_);
        thread_ = std::thread([this, script] {
            const int fd = ::accept(listener_, nullptr, nullptr);
            script(fd);
            ::close(fd);
        });
    }
    ~ScriptedServer()
    {
        thread_.join();
        ::close(listener_);
    }
    uint16_t port() const { return port_; }

private:
    int listener_ = -1;
    uint16_t port_ = 0;
    std::thread thread_;
};

std::vector<uint8_t> replyWith(uint32_t xid, uint32_t value)
{
    std::vector<uint8_t> r = scpisim::rpcReplyHeader(xid, scpisim::Success);
    XdrWriter(r).u32(value);
    return r;
}

// Sends message as fragments of the given sizes (the last takes the rest).
void sendFragments(int fd, const std::vector<uint8_t> &message, std::vector<size_t> sizes)
{
    size_t pos = 0;
    for (size_t i = 0; i <= sizes.size(); ++i) {
        const bool last = i == sizes.size();
        const size_t n = last ? message.size() - pos : sizes[i];
        uint8_t mark[4];
        writeBe32(mark, (last ? 0x80000000u : 0) | uint32_t(n));
        scpisim::sendAll(fd, mark, 4);
        scpisim::sendAll(fd, message.data() + pos, n);
        pos += n;
    }
}

uint32_t valueOf(const uint8_t *body, size_t size)
{
    XdrReader r(body, size);
    uint32_t v = 0;
    return r.u32(v) ? v : 0xDEADBEEF;
}

}  // namespace

TEST(RpcClient, ReassemblesFragmentsAndSkipsLateReplies)
{
    ScriptedServer server([](int fd) {
        std::vector<uint8_t> record;
        scpisim::RpcCall call;
        ASSERT_TRUE(scpisim::receiveRecord(fd, record, 4096)
                    && scpisim::decodeRpcCall(record, call));
        EXPECT_EQ(call.program, 0x0607AFu);
        EXPECT_EQ(call.procedure, 12u);
        sendFragments(fd, replyWith(call.xid - 1, 111), {5});
        sendFragments(fd, replyWith(call.xid, 222), {1, 7, 3});
    });
    TcpConnection c;
    ASSERT_EQ(c.connectTo("127.0.0.1", server.port(), Deadline::fromTimeoutMs(5000)), VI_SUCCESS);
    RpcClient rpc(c, 0x0607AF, 1);
    const uint8_t *body = nullptr;
    size_t size = 0;
    ASSERT_EQ(rpc.call(12, {}, Deadline::fromTimeoutMs(5000), 64, body, size), VI_SUCCESS);
    EXPECT_EQ(valueOf(body, size), 222u);
}

TEST(RpcClient, ARecordCutByATimeoutIsFinishedAndDroppedByTheNextCall)
{
    ScriptedServer server([](int fd) {
        std::vector<uint8_t> record;
        scpisim::RpcCall first, second;
        ASSERT_TRUE(scpisim::receiveRecord(fd, record, 4096)
                    && scpisim::decodeRpcCall(record, first));
        const std::vector<uint8_t> late = replyWith(first.xid, 1);
        uint8_t mark[4];
        writeBe32(mark, 0x80000000u | uint32_t(late.size()));
        scpisim::sendAll(fd, mark, 4);
        scpisim::sendAll(fd, late.data(), 10);  // half a record, then silence
        ASSERT_TRUE(scpisim::receiveRecord(fd, record, 4096)
                    && scpisim::decodeRpcCall(record, second));
        scpisim::sendAll(fd, late.data() + 10, late.size() - 10);
        sendFragments(fd, replyWith(second.xid, 2), {});
    });
    TcpConnection c;
    ASSERT_EQ(c.connectTo("127.0.0.1", server.port(), Deadline::fromTimeoutMs(5000)), VI_SUCCESS);
    RpcClient rpc(c, 0x0607AF, 1);
    const uint8_t *body = nullptr;
    size_t size = 0;
    EXPECT_EQ(rpc.call(12, {}, Deadline::fromTimeoutMs(200), 64, body, size), VI_ERROR_TMO);
    EXPECT_FALSE(rpc.broken());
    ASSERT_EQ(rpc.call(12, {}, Deadline::fromTimeoutMs(5000), 64, body, size), VI_SUCCESS);
    EXPECT_EQ(valueOf(body, size), 2u);
}

TEST(RpcClient, OversizedRecordsAndClosedPeersBreakTheLink)
{
    ScriptedServer server([](int fd) {
        std::vector<uint8_t> record;
        ASSERT_TRUE(scpisim::receiveRecord(fd, record, 4096));
        uint8_t mark[4];
        writeBe32(mark, 0x80000000u | 0x7FFFFFF0u);
        scpisim::sendAll(fd, mark, 4);
    });
    TcpConnection c;
    ASSERT_EQ(c.connectTo("127.0.0.1", server.port(), Deadline::fromTimeoutMs(5000)), VI_SUCCESS);
    RpcClient rpc(c, 0x0607AF, 1);
    const uint8_t *body = nullptr;
    size_t size = 0;
    EXPECT_EQ(rpc.call(12, {}, Deadline::fromTimeoutMs(5000), 64, body, size), VI_ERROR_IO);
    EXPECT_TRUE(rpc.broken());
    EXPECT_EQ(rpc.call(12, {}, Deadline::fromTimeoutMs(5000), 64, body, size), VI_ERROR_CONN_LOST);
}
