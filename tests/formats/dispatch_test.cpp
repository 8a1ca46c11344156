#include "../container/containertestutil.h"
#include "dispatch.h"
#include "filelimits.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <cmath>
#include <csignal>
#include <sys/resource.h>

using containertest::readAll;
using containertest::record;
using containertest::writeAll;

namespace {

class Dispatch : public containertest::TempDirTest
{
protected:
    IqStatus save(IqBuffer &source, int saveIndex, const QString &iFile,
                  const QString &qFile = QString(), bool append = false, int32_t guard = 0)
    {
        target.typeIndex = saveIndex;
        target.iFileName = iFile;
        target.qFileName = qFile;
        return saveIqFile(source, scratch, target, append, guard);
    }

    IqBuffer load(int loadIndex, const QString &iFile, const QString &qFile = QString(),
                  IqStatus expected = IqStatus::Ok)
    {
        IqBuffer r;
        r.typeIndex = loadIndex;
        r.iFileName = iFile;
        r.qFileName = qFile;
        EXPECT_EQ(loadIqFile(r), expected);
        return r;
    }

    IqBuffer scratch, target;
};

std::vector<float> ramp(int n, float start)
{
    std::vector<float> v(static_cast<size_t>(n));
    for (int k = 0; k < n; ++k)
        v[size_t(k)] = start + float(k);
    return v;
}

}  // namespace

TEST_F(Dispatch, LoadGoesThroughTheRowsTypeCode)
{
    writeAll(path("t.i"), "% t v\n0 0.5\n");
    writeAll(path("t.q"), "% t v\n0 -0.5\n");
    const IqBuffer timeDomain = load(25, path("t.i"), path("t.q"));  // index 25 is code 26
    ASSERT_EQ(timeDomain.sampleCount, 1);
    EXPECT_EQ(timeDomain.iData[0], 0.5f);
    EXPECT_EQ(timeDomain.qData[0], -0.5f);
    writeAll(path("n.asc"), "1 2 3 4");
    EXPECT_EQ(load(31, path("n.asc")).sampleCount, 2);  // index 31 is code 32
    EXPECT_EQ(load(1, path("n.asc")).sampleCount, 1);   // the same file as Matlab ASCII mixed
}

TEST_F(Dispatch, LoadFailuresLeaveAnEmptyRecord)
{
    writeAll(path("a.i"), "1\n");
    IqBuffer r = record({1.0f, 2.0f}, {3.0f, 4.0f});
    r.typeIndex = 0;
    r.iFileName = path("a.i");
    r.qFileName = path("missing.q");
    EXPECT_EQ(loadIqFile(r), IqStatus::SecondFile);
    EXPECT_TRUE(r.iData.isNull());
    EXPECT_TRUE(r.qData.isNull());
    EXPECT_EQ(r.sampleCount, 0);
    r.typeIndex = 33;  // the end marker is no type
    r.qFileName.clear();
    EXPECT_EQ(loadIqFile(r), IqStatus::FirstFile);
    r.typeIndex = -4;
    EXPECT_EQ(loadIqFile(r), IqStatus::FirstFile);
    EXPECT_EQ(r.sampleCount, 0);
}

TEST_F(Dispatch, OneFileTypesIgnoreALeftoverQName)
{
    IqBuffer source = record({1.0f}, {2.0f});
    ASSERT_EQ(save(source, 1, path("m.asc"), path("stale.q")), IqStatus::Ok);
    EXPECT_FALSE(QFile::exists(path("stale.q")));
    EXPECT_EQ(readAll(path("m.asc")), QByteArray("1.0000000e+00 2.0000000e+00\n"));
    EXPECT_EQ(load(1, path("m.asc"), path("stale.q")).sampleCount, 1);
}

TEST_F(Dispatch, SaveReportsWriterFailures)
{
    IqBuffer source = record({1.0f}, {2.0f});
    EXPECT_EQ(save(source, 1, path("none/x.asc")), IqStatus::FirstFile);
    EXPECT_EQ(save(source, 0, path("i.dat"), path("none/q.dat")), IqStatus::SecondFile);
    EXPECT_FALSE(QFile::exists(path("i.dat")));
    EXPECT_EQ(save(source, 27, path("x")), IqStatus::FirstFile);  // past the save list
    EXPECT_EQ(save(source, 20, path("none/h.txt")), IqStatus::FirstFile);
}

