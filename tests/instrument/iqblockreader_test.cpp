// The analyzer block reader against a scripted byte source (no VISA), and the status table.

#include "acquisitionstatus.h"
#include "iqblockreader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Serves a byte string the way a VISA read does: exactly the asked count while bytes last
// (VI_SUCCESS_MAX_CNT) while bytes last, optionally END (VI_SUCCESS) with the last byte; a
// read that cannot be filled returns what is left with shortStatus (END by default).
class ScriptedReader
{
public:
    explicit ScriptedReader(std::string bytes, bool endWithLastByte = false)
        : bytes(std::move(bytes))
        , endWithLastByte(endWithLastByte)
    {}

    ViStatus operator()(unsigned char *buffer, ViUInt32 count, ViUInt32 &got)
    {
        asked.push_back(count);
        got = ViUInt32(std::min<size_t>(count, bytes.size() - position));
        std::memcpy(buffer, bytes.data() + position, got);
        position += got;
        if (got < count)
            return shortStatus;
        return endWithLastByte && position == bytes.size() ? VI_SUCCESS : VI_SUCCESS_MAX_CNT;
    }

    ByteReader reader()
    {
        return [this](unsigned char *buffer, ViUInt32 count, ViUInt32 &got) {
            return (*this)(buffer, count, got);
        };
    }

    std::string bytes;
    bool endWithLastByte;
    size_t position = 0;
    ViStatus shortStatus = VI_SUCCESS;
    std::vector<ViUInt32> asked;
};

std::string floats(const std::vector<float> &values)
{
    return std::string(reinterpret_cast<const char *>(values.data()),
                       values.size() * sizeof(float));
}

std::string header(size_t length)
{
    const std::string digits = std::to_string(length);
    return "#" + std::to_string(digits.size()) + digits;
}

class CountingProgress : public SilentProgress
{
public:
    bool update(int) override { return ++updates, true; }
    int updates = 0;
};

struct BlockCase
{
    IqBuffer record;
    SilentProgress progress;

    AcquisitionStatus read(ScriptedReader &source, BlockLayout layout, double scale,
                           int64_t capacity)
    {
        allocateSamples(record, capacity);
        uint64_t length = 0;
        const AcquisitionStatus status = readBlockHeader(source.reader(), false, length);
        if (status != AcquisitionStatus::Success)
            return status;
        return readBlockBody(source.reader(), length, layout, scale, record, progress);
    }
};

TEST(AcquisitionStatusTest, EveryStatusHasItsText)
{
    for (int s = 0; s < acquisitionStatusCount; ++s) {
        const AcquisitionMessage &message = acquisitionMessage(AcquisitionStatus(s));
        EXPECT_GT(std::strlen(message.text), 0u) << s;
        if (message.shownByWindow) {
            EXPECT_GT(std::strlen(message.title), 0u) << s;
        }
    }
    EXPECT_STREQ(acquisitionMessage(AcquisitionStatus::NoMemory).text, "Insufficient memory.");
    EXPECT_STREQ(acquisitionMessage(AcquisitionStatus::Timeout).text, "A VISA error has occurred.");
    EXPECT_STREQ(acquisitionMessage(AcquisitionStatus::MissingOption).title, "Alder Error");
    EXPECT_FALSE(acquisitionMessage(AcquisitionStatus::Cancelled).shownByWindow);
    EXPECT_EQ(statusFromVisa(VI_ERROR_TMO), AcquisitionStatus::Timeout);
    EXPECT_EQ(statusFromVisa(VI_ERROR_CONN_LOST), AcquisitionStatus::ConnectionLost);
    EXPECT_EQ(statusFromVisa(VI_SUCCESS_MAX_CNT), AcquisitionStatus::Success);
}

TEST(IqBlockReaderTest, ChunkRule)
{
    EXPECT_EQ(pairChunk(1000), 3000000u);
    EXPECT_EQ(pairChunk(124999999), 3000000u);  // 42 chunks
    EXPECT_EQ(pairChunk(125000000), 6250000u);  // 20 chunks
    EXPECT_EQ(pairChunk(1409285632) * 20, 1409285632u - 1409285632u % 20);
    EXPECT_FALSE(hasParenthesisedHeader(124999999));
    EXPECT_TRUE(hasParenthesisedHeader(125000000));
}

