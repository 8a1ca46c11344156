#include "rpcmessage.h"
#include "vxi11messages.h"
#include "xdr.h"

#include <gtest/gtest.h>

using namespace kxvisa;

namespace {

std::vector<uint8_t> words(std::initializer_list<uint32_t> values)
{
    std::vector<uint8_t> out;
    XdrWriter w(out);
    for (uint32_t v : values)
        w.u32(v);
    return out;
}

}  // namespace

TEST(Vxi11Messages, CallsAreEncodedByteExact)
{
    std::vector<uint8_t> call;
    encodeRpcCall(call, 0x11223344, vxi11::kCoreProgram, 1, vxi11::CreateLink,
                  vxi11::encodeCreateLink(7, true, 500, "inst0"));
    // One XDR word a group: xid, call, RPC 2, program, version, procedure, AUTH_NONE credentials
    // and verifier, then the link's client id, lock, lock timeout and device name padded to 4.
    // clang-format off
    const std::vector<uint8_t> expected = {
        0x11, 0x22, 0x33, 0x44,  0, 0, 0, 0,  0, 0, 0, 2,  0, 0x06, 0x07, 0xAF,  0, 0, 0, 1,
        0, 0, 0, 10,  0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0,
        0, 0, 0, 7,  0, 0, 0, 1,  0, 0, 0x01, 0xF4,  0, 0, 0, 5,  'i', 'n', 's', 't', '0', 0, 0, 0};
    // clang-format on
    EXPECT_EQ(call, expected);

    const uint8_t data[] = {'*', 'I', 'D', 'N', '?', '\n'};
    EXPECT_EQ(vxi11::encodeWrite(3, 2000, 0, vxi11::FlagEnd, data, sizeof data),
              (std::vector<uint8_t>{0, 0, 0, 3, 0, 0, 0x07, 0xD0, 0,   0,   0,   0,    0, 0,
                                    0, 8, 0, 0, 0, 6, '*',  'I',  'D', 'N', '?', '\n', 0, 0}));
    vxi11::ReadParams p;
    p.link = 3;
    p.requestSize = 0x01000000;
    p.ioTimeout = 100;
    p.flags = vxi11::FlagTermCharSet;
    p.termChar = '\n';
    EXPECT_EQ(vxi11::encodeRead(p), words({3, 0x01000000, 100, 0, 128, 10}));
    EXPECT_EQ(vxi11::encodeGetPort(vxi11::kCoreProgram, 1, 6), words({0x0607AF, 1, 6, 0}));
}

TEST(Vxi11Messages, RepliesAreDecodedAndCheckedForLength)
{
    std::vector<uint8_t> reply = words({42, 1, 0, 0, 0, 0});
    std::vector<uint8_t> read = words({0, vxi11::ReasonEnd, 3});
    read.insert(read.end(), {'a', 'b', 'c', 0});
    reply.insert(reply.end(), read.begin(), read.end());
    uint32_t xid = 0;
    const uint8_t *b = nullptr;
    size_t size = 0;
    ASSERT_EQ(decodeRpcReply(reply.data(), reply.size(), xid, b, size), RpcReplyStatus::Success);
    EXPECT_EQ(xid, 42u);
    vxi11::ReadReply r;
    ASSERT_TRUE(vxi11::decodeRead(b, size, 100, r));
    EXPECT_EQ(r.reason, uint32_t(vxi11::ReasonEnd));
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(r.data), r.size), "abc");
    EXPECT_FALSE(vxi11::decodeRead(b, size, 2, r)) << "more data than asked for";
    EXPECT_FALSE(vxi11::decodeRead(b, size - 1, 100, r)) << "padding cut off";
    EXPECT_FALSE(vxi11::decodeRead(b, 8, 100, r));

    vxi11::CreateLinkReply link;
    const auto linkBody = words({0, 9, 1234, 4096});
    ASSERT_TRUE(vxi11::decodeCreateLink(linkBody.data(), linkBody.size(), link));
    EXPECT_EQ(link.link, 9);
    EXPECT_EQ(link.maxReceiveSize, 4096u);
    EXPECT_FALSE(vxi11::decodeCreateLink(linkBody.data(), 12, link));
    uint32_t port = 0;
    const auto portBody = words({70000});
    EXPECT_FALSE(vxi11::decodeGetPort(portBody.data(), portBody.size(), port));
}

TEST(Vxi11Messages, RejectedAndBrokenRepliesAreRecognised)
{
    uint32_t xid = 0;
    const uint8_t *b = nullptr;
    size_t size = 0;
    const auto denied = words({5, 1, 1, 1, 2});
    EXPECT_EQ(decodeRpcReply(denied.data(), denied.size(), xid, b, size), RpcReplyStatus::Denied);
    const auto noProc = words({5, 1, 0, 0, 0, 3});
    EXPECT_EQ(decodeRpcReply(noProc.data(), noProc.size(), xid, b, size),
              RpcReplyStatus::ProcedureUnavailable);
    const auto call = words({5, 0});
    EXPECT_EQ(decodeRpcReply(call.data(), call.size(), xid, b, size), RpcReplyStatus::NotAReply);
    const auto hugeVerifier = words({5, 1, 0, 0, 0xFFFFFFF0});
    EXPECT_EQ(decodeRpcReply(hugeVerifier.data(), hugeVerifier.size(), xid, b, size),
              RpcReplyStatus::Malformed);
    EXPECT_EQ(decodeRpcReply(call.data(), 3, xid, b, size), RpcReplyStatus::Malformed);
}
