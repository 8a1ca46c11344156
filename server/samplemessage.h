#pragma once

#include "iqbuffer.h"
#include "linkprotocol.h"

#include <QByteArray>
#include <cstdint>

// The sample message (type word 2, then I[0] Q[0] I[1] Q[1] ... as little-endian float32)
// produced piece by piece, so the 4 + 8 * count bytes never have to exist in memory at once.
// It keeps a shallow copy of the record: the arrays stay alive, and the bytes stay the ones
// of the moment the message started, even if the owner replaces its record meanwhile.
class SampleMessage
{
public:
    SampleMessage() = default;
    // A message of the record's first count samples; count must not exceed heldCount().
    SampleMessage(const IqBuffer &record, int64_t count);

    int64_t size() const noexcept { return m_count > 0 ? 4 + 8 * m_count : 0; }
    int64_t offset() const noexcept { return m_offset; }
    bool atEnd() const noexcept { return m_offset >= size(); }

    // The next piece of at most maxBytes bytes; empty at the end.
    QByteArray nextChunk(int maxBytes = LinkProtocol::chunkSize);

    // Writes message bytes [offset, offset + length) to out; the range must lie inside the message.
    void copyBytes(int64_t offset, char *out, int64_t length) const;

private:
    void copyPairs(int64_t first, int64_t pairs, char *out) const;
    void pairBytes(int64_t n, char *out) const;

    IqBuffer m_record;
    int64_t m_count = 0;
    int64_t m_offset = 0;
};
