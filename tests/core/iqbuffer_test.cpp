#include "iqbuffer.h"

#include <gtest/gtest.h>

TEST(IqBuffer, NewRecordIsEmptyAndReleasingItIsHarmless)
{
    IqBuffer r;
    EXPECT_EQ(r.sampleCount, 0);
    EXPECT_TRUE(r.iData.isNull());
    EXPECT_TRUE(r.qData.isNull());
    EXPECT_TRUE(r.iFileName.isEmpty());
    EXPECT_TRUE(r.qFileName.isEmpty());
    EXPECT_TRUE(r.directory.isEmpty());
    EXPECT_EQ(r.typeIndex, 0);
    EXPECT_EQ(r.sampleRate, 0.0);
    releaseSamples(r);
    releaseSamples(r);
    EXPECT_TRUE(r.iData.isNull());
}

TEST(IqBuffer, AllocateZeroGivesTwoEmptyArraysAndKeepsCount)
{
    IqBuffer r;
    r.sampleCount = 5;
    ASSERT_EQ(allocateSamples(r, 0), IqStatus::Ok);
    EXPECT_FALSE(r.iData.isNull());
    EXPECT_FALSE(r.qData.isNull());
    EXPECT_EQ(r.iData.size(), 0);
    EXPECT_EQ(r.sampleCount, 5);  // allocateSamples never changes the count
    EXPECT_EQ(r.heldCount(), 0);
}

TEST(IqBuffer, ImpossibleAllocationsAreStatusesNotExceptions)
{
    IqBuffer r;
    EXPECT_EQ(allocateSamples(r, -1), IqStatus::NoMemoryI);
    EXPECT_EQ(allocateSamples(r, int64_t(1) << 62), IqStatus::NoMemoryI);
    EXPECT_TRUE(r.iData.isNull());
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
