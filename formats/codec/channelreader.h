#pragma once

#include "binaryinput.h"
#include "framecodec.h"

#include <functional>
#include <memory>

// The two shapes binary sample data take on disk, as frame readers. A format module parses its
// header, says where the frames lie and how their bytes turn into floats, and leaves the
// positioned, blocked reading to these.

// n items, itemBytes apart in src, as floats stride apart at dst.
using ChannelDecode = std::function<void(const unsigned char *src, int64_t n, float *dst,
                                         std::ptrdiff_t stride)>;
// n frames, one after another in src, into the span.
using PairDecode = std::function<void(const unsigned char *src, int64_t n, const FrameSpan &out)>;
// Puts what the header said into a record (FrameReader::describe).
using HeaderFacts = std::function<void(IqBuffer &record)>;

// One channel's place: frame k's item starts at byte offset + k × itemBytes of path.
struct ChannelPlace
{
    QString path;
    IqStatus fail = IqStatus::FirstFile;  // what a failed read of this file returns
    int64_t offset = 0;
    int itemBytes = 4;
    ChannelDecode decode;
};

// I and Q each in a channel of their own: two files, or two blocks of one file.
class ChannelReader : public FrameReader
{
public:
    ChannelReader(int64_t count, ChannelPlace i, ChannelPlace q, HeaderFacts facts = {});
    // Ok, or the status of the file that did not open (its failure noted).
    IqStatus openStatus() const;
    int64_t frameCount() const override { return m_count; }
    void describe(IqBuffer &record) const override;
    IqStatus read(int64_t first, int64_t count, const FrameSpan &out) override;

private:
    bool readChannel(BinaryInput &in, const ChannelPlace &place, int64_t first, int64_t count,
                     float *dst, std::ptrdiff_t stride);

    int64_t m_count;
    ChannelPlace m_i, m_q;
    HeaderFacts m_facts;
    std::unique_ptr<BinaryInput> m_iIn, m_qIn;
};

// I and Q together, frame after frame of frameBytes from byte offset of one file.
class PairReader : public FrameReader
{
public:
    PairReader(const QString &path, int64_t count, int64_t offset, int frameBytes,
               PairDecode decode, HeaderFacts facts = {});
    IqStatus openStatus() const;
    int64_t frameCount() const override { return m_count; }
    void describe(IqBuffer &record) const override;
    IqStatus read(int64_t first, int64_t count, const FrameSpan &out) override;

private:
    BinaryInput m_in;
    int64_t m_count;
    int64_t m_offset;
    int m_frameBytes;
    PairDecode m_decode;
    HeaderFacts m_facts;
};

// The reader when it opened, else nothing and its status in status.
template<typename Reader>
std::unique_ptr<FrameReader> openedReader(std::unique_ptr<Reader> reader, IqStatus &status)
{
    status = reader->openStatus();
    if (status != IqStatus::Ok)
        return nullptr;
    return reader;
}
