#include "channelreader.h"

ChannelReader::ChannelReader(int64_t count, ChannelPlace i, ChannelPlace q, HeaderFacts facts)
    : m_count(count)
    , m_i(std::move(i))
    , m_q(std::move(q))
    , m_facts(std::move(facts))
    , m_iIn(std::make_unique<BinaryInput>(m_i.path))
{
    if (m_iIn->isOpen())
        m_qIn = std::make_unique<BinaryInput>(m_q.path);
}

IqStatus ChannelReader::openStatus() const
{
    if (!m_iIn->isOpen())
        return m_i.fail;
    return m_qIn->isOpen() ? IqStatus::Ok : m_q.fail;
}

void ChannelReader::describe(IqBuffer &record) const
{
    if (m_facts)
        m_facts(record);
}

bool ChannelReader::readChannel(BinaryInput &in, const ChannelPlace &place, int64_t first,
                                int64_t count, float *dst, std::ptrdiff_t stride)
{
    if (!in.seek(place.offset + first * place.itemBytes))
        return false;
    return in.readItems(count, place.itemBytes,
                        [&](const unsigned char *block, int64_t at, int64_t n) {
                            place.decode(block, n, dst + at * stride, stride);
                        });
}

IqStatus ChannelReader::read(int64_t first, int64_t count, const FrameSpan &out)
{
    if (const IqStatus s = checkFrameRange(first, count, m_count, m_i.path); failed(s))
        return s;
    if (!readChannel(*m_iIn, m_i, first, count, out.i, out.stride))
        return m_i.fail;
    if (!readChannel(*m_qIn, m_q, first, count, out.q, out.stride))
        return m_q.fail;
    return IqStatus::Ok;
}

PairReader::PairReader(const QString &path, int64_t count, int64_t offset, int frameBytes,
                       PairDecode decode, HeaderFacts facts)
    : m_in(path)
    , m_count(count)
    , m_offset(offset)
    , m_frameBytes(frameBytes)
    , m_decode(std::move(decode))
    , m_facts(std::move(facts))
{}

IqStatus PairReader::openStatus() const
{
    return m_in.isOpen() ? IqStatus::Ok : IqStatus::FirstFile;
}

void PairReader::describe(IqBuffer &record) const
{
    if (m_facts)
        m_facts(record);
}

IqStatus PairReader::read(int64_t first, int64_t count, const FrameSpan &out)
{
    if (const IqStatus s = checkFrameRange(first, count, m_count, m_in.path()); failed(s))
        return s;
    if (!m_in.seek(m_offset + first * m_frameBytes))
        return IqStatus::FirstFile;
    const bool ok = m_in.readItems(
            count, m_frameBytes,
            [&](const unsigned char *b, int64_t at, int64_t n) { m_decode(b, n, out.from(at)); });
    return ok ? IqStatus::Ok : IqStatus::FirstFile;
}
