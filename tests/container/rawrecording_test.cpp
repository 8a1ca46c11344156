#include "containertestutil.h"
#include "dispatch.h"
#include "filefailure.h"
#include "rawrecording.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace containertest;

namespace {

using RawTest = TempDirTest;

TEST(RawHeader, ExactLine)
{
    IqBuffer r;
    r.sampleRate = 1e6;
    r.sampleCount = 4096;
    r.refLevel = -12.25f;
    r.centerFrequency = 915e6;
    EXPECT_EQ(rawHeaderText(r, QDateTime(QDate(2023, 11, 2), QTime(14, 0, 5))),
              "{TYPE:RAW16LE}{DATE:2023-11-2;14:0:5}{COPYRIGHT:2009 Vantorp Recordia}"
              "{COMMENT:Trovik                "
              "}{FWVERSION:4.10.04}{CLOCK:1000000.000000}{RESOLUTION:16}"
              "{SAMPLES:4096}{COMPONENTS:IQ}{REFLEVEL:-12.250}{FREQUENCY:915000000.0}");
}

TEST(RawHeader, PathBesideData)
{
    EXPECT_EQ(rawHeaderPath(QStringLiteral("/d/rec.wvd")), QStringLiteral("/d/rec.wvh"));
    EXPECT_EQ(rawHeaderPath(QStringLiteral("/d/rec.2.wvd")), QStringLiteral("/d/rec.2.wvh"));
    EXPECT_EQ(rawHeaderPath(QStringLiteral("/d.x/rec")), QStringLiteral("/d.x/rec.wvh"));
}

TEST(RawHeader, MissingKeysKeepTheirValues)
{
    IqBuffer r;
    r.sampleRate = 5.0;
    r.refLevel = -3.0f;
    r.centerFrequencyKnown = true;  // left from an earlier record
    parseRawHeader("{CLOCK:2e6}{REFLEVEL:abc}", r);
    EXPECT_EQ(r.sampleRate, 2e6);
    EXPECT_EQ(r.refLevel, -3.0f);
    EXPECT_EQ(r.centerFrequency, 0.0);
    EXPECT_FALSE(r.centerFrequencyKnown);
    // A frequency the header gives is one the record knows, and a SigMF save then writes.
    parseRawHeader("{FREQUENCY:433920000.0}", r);
    EXPECT_EQ(r.centerFrequency, 433.92e6);
    EXPECT_TRUE(r.centerFrequencyKnown);
}

TEST_F(RawTest, WrittenFilesAndRoundTrip)
{
    IqBuffer r = sineRecord(1000, 1e6);
    r.refLevel = -7.125f;
    r.centerFrequency = 1234567.3;
    ASSERT_EQ(writeFileOfType(r, 24, path("rec.wvd"), QString()), IqStatus::Ok);
    const QByteArray data = readAll(path("rec.wvd"));
    ASSERT_EQ(data.size(), 4000);
    const QString header = QString::fromLatin1(readAll(path("rec.wvh")));
    EXPECT_FALSE(header.endsWith(QLatin1Char('\n')));
    EXPECT_TRUE(QRegularExpression(
                        QStringLiteral("^\\{TYPE:RAW16LE\\}\\{DATE:\\d+-\\d+-\\d+;\\d+:\\d+:\\d+\\}"
                                       "\\{COPYRIGHT:2009 Vantorp Recordia\\}"))
                        .match(header)
                        .hasMatch());
    EXPECT_TRUE(header.endsWith(
            QStringLiteral("{CLOCK:1000000.000000}{RESOLUTION:16}{SAMPLES:1000}"
                           "{COMPONENTS:IQ}{REFLEVEL:-7.125}{FREQUENCY:1234567.3}")))
            << header.toStdString();
    // P = 1 (the largest channel extreme): codes trunc(x * 32767 + 0.5).
    EXPECT_EQ(le16At(data, 0), 32767);
    EXPECT_EQ(le16At(data, 4), -32766);
    IqBuffer back;
    ASSERT_EQ(readFiles(back, 24, path("rec.wvd")), IqStatus::Ok);
    ASSERT_EQ(back.sampleCount, 1000);
    EXPECT_EQ(back.sampleRate, 1e6);
    EXPECT_EQ(back.refLevel, -7.125f);
    EXPECT_EQ(back.centerFrequency, 1234567.3);
    EXPECT_EQ(back.iData[0], 1.0f);
    // Negative values come back up to 1.5 codes high: the writer adds 0.5 and then truncates
    // toward zero.
    for (int64_t k = 0; k < 1000; ++k) {
        EXPECT_NEAR(back.iData[k], r.iData[k], 1.51 / 32767) << k;
        EXPECT_NEAR(back.qData[k], r.qData[k], 1.51 / 32767) << k;
    }
}

TEST_F(RawTest, CodesAreTwosComplement)
{
    ASSERT_TRUE(writeAll(path("c.wvh"), "{CLOCK:1}"));
    ASSERT_TRUE(
            writeAll(path("c.wvd"), le16Codes({32767, 32768, 0, 65535}) + "xyz"));  // 3 stray bytes
    IqBuffer r;
    ASSERT_EQ(readFiles(r, 24, path("c.wvd")), IqStatus::Ok);
    ASSERT_EQ(r.sampleCount, 2);
    EXPECT_EQ(r.iData[0], 1.0f);
    EXPECT_EQ(r.qData[0], float(-32768 / 32767.0));
    EXPECT_EQ(r.iData[1], 0.0f);
    EXPECT_EQ(r.qData[1], float(-1 / 32767.0));
}

TEST_F(RawTest, MissingFilesFail)
{
    IqBuffer r;
    r.iFileName = path("none.wvd");
    ASSERT_TRUE(writeAll(path("none.wvh"), "{CLOCK:1}"));
    clearFileFailure();
    EXPECT_EQ(readFileOfType(r, 24), IqStatus::FirstFile);
    EXPECT_EQ(lastFileFailure().path, path("none.wvd"));
    EXPECT_EQ(lastFileFailure().reason, QStringLiteral("No such file or directory"));
    ASSERT_TRUE(writeAll(path("d.wvd"), le16Codes({1, 2})));
    r.iFileName = path("d.wvd");
    clearFileFailure();
    EXPECT_EQ(readFileOfType(r, 24), IqStatus::FirstFile) << "no header file";
    EXPECT_TRUE(r.iData.isNull());
    EXPECT_EQ(lastFileFailure().path, path("d.wvh"));
    EXPECT_EQ(lastFileFailure().reason, QStringLiteral("header file: No such file or directory"));
}

}  // namespace
