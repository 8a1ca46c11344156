#pragma once

#include <QByteArray>

#include <cstddef>
#include <memory>

struct evp_md_ctx_st;

// SHA-512 of a byte stream, through libcrypto (several times faster than Qt's own, which set
// the pace of a SigMF save).
class Sha512
{
public:
    Sha512();
    ~Sha512();
    void add(const void *data, size_t bytes);
    QByteArray hex();  // the digest in lower-case hexadecimal; ends the stream

private:
    struct Free
    {
        void operator()(evp_md_ctx_st *ctx) const;
    };
    std::unique_ptr<evp_md_ctx_st, Free> m_ctx;
};
