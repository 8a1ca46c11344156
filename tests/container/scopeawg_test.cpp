#include "containertestutil.h"
#include "dispatch.h"
#include "filetypes.h"
#include "scopeawgfiles.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

using namespace containertest;

namespace {

IqStatus readTds(const QByteArray &i, const QByteArray &q, IqBuffer &r)
{
    return loadBytes(TypeCode::Tds, i, r, q);
}

// A file pair that must fail to load, and how.
struct BadPair
{
    const char *what;
    QByteArray i, q;
    IqStatus status;
};

void expectRefused(int typeCode, const std::vector<BadPair> &cases)
{
    for (const BadPair &c : cases) {
        SCOPED_TRACE(c.what);
        IqBuffer r;
        EXPECT_EQ(loadBytes(typeCode, c.i, r, c.q), c.status);
        EXPECT_TRUE(r.iData.isNull());
    }
}

TEST(AwgWaveform, ValuesFromBigEndianCodes)
{
    IqBuffer r;
    ASSERT_EQ(loadBytes(TypeCode::Awg2000, awgFile(3, 2.0, {0, 2048, 65535}), r,
                        awgFile(3, 1.0, {4096, 1, 0x0102})),
              IqStatus::Ok);
    ASSERT_EQ(r.sampleCount, 3);
    EXPECT_EQ(r.iData[0], -0.5f);
    EXPECT_EQ(r.iData[1], 0.5f);
    EXPECT_EQ(r.iData[2], float(65535 * 2.0 / 4096 - 0.5));
    EXPECT_EQ(r.qData[0], 0.5f);
    EXPECT_EQ(r.qData[2], float(258.0 / 4096 - 0.5));
}

TEST(AwgWaveform, BadHeaders)
{
    const QByteArray good = awgFile(2, 1.0, {1, 2});
    expectRefused(TypeCode::Awg2000,
                  {{"counts differ", good, awgFile(3, 1.0, {1, 2, 3}), IqStatus::BadAwgHeader},
                   {"scale NaN", awgFile(2, std::numeric_limits<double>::quiet_NaN(), {1, 2}), good,
                    IqStatus::BadAwgHeader},
                   {"header cut", good.left(101), good, IqStatus::FirstFile},
                   {"Q header cut", good, good.left(50), IqStatus::SecondFile},
                   {"samples cut", good.left(105), good, IqStatus::FirstFile},
                   {"absurd count", awgFile(0xFFFFFFFF, 1.0, {}), awgFile(0xFFFFFFFF, 1.0, {}),
                    IqStatus::FirstFile}});
}

TEST(ScopeWaveform, FirstVersionLittleEndian)
{
    IqBuffer r;
    TdsSpec s;
    TdsSpec q;
    q.scale = 2.0;
    q.offset = 0.25;
    ASSERT_EQ(readTds(tdsFile(s, {0, 1, -2, 32767, -32768}), tdsFile(q, {5, 6, 7, 8, 9}), r),
              IqStatus::Ok);
    ASSERT_EQ(r.sampleCount, 5);
    EXPECT_EQ(r.iData[0], -1.0f);
    EXPECT_EQ(r.iData[2], -2.0f);
    EXPECT_EQ(r.iData[3], float(32767 * 0.5 - 1.0));
    EXPECT_EQ(r.iData[4], float(-32768 * 0.5 - 1.0));
    EXPECT_EQ(r.qData[4], 18.25f);
}

TEST(ScopeWaveform, LaterVersionsShiftScaleAndOffset)
{
    for (const char *version : {":WFM#002", ":WFM#003"}) {
        TdsSpec s;
        s.version = version;
        s.scale = 0.001;
        s.offset = 3.0;
        IqBuffer r;
        ASSERT_EQ(readTds(tdsFile(s, {1000, -1000}), tdsFile(s, {0, 2}), r), IqStatus::Ok)
                << version;
        EXPECT_FLOAT_EQ(r.iData[0], 4.0f);
        EXPECT_FLOAT_EQ(r.iData[1], 2.0f);
        EXPECT_FLOAT_EQ(r.qData[1], 3.002f);
    }
}

TEST(ScopeWaveform, BigEndianAndByteCodes)
{
    TdsSpec be;
    be.bigEndian = true;
    be.version = ":WFM#003";
    TdsSpec bytesWide;
    bytesWide.bytesPerPoint = 1;
    bytesWide.offset = 0.0;
    bytesWide.scale = 1.0;
    IqBuffer r;
    ASSERT_EQ(readTds(tdsFile(be, {258, -3}), tdsFile(bytesWide, {-128, 127, 4}), r), IqStatus::Ok);
    ASSERT_EQ(r.sampleCount, 2);
    EXPECT_EQ(r.iData[0], float(258 * 0.5 - 1.0));
    EXPECT_EQ(r.iData[1], -2.5f);
    EXPECT_EQ(r.qData[0], -128.0f);
    EXPECT_EQ(r.qData[1], 127.0f);
}

TEST(ScopeWaveform, BadHeaders)
{
    const TdsSpec s;
    const QByteArray good = tdsFile(s, {1, 2, 3});
    TdsSpec longer = s, pastEnd = s, wide = s;
    longer.bytesToEndDelta = 1000000;
    pastEnd.curveOffset = 900;
    pastEnd.bytesToEndDelta = -200;
    wide.bytesPerPoint = 4;
    QByteArray badMark = good;
    badMark[0] = 0x12;
    expectRefused(TypeCode::Tds,
                  {{"header cut", good.left(823), good, IqStatus::FirstFile},
                   {"Q header cut", good, good.left(400), IqStatus::SecondFile},
                   {"curve cut", good.left(good.size() - 9), good, IqStatus::FirstFile},
                   {"claims more bytes than present", tdsFile(longer, {1, 2, 3}), good,
                    IqStatus::FirstFile},
                   {"curve offset past the end", tdsFile(pastEnd, {1}), good, IqStatus::FirstFile},
                   {"4 bytes a point", tdsFile(wide, {1}), good, IqStatus::FirstFile},
                   {"bad byte-order mark", badMark, good, IqStatus::FirstFile},
                   {"Q shorter than I", good, tdsFile(s, {1, 2}), IqStatus::SecondFile}});
    IqBuffer r;
    ASSERT_EQ(readTds(good, tdsFile(s, {1, 2, 3, 4}), r), IqStatus::Ok)
            << "Q longer: the I count is taken";
    EXPECT_EQ(r.sampleCount, 3);
}

using ScopeAwgFiles = TempDirTest;

TEST_F(ScopeAwgFiles, DispatchOpensBothFiles)
{
    ASSERT_TRUE(writeAll(path("i.wfm"), tdsFile(TdsSpec(), {2, 4})));
    ASSERT_TRUE(writeAll(path("a.wfm"), awgFile(2, 4096.0, {1, 2})));
    IqBuffer r;  // load list: TDS at 30 (code 31), AWG at 29 (code 30)
    EXPECT_EQ(loadFiles(r, 30, path("i.wfm"), path("missing.wfm")), IqStatus::SecondFile);
    ASSERT_EQ(loadFiles(r, 30, path("i.wfm"), path("i.wfm")), IqStatus::Ok);
    EXPECT_EQ(r.qData[1], 1.0f);
    ASSERT_EQ(loadFiles(r, 29, path("a.wfm"), path("a.wfm")), IqStatus::Ok);
    EXPECT_EQ(r.iData[1], 1.5f);
}

}  // namespace
