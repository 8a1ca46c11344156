#include "chunkedcopy.h"
#include "containertestutil.h"
#include "dispatch.h"
#include "filefailure.h"
#include "rawrecording.h"
#include "wavformat.h"
#include "wvformat.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace containertest;

namespace {

// Type code and load-list index of each type that takes part.
struct CopyType
{
    int code;
    int loadIndex;
    const char *file;
};

const CopyType kTypes[] = {{15, 15, "x.wav"}, {24, 24, "x.wvd"}, {25, 32, "x.wv"}};

class ChunkedCopyTest : public TempDirTest
{
protected:
    // Writes the source file of a type from a test signal and loads it whole.
    IqBuffer makeSource(const CopyType &t, int64_t n, IqBuffer &whole)
    {
        IqBuffer r = sineRecord(n, 2e6);
        r.refLevel = -5.5f;
        r.centerFrequency = 1e9;
        const QString name = path(QStringLiteral("src_") + QLatin1String(t.file));
        EXPECT_EQ(writeFileOfType(r, t.code, name, QString()), IqStatus::Ok);
        whole.typeIndex = t.loadIndex;
        whole.iFileName = name;
        EXPECT_EQ(loadIqFile(whole), IqStatus::Ok);
        IqBuffer source;
        source.typeIndex = t.loadIndex;
        source.iFileName = name;
        return source;
    }
};

TEST_F(ChunkedCopyTest, EveryPairMatchesAWholeFileWrite)
{
    const int64_t n = 3500, chunk = 1000;
    for (const CopyType &from : kTypes) {
        for (const CopyType &to : kTypes) {
            SCOPED_TRACE(testing::Message() << from.code << " -> " << to.code);
            IqBuffer whole;
            IqBuffer source = makeSource(from, n, whole);
            const QString expected = path(QStringLiteral("whole_") + QLatin1String(to.file));
            const QString actual = path(QStringLiteral("chunked_") + QLatin1String(to.file));
            ASSERT_EQ(writeFileOfType(whole, to.code, expected, QString()), IqStatus::Ok);
            int64_t lastDone = 0, calls = 0;
            ASSERT_EQ(convertInChunks(source, actual, to.code, chunk,
                                      [&](int64_t done, int64_t total) {
                                          EXPECT_EQ(total, n);
                                          EXPECT_GT(done, lastDone);
                                          lastDone = done;
                                          ++calls;
                                      }),
                      IqStatus::Ok);
            EXPECT_EQ(lastDone, n);
            EXPECT_GE(calls, 4);
            EXPECT_EQ(stripDate(readAll(actual)), stripDate(readAll(expected)));
            if (to.code == 24) {
                EXPECT_EQ(stripDate(readAll(rawHeaderPath(actual))).replace("-5.500", "0.000"),
                          stripDate(readAll(rawHeaderPath(expected))).replace("-5.500", "0.000"));
            }
            // The record: the whole count for display, the arrays hold only the last chunk.
            EXPECT_EQ(source.sampleCount, n);
            EXPECT_EQ(source.chunkCount, 3);
            EXPECT_EQ(source.lastChunkSize, 500);
            ASSERT_EQ(source.heldCount(), 500);
            EXPECT_EQ(source.iData.size(), 500);
            for (int64_t k = 0; k < 500; ++k)
                ASSERT_EQ(source.iData[k], whole.iData[3000 + k]) << k;
            EXPECT_EQ(source.sampleRate, 2e6);
        }
    }
}

TEST_F(ChunkedCopyTest, ExactMultipleAndSingleChunk)
{
    IqBuffer whole;
    IqBuffer source = makeSource(kTypes[1], 3000, whole);
    ASSERT_EQ(convertInChunks(source, path("o.wv"), 25, 1000), IqStatus::Ok);
    EXPECT_EQ(source.chunkCount, 3);
    EXPECT_EQ(source.lastChunkSize, 0);
    EXPECT_EQ(source.heldCount(), 1000);
    EXPECT_EQ(source.iData[999], whole.iData[2999]);
    // With the default chunk size the arrays are no larger than the file.
    source.typeIndex = 24;
    ASSERT_EQ(convertInChunks(source, path("o.wav"), 15), IqStatus::Ok);
    EXPECT_EQ(source.chunkCount, 0);
    EXPECT_EQ(source.lastChunkSize, 3000);
    EXPECT_EQ(source.iData.size(), 3000);
}

TEST_F(ChunkedCopyTest, RawSourceCarriesItsHeaderValues)
{
    IqBuffer whole;
    IqBuffer source = makeSource(kTypes[1], 10, whole);
    source.refLevel = 99.0f;
    ASSERT_EQ(convertInChunks(source, path("o.wvd"), 24, 3), IqStatus::Ok);
    EXPECT_EQ(source.refLevel, -5.5f);
    EXPECT_EQ(source.centerFrequency, 1e9);
    EXPECT_TRUE(readAll(path("o.wvh")).contains("{REFLEVEL:-5.500}{FREQUENCY:1000000000.0}"));
}

TEST_F(ChunkedCopyTest, ZeroSamples)
{
    ASSERT_TRUE(writeAll(path("e.wv"), "{SAMPLES:0}{CLOCK:5}{WAVEFORM-1:#}"));
    IqBuffer source;
    source.typeIndex = 32;
    source.iFileName = path("e.wv");
    ASSERT_EQ(convertInChunks(source, path("e.wav"), 15, 7), IqStatus::Ok);
    EXPECT_EQ(readAll(path("e.wav")).size(), 44);
    EXPECT_EQ(source.heldCount(), 0);
}

// Every refusal and failure leaves the target as it was; the first-file status stands for several
// of them, the detail tells which, and a cancel has a status of its own.
TEST_F(ChunkedCopyTest, RefusalsAndFailuresSayWhyAndLeaveTheTargetAlone)
{
    const QString target = path("keep.wv");
    ASSERT_TRUE(writeAll(target, "keep"));
    IqBuffer whole;
    const QString wv = makeSource(kTypes[2], 100, whole).iFileName;
    ASSERT_TRUE(writeAll(path("s.wv"), "{SAMPLES:2}{WWAVEFORM-9:#abcdefgh}"));
    ASSERT_TRUE(writeAll(path("t.wv"), "{SAMPLES:1000}{WAVEFORM-4001:#abcdefgh}"));
    ASSERT_EQ(writeFileOfType(sineRecord(20), 14, path("m.wav"), path("m2.wav")), IqStatus::Ok);
    struct Case
    {
        const char *what;
        int loadIndex;
        QString source;
        int targetCode;
        int64_t chunk;
        bool cancel;
        IqStatus status;
        const char *reason;  // null: not checked
    };
    const Case cases[] = {
            {"text target", 32, wv, 1, 10, false, IqStatus::FirstFile, "Copy IQ cannot convert"},
            {"no chunk size", 32, wv, 25, 0, false, IqStatus::FirstFile, "a chunk of 0 samples"},
            {"text source", 1, wv, 25, 10, false, IqStatus::FirstFile, nullptr},
            {"cancelled", 32, wv, 15, 10, true, IqStatus::Cancelled,
             "cancelled by the user after 10 of 100"},
            {"scrambled", 32, path("s.wv"), 15, 10, false, IqStatus::Scrambled, nullptr},
            {"claims more than present", 32, path("t.wv"), 25, 10, false, IqStatus::FirstFile,
             nullptr},
            {"mono WAV", 15, path("m.wav"), 25, 10, false, IqStatus::BadWavHeader, "mono WAV"},
            {"missing source", 15, path("gone.wav"), 25, 10, false, IqStatus::FirstFile,
             "No such file or directory"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        IqBuffer source;
        source.typeIndex = c.loadIndex;
        source.iFileName = c.source;
        clearFileFailure();
        EXPECT_EQ(convertInChunks(source, target, c.targetCode, c.chunk, {},
                                  [&c] { return c.cancel; }),
                  c.status);
        EXPECT_EQ(readAll(target), "keep");
        if (!c.reason)
            continue;
        const FileFailure why = lastFileFailure();
        EXPECT_EQ(why.path, c.source);
        EXPECT_TRUE(why.reason.contains(QLatin1String(c.reason))) << why.reason.toStdString();
    }
    IqBuffer source;
    source.typeIndex = 15;
    source.iFileName = path("gone.wav");
    EXPECT_EQ(convertInChunks(source, target, 25, 10), IqStatus::FirstFile);
    EXPECT_EQ(source.sampleCount, 0);
    EXPECT_TRUE(source.iData.isNull());
    EXPECT_FALSE(QFile::exists(path("keep.wvh")));
    // Only the temporary files of the refused writes could be left; there must be none.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).filter(QStringLiteral("keep")).size(), 1);
}

}  // namespace