TEST_F(Dispatch, SaveCopiesHeaderValuesOfFilesAndCaptures)
{
    IqBuffer source = record({1.0f, 2.0f, 3.0f}, {4.0f, 5.0f, 6.0f}, 2e6);
    source.refLevel = -7.5f;
    source.centerFrequency = 1.5e9;
    ASSERT_EQ(save(source, 11, path("s.ascsig")), IqStatus::Ok);
    EXPECT_EQ(target.sampleRate, 2e6);
    EXPECT_EQ(target.refLevel, -7.5f);
    EXPECT_EQ(target.centerFrequency, 1.5e9);
    EXPECT_EQ(scratch.typeIndex, 11);
    EXPECT_TRUE(readAll(path("s.ascsig")).contains("Sampling Frequency = 2e+06\n"));

    // An acquisition carries its own rate and level; its count is what it holds (the panel
    // may ask for more since).
    source.iqSource = 1;
    source.sampleRate = 5e6;
    source.refLevel = -10.0f;
    source.sampleCount = 1000;
    ASSERT_EQ(save(source, 11, path("t.ascsig")), IqStatus::Ok);
    EXPECT_EQ(target.sampleRate, 5e6);
    EXPECT_EQ(target.sampleCount, 3);
    EXPECT_EQ(target.refLevel, -10.0f);
    const QByteArray text = readAll(path("t.ascsig"));
    EXPECT_TRUE(text.contains("Sampling Frequency = 5e+06\n"));
    EXPECT_TRUE(text.contains("Number of Points = 3\n"));
}

// An append writes the existing samples, the last samples of the added record as a guard
// (clamped to its count), then the added record; to one file or two.
TEST_F(Dispatch, AppendJoinsBehindAGuard)
{
    struct Case
    {
        int index;
        const char *i, *q;
        int32_t guard;
        std::vector<float> iWant;
    };
    const Case cases[]
            = {{1, "a.asc", "", 0, {0, 1, 2, 3, 10, 11, 12, 13, 14}},
               {1, "b.asc", "", 3, {0, 1, 2, 3, 12, 13, 14, 10, 11, 12, 13, 14}},
               {0, "x.dat", "y.dat", 99, {0, 1, 2, 3, 10, 11, 12, 13, 14, 10, 11, 12, 13, 14}}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.guard);
        const QString q = *c.q ? path(c.q) : QString();
        IqBuffer first = record(ramp(4, 0.0f), ramp(4, 100.0f));
        IqBuffer added = record(ramp(5, 10.0f), ramp(5, 110.0f));
        ASSERT_EQ(save(first, c.index, path(c.i), q), IqStatus::Ok);
        ASSERT_EQ(save(added, c.index, path(c.i), q, true, c.guard), IqStatus::Ok);
        const IqBuffer r = load(c.index, path(c.i), q);
        ASSERT_EQ(r.sampleCount, int64_t(c.iWant.size()));
        EXPECT_EQ(containertest::column(r.iData, r.sampleCount), c.iWant);
        for (int64_t k = 0; k < r.sampleCount; ++k)
            EXPECT_EQ(r.qData[k], r.iData[k] + 100.0f) << k;
        EXPECT_TRUE(scratch.iData.isNull());  // the existing samples are not kept around
    }
}

TEST_F(Dispatch, AppendOntoAMissingFileWritesNothing)
{
    IqBuffer source = record({1.0f}, {2.0f});
    EXPECT_EQ(save(source, 1, path("absent.asc"), QString(), true, 0), IqStatus::FirstFile);
    EXPECT_FALSE(QFile::exists(path("absent.asc")));
    writeAll(path("i.dat"), "1\n");
    EXPECT_EQ(save(source, 0, path("i.dat"), path("q.dat"), true, 0), IqStatus::SecondFile);
    EXPECT_EQ(readAll(path("i.dat")), QByteArray("1\n"));
    EXPECT_FALSE(QFile::exists(path("q.dat")));
}

