#include "samplemessage.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace {

void putFloat(char *out, float v)
{
    if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
        std::memcpy(out, &v, 4);  // the bits go out untouched, NaN payloads included
    } else {
        uint32_t bits;
        std::memcpy(&bits, &v, 4);
        qToLittleEndian<quint32>(bits, out);
    }
}

}  // namespace

SampleMessage::SampleMessage(const IqBuffer &record, int64_t count)
    : m_record(record)
    , m_count(std::max<int64_t>(0, std::min(count, record.heldCount())))
{}

QByteArray SampleMessage::nextChunk(int maxBytes)
{
    const int64_t n = std::min<int64_t>(maxBytes, size() - m_offset);
    if (n <= 0)
        return QByteArray();
    QByteArray chunk(static_cast<int>(n), Qt::Uninitialized);
    copyBytes(m_offset, chunk.data(), n);
    m_offset += n;
    return chunk;
}

void SampleMessage::copyBytes(int64_t offset, char *out, int64_t length) const
{
    if (offset < 4 && length > 0) {
        char head[4];
        qToLittleEndian<qint32>(SYMBOLS, head);
        const int64_t take = std::min<int64_t>(4 - offset, length);
        std::memcpy(out, head + offset, static_cast<size_t>(take));
        out += take;
        offset += take;
        length -= take;
    }
    int64_t pos = offset - 4;  // position among the sample bytes
    if (length > 0 && pos % 8 != 0) {
        char pair[8];
        pairBytes(pos / 8, pair);
        const int64_t take = std::min<int64_t>(8 - pos % 8, length);
        std::memcpy(out, pair + pos % 8, static_cast<size_t>(take));
        out += take;
        pos += take;
        length -= take;
    }
    const int64_t pairs = length / 8;
    copyPairs(pos / 8, pairs, out);
    out += pairs * 8;
    pos += pairs * 8;
    length -= pairs * 8;
    if (length > 0) {
        char pair[8];
        pairBytes(pos / 8, pair);
        std::memcpy(out, pair, static_cast<size_t>(length));
    }
}

void SampleMessage::copyPairs(int64_t first, int64_t pairs, char *out) const
{
    if (pairs <= 0)
        return;
    const float *i = m_record.iData.data() + first;
    const float *q = m_record.qData.data() + first;
    for (int64_t k = 0; k < pairs; ++k) {
        putFloat(out + 8 * k, i[k]);
        putFloat(out + 8 * k + 4, q[k]);
    }
}

void SampleMessage::pairBytes(int64_t n, char *out) const
{
    copyPairs(n, 1, out);
}
