#include "sha512.h"

#include <openssl/evp.h>

void Sha512::Free::operator()(evp_md_ctx_st *ctx) const
{
    EVP_MD_CTX_free(ctx);
}

Sha512::Sha512()
    : m_ctx(EVP_MD_CTX_new())
{
    if (m_ctx && EVP_DigestInit_ex(m_ctx.get(), EVP_sha512(), nullptr) != 1)
        m_ctx.reset();
}

Sha512::~Sha512() = default;

void Sha512::add(const void *data, size_t bytes)
{
    if (m_ctx && EVP_DigestUpdate(m_ctx.get(), data, bytes) != 1)
        m_ctx.reset();
}

QByteArray Sha512::hex()
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (!m_ctx || EVP_DigestFinal_ex(m_ctx.get(), digest, &size) != 1)
        return QByteArray();
    m_ctx.reset();
    return QByteArray(reinterpret_cast<const char *>(digest), int(size)).toHex();
}
