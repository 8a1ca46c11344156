#include "binarytestsupport.h"
#include "dispatch.h"

#include <QDir>

namespace {

// A time-domain file: four header lines, then (time, value) double pairs.
QByteArray timeFile(const QByteArray &countLine, const std::vector<double> &values)
{
    QByteArray f = "BINARY TIME DOMAIN\n" + countLine + "\nthird line\nfourth line\n";
    for (size_t k = 0; k < values.size(); ++k)
        f += leDouble(1e-6 * double(k)) + leDouble(values[k]);
    return f;
}

class AdsTimeBinary : public BinaryFiles
{
protected:
    IqStatus read(const QByteArray &i, const QByteArray &q, IqBuffer &r)
    {
        return loadBytes(27, i, r, q);
    }
};

}  // namespace

TEST_F(AdsTimeBinary, ValuesAreKeptAndTheShorterCountWins)
{
    IqBuffer r;
    ASSERT_EQ(read(timeFile("a b c 4 e", {1, 2, 3, 4}), timeFile("a b c 3", {-1, -2, -3}), r),
              IqStatus::Ok);
    ASSERT_EQ(r.sampleCount, 3);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(r.iData[k], float(k + 1));  // the time column is skipped
        EXPECT_EQ(r.qData[k], -float(k + 1));
    }
}

TEST_F(AdsTimeBinary, CountIsTheFourthFieldAtSingleBlanks)
{
    IqBuffer r;
    // Two blanks make an empty field, so "2" is the fourth field here, not "9".
    ASSERT_EQ(read(timeFile("a  b 2 9", {5, 6}), timeFile("x y z 2", {7, 8}), r), IqStatus::Ok);
    EXPECT_EQ(r.sampleCount, 2);
    ASSERT_EQ(read(timeFile("a b c 0", {}), timeFile("x y z 0", {}), r), IqStatus::Ok);
    EXPECT_EQ(r.sampleCount, 0);
}

TEST_F(AdsTimeBinary, UntrustedHeadersFailForTheirFile)
{
    const QByteArray good = timeFile("a b c 2", {1, 2});
    const QByteArray bad[] = {
            QByteArray(),
            QByteArray("only\nthree\nlines\n"),
            timeFile("a b c", {1, 2}),             // no fourth field
            timeFile("a b c two", {1, 2}),         // not a number
            timeFile("a b c -2", {1, 2}),          // negative
            timeFile("a b c 4294967296", {1, 2}),  // beyond 32 bits
            timeFile("a b c 3", {1, 2}),           // more points announced than present
            good.left(good.size() - 1),            // last value cut
    };
    for (const QByteArray &b : bad) {
        IqBuffer r;
        EXPECT_EQ(read(b, good, r), IqStatus::FirstFile) << b.left(80).toStdString();
        EXPECT_TRUE(r.iData.isNull() && r.qData.isNull());
        EXPECT_EQ(read(good, b, r), IqStatus::SecondFile) << b.left(80).toStdString();
        EXPECT_EQ(r.sampleCount, 0);
    }
    IqBuffer r;
    EXPECT_EQ(readFiles(r, 27, path("none"), path("none")), IqStatus::FirstFile);
}

TEST_F(AdsTimeBinary, SecondLineIsReadAtMostTwoHundredBytes)
{
    // The second line continues past 199 bytes: the rest becomes the third line, and the
    // data start after the fourth.
    const QByteArray line2 = "a b c 1 " + QByteArray(191, 'z');
    ASSERT_EQ(line2.size(), 199);
    QByteArray f = "first\n" + line2 + "\nrest of four\n" + leDouble(0) + leDouble(42);
    IqBuffer r;
    ASSERT_EQ(read(f, timeFile("a b c 1", {1}), r), IqStatus::Ok);
    EXPECT_EQ(r.sampleCount, 1);
    EXPECT_EQ(r.iData[0], 42.0f);
}