TEST_F(Dispatch, FailedWritesLeaveTheDestinationsByteIdentical)
{
    IqBuffer existing = record(ramp(10, 1.0f), ramp(10, 2.0f));
    ASSERT_EQ(save(existing, 1, path("a.asc")), IqStatus::Ok);
    const QByteArray before = readAll(path("a.asc"));
    IqBuffer added = record(ramp(2000, 0.5f), ramp(2000, 0.25f));
    {
        const FileSizeLimit limit(4096);
        EXPECT_NE(save(added, 1, path("a.asc"), QString(), true, 3), IqStatus::Ok);
        EXPECT_NE(save(added, 1, path("a.asc")), IqStatus::Ok);
    }
    EXPECT_EQ(readAll(path("a.asc")), before);

    // Two files: the I file fits under the limit, the Q file (with minus signs) does not.
    IqBuffer pair = record(std::vector<float>(300, 1.0f), std::vector<float>(300, -1.0f));
    writeAll(path("p.i"), "old i\n");
    writeAll(path("p.q"), "old q\n");
    {
        const FileSizeLimit limit(300 * 14 + 100);
        EXPECT_EQ(save(pair, 4, path("p.i"), path("p.q")), IqStatus::SecondFile);
    }
    EXPECT_EQ(readAll(path("p.i")), QByteArray("old i\n"));
    EXPECT_EQ(readAll(path("p.q")), QByteArray("old q\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 3);  // no temporary files left
}

TEST_F(Dispatch, JoinClampsTheGuardAndCopiesACyclicPrefix)
{
    IqBuffer joined;
    const IqBuffer existing = record({1.0f, 2.0f}, {-1.0f, -2.0f});
    const IqBuffer added = record({7.0f, 8.0f, 9.0f}, {-7.0f, -8.0f, -9.0f});
    ASSERT_EQ(joinIqData(joined, existing, added, 2), IqStatus::Ok);
    EXPECT_EQ(containertest::column(joined.iData, joined.sampleCount),
              std::vector<float>({1, 2, 8, 9, 7, 8, 9}));
    ASSERT_EQ(joinIqData(joined, existing, added, 1000), IqStatus::Ok);
    EXPECT_EQ(joined.sampleCount, 2 + 3 + 3);
    ASSERT_EQ(joinIqData(joined, existing, added, -5), IqStatus::Ok);
    EXPECT_EQ(joined.sampleCount, 5);
    ASSERT_EQ(joinIqData(joined, IqBuffer(), IqBuffer(), 3), IqStatus::Ok);
    EXPECT_EQ(joined.sampleCount, 0);
    EXPECT_EQ(existing.iData[0], 1.0f);  // the inputs stay intact
}

TEST_F(Dispatch, AJoinWithoutMemorySaysOutOfMemoryNotAFileFault)
{
    // Two samples that claim to be 2^61: the joined arrays cannot be had, nothing is read.
    float held[2] = {1.0f, 2.0f};
    const int64_t claimed = int64_t(1) << 61;
    IqBuffer existing;
    existing.iData = SampleArray::borrow(held, claimed, nullptr);
    existing.qData = SampleArray::borrow(held, claimed, nullptr);
    existing.sampleCount = claimed;
    IqBuffer joined = record({5.0f}, {6.0f});
    EXPECT_EQ(joinIqData(joined, existing, record({7.0f}, {-7.0f}), 1), IqStatus::OutOfMemory);
    EXPECT_EQ(joined.sampleCount, 0);
    EXPECT_TRUE(joined.iData.isNull());
}

// Formats whose writer scales to full range: the file grows by the guard and the record, the
// samples already there keep their codes, and the record is added at the scale its own save
// would give it.
TEST_F(Dispatch, AppendExtendsScaledContainerFiles)
{
    // Sample 1 holds the largest value and the largest magnitude of both records.
    IqBuffer first = record({0.5f, -1.0f, 0.25f, 0.5f}, {0.5f, 0.0f, -0.5f, 0.25f});
    IqBuffer added = record({2.0f, -4.0f, 1.0f}, {0.0f, 0.0f, -2.0f});
    struct Case
    {
        int index;
        const char *i;
        const char *q;
    };
    for (const Case c : {Case{14, "s.wav", "s2.wav"}, Case{15, "m.wav", ""}, Case{24, "r.wvd", ""},
                         Case{25, "w.wv", ""}, Case{20, "h.txt", ""}}) {
        SCOPED_TRACE(c.index);
        const QString q = *c.q ? path(c.q) : QString();
        ASSERT_EQ(save(first, c.index, path(c.i), q), IqStatus::Ok);
        const IqBuffer before = load(c.index == 25 ? 32 : c.index, path(c.i), q);
        ASSERT_EQ(save(added, c.index, path(c.i), q, true, 2), IqStatus::Ok);
        const IqBuffer after = load(c.index == 25 ? 32 : c.index, path(c.i), q);
        ASSERT_EQ(after.sampleCount, 4 + 2 + 3);
        const float lsb = std::fabs(before.iData[1]) / 32767.0f;
        for (int k = 0; k < 4; ++k) {
            EXPECT_NEAR(after.iData[k], before.iData[k], 1.5f * lsb);
            EXPECT_NEAR(after.qData[k], before.qData[k], 1.5f * lsb);
        }
        // -4 is the record's largest value: it lands where -1.0 of the first save landed.
        EXPECT_NEAR(after.iData[4 + 2 + 1], before.iData[1], 1.5f * lsb);
        EXPECT_EQ(after.iData[4], after.iData[4 + 2 + 1]);  // the guard repeats the record's end
    }
}
