#include "iqbuffer.h"

#include <gtest/gtest.h>

TEST(IqBuffer, NewRecordHoldsNothingAndReleasingItTwiceIsHarmless)
{
    IqBuffer r;
    EXPECT_EQ(r.heldCount(), 0);
    EXPECT_TRUE(r.iData.isNull());
    EXPECT_TRUE(r.qData.isNull());
    releaseSamples(r);
    releaseSamples(r);
    EXPECT_TRUE(r.iData.isNull());
}

// allocateSamples never changes the count; zero gives two empty arrays, and what cannot be
// had is a status, not an exception, with nothing allocated.
TEST(IqBuffer, AllocationsGiveArraysOrAStatusAndKeepTheCount)
{
    for (const int64_t n : {int64_t(0), int64_t(-1), int64_t(1) << 62}) {
        SCOPED_TRACE(n);
        IqBuffer r;
        r.sampleCount = 5;
        ASSERT_EQ(allocateSamples(r, n), n == 0 ? IqStatus::Ok : IqStatus::NoMemoryI);
        EXPECT_EQ(r.iData.isNull(), n != 0);
        EXPECT_EQ(r.qData.isNull(), n != 0);
        EXPECT_EQ(r.iData.size(), 0);
        EXPECT_EQ(r.sampleCount, 5);
        EXPECT_EQ(r.heldCount(), 0);
    }
}

TEST(IqBuffer, ShallowCopySharesSamplesAndOutlivesRelease)
{
    IqBuffer r;
    ASSERT_EQ(allocateSamples(r, 4), IqStatus::Ok);
    r.sampleCount = 4;
    for (int i = 0; i < 4; ++i) {
        r.iData[i] = float(i);
        r.qData[i] = float(-i);
    }
    IqBuffer copy = r;
    EXPECT_EQ(copy.iData.data(), r.iData.data());  // no duplicate array
    r.iData[2] = 42.0f;
    EXPECT_EQ(copy.iData[2], 42.0f);

    // The copy keeps the floats alive even when the record lets go of them.
    releaseSamples(r);
    EXPECT_TRUE(r.iData.isNull());
    EXPECT_EQ(copy.iData[2], 42.0f);
    EXPECT_EQ(copy.qData[3], -3.0f);
}

TEST(IqBuffer, ReallocatingReleasesThePreviousArrays)
{
    IqBuffer r;
    ASSERT_EQ(allocateSamples(r, 8), IqStatus::Ok);
    const float *first = r.iData.data();
    IqBuffer keep = r;
    ASSERT_EQ(allocateSamples(r, 16), IqStatus::Ok);
    EXPECT_EQ(r.iData.size(), 16);
    EXPECT_EQ(keep.iData.data(), first);
    EXPECT_EQ(keep.iData.size(), 8);
}

TEST(IqBuffer, HeldCountNeverExceedsTheArrays)
{
    IqBuffer r;
    r.sampleCount = 1000;  // a chunked copy keeps the file's count...
    ASSERT_EQ(allocateSamples(r, 10), IqStatus::Ok);
    EXPECT_EQ(r.heldCount(), 10);  // ...but consumers see what the arrays hold
    r.sampleCount = 3;
    EXPECT_EQ(r.heldCount(), 3);
}