TEST(IqBlockReaderTest, PairsAreReadInChunksOfTheirExactLengthThenTheTerminator)
{
    const int64_t pairs = 6500000;
    std::vector<float> values(size_t(2 * pairs));
    for (size_t k = 0; k < values.size(); ++k)
        values[k] = float(k % 1000) - 500.0f;
    ScriptedReader source(header(8 * pairs) + floats(values) + "\n");
    BlockCase block;
    CountingProgress counting;
    allocateSamples(block.record, pairs);
    uint64_t length = 0;
    ASSERT_EQ(readBlockHeader(source.reader(), false, length), AcquisitionStatus::Success);
    ASSERT_EQ(
            readBlockBody(source.reader(), length, BlockLayout::Pairs, 0.5, block.record, counting),
            AcquisitionStatus::Success);
    // Full chunks while their bytes fit into the unfilled part of the I array, then halving
    // pieces, then the terminator: never more than a chunk at a time, exactly the body.
    ASSERT_GE(source.asked.size(), 6u);
    EXPECT_EQ(std::vector<ViUInt32>(source.asked.begin(), source.asked.begin() + 5),
              (std::vector<ViUInt32>{2, 8, 24000000, 14000000, 7000000}));
    EXPECT_EQ(source.asked.back(), 1u);
    uint64_t body = 0;
    for (size_t k = 2; k + 1 < source.asked.size(); ++k) {
        EXPECT_LE(source.asked[k], 24000000u);
        body += source.asked[k];
    }
    EXPECT_EQ(body, uint64_t(8 * pairs));
    EXPECT_EQ(source.position, source.bytes.size());
    EXPECT_EQ(counting.updates, int(source.asked.size()) - 3);
    for (int64_t k : {int64_t(0), int64_t(2999999), int64_t(3000000), pairs - 4097, pairs - 2})
        EXPECT_EQ(block.record.qData[k], values[size_t(2 * k + 1)] / 0.5f) << k;
    EXPECT_EQ(block.record.sampleCount, pairs);
    EXPECT_EQ(block.record.iData[pairs - 1], values[size_t(2 * pairs - 2)] / 0.5f);
    EXPECT_EQ(block.record.qData[pairs - 1], values[size_t(2 * pairs - 1)] / 0.5f);
}

TEST(IqBlockReaderTest, ScaleOneCopiesBitForBitAndSplitLayoutReadsIThenQ)
{
    float nan;
    const uint32_t pattern = 0x7FC12345;
    std::memcpy(&nan, &pattern, 4);
    ScriptedReader source(header(32) + floats({1.5f, nan, -2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 7.0f})
                          + "\n");
    BlockCase block;
    ASSERT_EQ(block.read(source, BlockLayout::Split, 1.0, 4), AcquisitionStatus::Success);
    uint32_t copied;
    std::memcpy(&copied, &block.record.iData[1], 4);
    EXPECT_EQ(copied, pattern);
    EXPECT_EQ(block.record.iData[3], 3.0f);
    EXPECT_EQ(block.record.qData[0], 4.0f);
    EXPECT_EQ(block.record.qData[3], 7.0f);
}

TEST(IqBlockReaderTest, EndWithTheLastByteNeedsNoTerminator)
{
    ScriptedReader source(header(16) + floats({1, 2, 3, 4}), true);
    BlockCase block;
    ASSERT_EQ(block.read(source, BlockLayout::Pairs, 1.0, 2), AcquisitionStatus::Success);
    EXPECT_EQ(source.asked.back(), 16u);  // no read waits for a terminator that never comes
}

TEST(IqBlockReaderTest, ShortOrBrokenBlocksFail)
{
    {
        ScriptedReader source(header(32) + floats({1, 2, 3}));  // END after 12 of 32 bytes
        BlockCase block;
        EXPECT_EQ(block.read(source, BlockLayout::Pairs, 1.0, 4), AcquisitionStatus::BadBlock);
    }
    {
        ScriptedReader source(header(32) + floats({1, 2, 3}));
        source.shortStatus = VI_ERROR_CONN_LOST;
        BlockCase block;
        EXPECT_EQ(block.read(source, BlockLayout::Split, 1.0, 4),
                  AcquisitionStatus::ConnectionLost);
    }
    {
        ScriptedReader source(header(32) + floats({1, 2, 3}));
        source.shortStatus = VI_ERROR_TMO;  // the instrument stopped sending
        BlockCase block;
        EXPECT_EQ(block.read(source, BlockLayout::Pairs, 1.0, 4), AcquisitionStatus::Timeout);
    }
    {
        ScriptedReader source(header(16) + floats({1, 2, 3, 4}) + "\n");
        BlockCase block;
        EXPECT_EQ(block.read(source, BlockLayout::Pairs, 1.0, 1), AcquisitionStatus::BadBlock)
                << "a block larger than the arrays is never written past them";
    }
}

TEST(IqBlockReaderTest, HeaderForms)
{
    uint64_t length = 0;
    ScriptedReader parenthesised("#(1000000000)");
    EXPECT_EQ(readBlockHeader(parenthesised.reader(), true, length), AcquisitionStatus::Success);
    EXPECT_EQ(length, 1000000000u);

    ScriptedReader tooLong("#(" + std::string(120, '1') + ")");
    EXPECT_EQ(readBlockHeader(tooLong.reader(), true, length), AcquisitionStatus::BadBlock);
    EXPECT_LE(tooLong.position, 100u);

    ScriptedReader noDigits("#0");
    EXPECT_EQ(readBlockHeader(noDigits.reader(), false, length), AcquisitionStatus::BadBlock);
    ScriptedReader notABlock("1\n");
    EXPECT_EQ(readBlockHeader(notABlock.reader(), false, length), AcquisitionStatus::BadBlock);
    ScriptedReader endedInHeader("#3", true);  // the reply ended with its header
    EXPECT_EQ(readBlockHeader(endedInHeader.reader(), false, length), AcquisitionStatus::BadBlock);
    ScriptedReader plainWhereParenthesised("#3512");
    EXPECT_EQ(readBlockHeader(plainWhereParenthesised.reader(), true, length),
              AcquisitionStatus::BadBlock);
}

}  // namespace
