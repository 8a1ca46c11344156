#include "socketsession.h"

#include <cstring>

namespace kxvisa {

ViStatus SocketSession::open(const ResourceName &resource, ViSession resourceManager,
                             Deadline deadline, std::unique_ptr<Session> &out)
{
    std::unique_ptr<SocketSession> s(new SocketSession(resource, resourceManager));
    const ViStatus status = s->connection_.connectTo(resource.host, resource.port, deadline);
    if (status != VI_SUCCESS)
        return status == VI_ERROR_TMO ? VI_ERROR_RSRC_NFOUND : status;
    out = std::move(s);
    return VI_SUCCESS;
}

void SocketSession::applySocketOptions(const IoAttributes &a)
{
    connection_.setNoDelay(a.noDelay);
    connection_.setKeepAlive(a.keepAlive);
}

ViStatus SocketSession::write(const uint8_t *data, size_t size, size_t &done, Deadline deadline)
{
    return connection_.sendAll(data, size, done, deadline);
}

bool SocketSession::takePending(const IoAttributes &a, uint8_t *data, size_t size, size_t &got,
                                bool &terminated)
{
    got = 0;
    if (pendingPos_ == pending_.size())
        return false;
    const uint8_t *begin = pending_.data() + pendingPos_;
    size_t n = pending_.size() - pendingPos_;
    if (n > size)
        n = size;
    if (n == 0)
        return false;  // a zero-count read may come with no buffer at all
    if (a.termCharEnabled) {
        if (const void *hit = std::memchr(begin, a.termChar, n)) {
            n = size_t(static_cast<const uint8_t *>(hit) - begin) + 1;
            terminated = true;
        }
    }
    std::memcpy(data, begin, n);
    got = n;
    pendingPos_ += n;
    if (pendingPos_ == pending_.size()) {
        pending_.clear();
        pendingPos_ = 0;
    }
    return terminated || got == size;
}

ViStatus SocketSession::read(uint8_t *data, size_t size, size_t &got, Deadline deadline)
{
    const IoAttributes a = attributes();
    bool terminated = false;
    got = 0;
    if (size == 0 || takePending(a, data, size, got, terminated))
        return terminated ? VI_SUCCESS_TERM_CHAR : VI_SUCCESS_MAX_CNT;
    // Data arrive straight in the caller's buffer; only what follows a termination
    // character is copied aside.
    while (got < size) {
        size_t n = 0;
        const ViStatus s = connection_.receiveSome(data + got, size - got, n, deadline);
        if (s != VI_SUCCESS)
            return s;
        if (a.termCharEnabled) {
            if (const void *hit = std::memchr(data + got, a.termChar, n)) {
                const size_t used = size_t(static_cast<const uint8_t *>(hit) - (data + got)) + 1;
                pending_.assign(data + got + used, data + got + n);
                pendingPos_ = 0;
                got += used;
                return VI_SUCCESS_TERM_CHAR;
            }
        }
        got += n;
    }
    return VI_SUCCESS_MAX_CNT;
}

ViStatus SocketSession::clear(Deadline)
{
    // A raw socket has no device clear; what the instrument already sent is dropped so the
    // next read starts with the answer to the next query.
    pending_.clear();
    pendingPos_ = 0;
    connection_.discardPending();
    return VI_SUCCESS;
}

ViStatus SocketSession::controlRen(uint16_t, Deadline)
{
    return VI_ERROR_NSUP_OPER;
}

}  // namespace kxvisa
