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

// SHA-512 computed on a second thread while the caller writes the same bytes out: the caller
// fills a block, hands it over, writes it and fills the next, so hashing and writing overlap.
// The blocks belong to this object; a block handed over is not given out again until it has
// been hashed.
class BackgroundSha512
{
public:
    explicit BackgroundSha512(size_t blockBytes, int blocks = 3);
    ~BackgroundSha512();
    BackgroundSha512(const BackgroundSha512 &) = delete;
    BackgroundSha512 &operator=(const BackgroundSha512 &) = delete;

    size_t blockBytes() const { return m_blockBytes; }
    // A block to fill (waits while every block is still being hashed).
    unsigned char *acquire();
    // Queues the first bytes of a block from acquire() for hashing, in order.
    void submit(unsigned char *block, size_t bytes);
    // Waits for the queued blocks and returns the digest (lower-case hex); ends the stream.
    QByteArray hex();

private:
    struct State;
    void run();

    size_t m_blockBytes;
    std::unique_ptr<State> m_state;
};
