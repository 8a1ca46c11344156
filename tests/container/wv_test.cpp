#include "containertestutil.h"
#include "dispatch.h"
#include "filetypes.h"
#include "wvformat.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace containertest;

namespace {

using WvTest = TempDirTest;

IqStatus readBytes(const QByteArray &bytes, IqBuffer &r)
{
    return loadBytes(TypeCode::Wv, bytes, r);
}

TEST(WvHeaderText, ExactTags)
{
    const QDateTime when(QDate(2024, 3, 5), QTime(7, 8, 9));
    EXPECT_EQ(wvHeaderText(1000, 10e6, 2.0, 1.0, when),
              "{TYPE:Genova-WV,0}{COPYRIGHT:2024 Vantorp Genova} {DATE:2024-3-5;7:8:9}"
              "{LEVEL OFFS:6.021,2.000}{SAMPLES:1000} {CLOCK:10000000}{WAVEFORM-4001:#");
    // Peak 0: a defined level offset instead of a division by zero.
    EXPECT_TRUE(wvHeaderText(5, 1.9, 0.0, 0.0, when)
                        .contains("{LEVEL OFFS:0.000,0.000}{SAMPLES:5} {CLOCK:1}"));
}

TEST_F(WvTest, FileHoldsTagsSamplesAndClosingBrace)
{
    const int64_t n = 777;
    IqBuffer r = sineRecord(n, 10e6);
    ASSERT_EQ(writeFileOfType(r, 25, path("a.wv"), QString()), IqStatus::Ok);
    const QByteArray b = readAll(path("a.wv"));
    const int hash = b.indexOf('#');
    ASSERT_GT(hash, 0);
    const QString header = QString::fromLatin1(b.left(hash + 1));
    const QRegularExpression form(
            QStringLiteral("^\\{TYPE:Genova-WV,0\\}\\{COPYRIGHT:(\\d+) Vantorp Genova\\} "
                           "\\{DATE:(\\d+)-\\d{1,2}-\\d{1,2};\\d{1,2}:\\d{1,2}:\\d{1,2}\\}"
                           "\\{LEVEL OFFS:\\d+\\.\\d{3},1\\.118\\}\\{SAMPLES:777\\} "
                           "\\{CLOCK:10000000\\}\\{WAVEFORM-3109:#$"));
    const auto m = form.match(header);
    ASSERT_TRUE(m.hasMatch()) << header.toStdString();
    EXPECT_EQ(m.captured(1), m.captured(2));
    EXPECT_EQ(b.size(), hash + 1 + 4 * n + 1);
    EXPECT_EQ(b.back(), '}');
    // Codes: trunc(x * 32767 / peak + 0.5); the peak magnitude is that of sample 0 (I = 1, Q =
    // 0.5).
    const double peak = std::sqrt(1.0 + 0.25);
    for (int64_t k = 0; k < n; ++k) {
        EXPECT_EQ(le16At(b, hash + 1 + 4 * k),
                  int16_t(std::trunc(r.iData[k] * 32767.0 / peak + 0.5)))
                << k;
        EXPECT_EQ(le16At(b, hash + 3 + 4 * k),
                  int16_t(std::trunc(r.qData[k] * 32767.0 / peak + 0.5)))
                << k;
    }
}

TEST_F(WvTest, RoundTripReadsCodesUnscaled)
{
    IqBuffer r = makeRecord(
            4, [](int64_t k) { return float(k) - 1.5f; }, [](int64_t) { return 0.0f; }, 2.5e6);
    ASSERT_EQ(writeFileOfType(r, 25, path("a.wv"), QString()), IqStatus::Ok);
    IqBuffer back;
    ASSERT_EQ(readFiles(back, 25, path("a.wv")), IqStatus::Ok);
    ASSERT_EQ(back.sampleCount, 4);
    EXPECT_EQ(back.sampleRate, 2500000.0);
    // Peak 1.5: -1.5 -> trunc(-32767 + 0.5) = -32766, -0.5 -> trunc(-10922.33 + 0.5) = -10921.
    EXPECT_EQ(back.iData[0], -32766.0f);
    EXPECT_EQ(back.iData[1], -10921.0f);
    EXPECT_EQ(back.iData[2], 10922.0f);
    EXPECT_EQ(back.iData[3], 32767.0f);
}

TEST_F(WvTest, EqualMagnitudeGivesZeroLevelOffset)
{
    IqBuffer r = makeRecord(
            1000, [](int64_t k) { return float(std::cos(0.37 * k)); },
            [](int64_t k) { return float(std::sin(0.37 * k)); });
    ASSERT_EQ(writeFileOfType(r, 25, path("c.wv"), QString()), IqStatus::Ok);
    EXPECT_TRUE(readAll(path("c.wv")).contains("{LEVEL OFFS:0.000,1.000}"));
}

TEST(WvRead, EmptyTagPlaceholderIsSkipped)
{
    const QByteArray file = "{TYPE:Genova-WV,0}{SAMPLES:2}{CLOCK:1e6}{EMPTYTAG-20:#                "
                            "   }{WAVEFORM-9:#"
                            + le16Codes({1, -2, 300, -32768}) + "}";
    IqBuffer r;
    ASSERT_EQ(readBytes(file, r), IqStatus::Ok);
    ASSERT_EQ(r.sampleCount, 2);
    EXPECT_EQ(r.sampleRate, 1e6);
    EXPECT_EQ(r.iData[0], 1.0f);
    EXPECT_EQ(r.qData[0], -2.0f);
    EXPECT_EQ(r.iData[1], 300.0f);
    EXPECT_EQ(r.qData[1], -32768.0f);
}

TEST(WvRead, ScrambledFileIsRefused)
{
    const QByteArray file = "{TYPE:Genova-WV,0}{SAMPLES:2} {CLOCK:1000}{WWAVEFORM-9:#"
                            + le16Codes({1, 2, 3, 4}) + "}";
    IqBuffer r;
    EXPECT_EQ(readBytes(file, r), IqStatus::Scrambled);
    EXPECT_TRUE(r.iData.isNull()) << "no samples read";
}

TEST(WvRead, BadHeadersFailBeforeAllocation)
{
    const std::pair<const char *, QByteArray> cases[] = {
            {"empty", ""},
            {"no #", "{TYPE:Genova-WV,0}{SAMPLES:2}"},
            {"no SAMPLES", "{TYPE:Genova-WV,0}{CLOCK:5}{WAVEFORM-9:#" + le16Codes({1, 2, 3, 4})},
            {"SAMPLES not a number", "{SAMPLES:x2}{WAVEFORM-9:#" + le16Codes({1, 2, 3, 4})},
            {"claims more than present",
             "{SAMPLES:3}{WAVEFORM-13:#" + le16Codes({1, 2, 3, 4}) + "}"},
            {"absurd count", "{SAMPLES:18446744073709551615}{WAVEFORM-1:#"},
            {"no second #", "{EMPTYTAG:#}{SAMPLES:0}"},
    };
    IqBuffer r;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.first);
        EXPECT_EQ(readBytes(c.second, r), IqStatus::FirstFile);
        EXPECT_TRUE(r.iData.isNull());
    }
    // A count with blanks inside the tag is still a number.
    ASSERT_EQ(readBytes("{SAMPLES: 1 }{WAVEFORM-5:#" + le16Codes({9, 8}), r), IqStatus::Ok);
    EXPECT_EQ(r.sampleCount, 1);
}

}  // namespace
