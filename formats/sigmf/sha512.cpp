#include "sha512.h"

#include <openssl/evp.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

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

struct BackgroundSha512::State
{
    std::vector<std::vector<unsigned char>> blocks;
    std::vector<bool> busy;
    std::deque<std::pair<int, size_t>> queue;  // block index and bytes; index -1 ends the thread
    std::mutex mutex;
    std::condition_variable changed;
    int next = 0;
    Sha512 hash;
    std::thread thread;
};

BackgroundSha512::BackgroundSha512(size_t blockBytes, int blocks)
    : m_blockBytes(blockBytes)
    , m_state(std::make_unique<State>())
{
    m_state->blocks.assign(size_t(std::max(blocks, 2)), std::vector<unsigned char>(blockBytes));
    m_state->busy.assign(m_state->blocks.size(), false);
    m_state->thread = std::thread([this] { run(); });
}

BackgroundSha512::~BackgroundSha512()
{
    if (m_state->thread.joinable())
        hex();
}

void BackgroundSha512::run()
{
    State &s = *m_state;
    for (;;) {
        std::pair<int, size_t> job;
        {
            std::unique_lock<std::mutex> lock(s.mutex);
            s.changed.wait(lock, [&] { return !s.queue.empty(); });
            job = s.queue.front();
            s.queue.pop_front();
        }
        if (job.first < 0)
            return;
        s.hash.add(s.blocks[size_t(job.first)].data(), job.second);
        {
            std::lock_guard<std::mutex> lock(s.mutex);
            s.busy[size_t(job.first)] = false;
        }
        s.changed.notify_all();
    }
}

unsigned char *BackgroundSha512::acquire()
{
    State &s = *m_state;
    std::unique_lock<std::mutex> lock(s.mutex);
    const size_t k = size_t(s.next);
    s.changed.wait(lock, [&] { return !s.busy[k]; });
    s.next = int((k + 1) % s.blocks.size());
    return s.blocks[k].data();
}

void BackgroundSha512::submit(unsigned char *block, size_t bytes)
{
    State &s = *m_state;
    size_t k = 0;
    while (k < s.blocks.size() && s.blocks[k].data() != block)
        ++k;
    if (k == s.blocks.size())
        return;
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        s.busy[k] = true;
        s.queue.emplace_back(int(k), std::min(bytes, m_blockBytes));
    }
    s.changed.notify_all();
}

QByteArray BackgroundSha512::hex()
{
    State &s = *m_state;
    if (!s.thread.joinable())
        return QByteArray();
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        s.queue.emplace_back(-1, 0);
    }
    s.changed.notify_all();
    s.thread.join();
    return s.hash.hex();
}
