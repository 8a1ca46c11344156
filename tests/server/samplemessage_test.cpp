#include "samplemessage.h"

#include <gtest/gtest.h>

#include <QtEndian>
#include <cstring>
#include <random>

namespace {

IqBuffer record(int64_t count)
{
    IqBuffer r;
    EXPECT_EQ(allocateSamples(r, count), IqStatus::Ok);
    for (int64_t n = 0; n < count; ++n) {
        const uint32_t i = static_cast<uint32_t>(n * 2654435761u + 1u);
        const uint32_t q = static_cast<uint32_t>(n * 7u) ^ 0x7FC00001u;  // NaN patterns among them
        std::memcpy(&r.iData[n], &i, 4);
        std::memcpy(&r.qData[n], &q, 4);
    }
    r.sampleCount = count;
    return r;
}

// The message built the obvious way, all at once, for comparison.
QByteArray wholeMessage(const IqBuffer &r, int64_t count)
{
    QByteArray m(static_cast<int>(4 + 8 * count), '\0');
    qToLittleEndian<qint32>(2, m.data());
    for (int64_t n = 0; n < count; ++n) {
        uint32_t i, q;
        std::memcpy(&i, &r.iData[n], 4);
        std::memcpy(&q, &r.qData[n], 4);
        qToLittleEndian<quint32>(i, m.data() + 4 + 8 * n);
        qToLittleEndian<quint32>(q, m.data() + 8 + 8 * n);
    }
    return m;
}

}  // namespace

TEST(SampleMessage, TenThousandSamplesGoOutAs64000And16004)
{
    const IqBuffer r = record(10000);
    SampleMessage m(r, r.heldCount());
    EXPECT_EQ(m.size(), 80004);
    const QByteArray a = m.nextChunk();
    const QByteArray b = m.nextChunk();
    EXPECT_EQ(a.size(), 64000);
    EXPECT_EQ(b.size(), 16004);
    EXPECT_TRUE(m.atEnd());
    EXPECT_TRUE(m.nextChunk().isEmpty());
    EXPECT_EQ(a + b, wholeMessage(r, 10000));
}

TEST(SampleMessage, ChunksOfAnySizeJoinToTheWholeMessage)
{
    const IqBuffer r = record(1237);
    const QByteArray want = wholeMessage(r, 1237);
    for (int size : {1, 3, 4, 5, 7, 8, 9, 13, 64000}) {
        SampleMessage m(r, 1237);
        QByteArray got;
        while (!m.atEnd())
            got += m.nextChunk(size);
        EXPECT_EQ(got, want) << size;
    }
}

TEST(SampleMessage, AnyByteRangeMatches)
{
    const IqBuffer r = record(300);
    const QByteArray want = wholeMessage(r, 300);
    SampleMessage m(r, 300);
    std::mt19937 rng(7);
    for (int k = 0; k < 2000; ++k) {
        const int64_t off = rng() % want.size();
        const int64_t len = rng() % (want.size() - off + 1);
        QByteArray got(static_cast<int>(len), '\x55');
        m.copyBytes(off, got.data(), len);
        ASSERT_EQ(got, want.mid(static_cast<int>(off), static_cast<int>(len))) << off << " " << len;
    }
}

TEST(SampleMessage, NeverReadsPastTheHeldSamples)
{
    IqBuffer r = record(100);
    r.sampleCount = 1000000;  // describes more than the arrays hold
    SampleMessage m(r, 1000000);
    EXPECT_EQ(m.size(), 4 + 8 * 100);
    SampleMessage empty(IqBuffer(), 10);
    EXPECT_EQ(empty.size(), 0);
    EXPECT_TRUE(empty.atEnd());
    EXPECT_TRUE(empty.nextChunk().isEmpty());
}

TEST(SampleMessage, KeepsTheArraysAliveWhenTheOwnerReplacesThem)
{
    IqBuffer r = record(5000);
    const QByteArray want = wholeMessage(r, 5000);
    SampleMessage m(r, 5000);
    QByteArray got = m.nextChunk(1000);
    releaseSamples(r);
    ASSERT_EQ(allocateSamples(r, 5000), IqStatus::Ok);
    std::memset(r.iData.data(), 0, 5000 * 4);
    while (!m.atEnd())
        got += m.nextChunk();
    EXPECT_EQ(got, want);
}
