#include "rpcclient.h"

#include "xdr.h"

namespace kxvisa {
namespace {

// Room for the RPC reply header and the fixed fields around a procedure's data.
constexpr size_t kReplyOverhead = 1024;

}  // namespace

ViStatus RpcClient::call(uint32_t procedure, const std::vector<uint8_t> &arguments,
                         Deadline deadline, size_t maxReplySize, const uint8_t *&body,
                         size_t &bodySize)
{
    if (broken_)
        return VI_ERROR_CONN_LOST;
    const uint32_t xid = nextXid_++;
    request_.assign(4, 0);
    encodeRpcCall(request_, xid, program_, version_, procedure, arguments);
    writeBe32(request_.data(), kRpcLastFragment | uint32_t(request_.size() - 4));
    size_t sent = 0;
    ViStatus s = connection_.sendAll(request_.data(), request_.size(), sent, deadline);
    if (s != VI_SUCCESS) {
        // A request cut in the middle leaves the server unable to find the next record.
        broken_ = sent != 0 || s == VI_ERROR_CONN_LOST;
        return s;
    }
    for (;;) {
        s = receiveRecord(deadline, maxReplySize + kReplyOverhead);
        if (s != VI_SUCCESS)
            return s;
        uint32_t replyXid = 0;
        const RpcReplyStatus rs = decodeRpcReply(record_.data(), filled_, replyXid, body, bodySize);
        if (rs == RpcReplyStatus::Malformed) {
            broken_ = true;
            return VI_ERROR_IO;
        }
        if (replyXid != xid)
            continue;  // the late answer to an abandoned call
        if (rs == RpcReplyStatus::Success)
            return VI_SUCCESS;
        return rs == RpcReplyStatus::ProcedureUnavailable ? VI_ERROR_NSUP_OPER : VI_ERROR_IO;
    }
}

ViStatus RpcClient::receiveHeader(Deadline deadline, size_t maxReplySize)
{
    while (headerGot_ < 4) {
        size_t got = 0;
        const ViStatus s
                = connection_.receiveSome(header_ + headerGot_, 4 - headerGot_, got, deadline);
        if (s != VI_SUCCESS) {
            broken_ = s == VI_ERROR_CONN_LOST;
            return s;
        }
        headerGot_ += got;
    }
    const uint32_t mark = readBe32(header_);
    const size_t length = mark & ~kRpcLastFragment;
    if (filled_ + length > maxReplySize) {
        broken_ = true;
        return VI_ERROR_IO;
    }
    headerGot_ = 0;
    lastFragment_ = (mark & kRpcLastFragment) != 0;
    inFragment_ = true;
    record_.resize(filled_ + length);
    return VI_SUCCESS;
}

ViStatus RpcClient::receiveRecord(Deadline deadline, size_t maxReplySize)
{
    if (!inFragment_ && headerGot_ == 0 && lastFragment_) {
        filled_ = 0;  // the previous record was complete
        lastFragment_ = false;
    }
    for (;;) {
        if (!inFragment_) {
            const ViStatus s = receiveHeader(deadline, maxReplySize);
            if (s != VI_SUCCESS)
                return s;
        }
        while (filled_ < record_.size()) {
            size_t got = 0;
            const ViStatus s = connection_.receiveSome(record_.data() + filled_,
                                                       record_.size() - filled_, got, deadline);
            if (s != VI_SUCCESS) {
                broken_ = s == VI_ERROR_CONN_LOST;
                return s;
            }
            filled_ += got;
        }
        inFragment_ = false;
        if (lastFragment_)
            return VI_SUCCESS;
    }
}

}  // namespace kxvisa
