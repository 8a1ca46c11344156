#include "binarytestsupport.h"
#include "dispatch.h"
#include "spwbinary.h"

#include <QDir>

#include <cmath>
#include <cstdio>

namespace {

// The header as the C library formats it, an independent check of the writer's formatting.
QByteArray printfHeader(double rate, long long n)
{
    char text[1024];
    std::snprintf(text, sizeof text,
                  "$SIGNAL_FILE 9\n$USER_COMMENT\n\n$COMMON_INFO\n     SPW Version        = 4.70\n"
                  "System Type        = solaris2\n     Sampling Frequency = %0.1lf\n"
                  "Starting Time    = 0.0\n$DATA_INFO\n     Number of points   = %lld\n"
                  "Signal Type          = Double\n     Complex Format     = Real_Imag\n"
                  "$DATA BINARY\n",
                  rate, n);
    return QByteArray(text);
}

QByteArray doubles(std::initializer_list<double> values)
{
    QByteArray b;
    for (double v : values)
        b += leDouble(v);
    return b;
}

class SpwBinary : public BinaryFiles
{
protected:
    IqStatus readOne(const QByteArray &bytes, IqBuffer &r) { return loadBytes(12, bytes, r); }
    IqStatus readTwo(const QByteArray &i, const QByteArray &q, IqBuffer &r)
    {
        return loadBytes(28, i, r, q);
    }
};

}  // namespace

TEST_F(SpwBinary, HeaderMatchesTheFormatTextWithItsBlanks)
{
    for (double rate : {1e6, 1234.56, 0.05, 0.25, 0.35, 2.5, 1e20, 123456789.95, 0.0})
        EXPECT_EQ(spwBinaryHeader(rate, 1000), printfHeader(rate, 1000)) << rate;
    EXPECT_EQ(spwBinaryHeader(1e6, 0), printfHeader(1e6, 0));
    const QByteArray h = spwBinaryHeader(1e6, 42);
    EXPECT_TRUE(
            h.contains("\nSystem Type        = solaris2\n     Sampling Frequency = 1000000.0\n"));
    EXPECT_TRUE(h.endsWith("     Number of points   = 42\nSignal Type          = Double\n"
                           "     Complex Format     = Real_Imag\n$DATA BINARY\n"));
}

TEST_F(SpwBinary, FileIsHeaderAndSixteenBytesPerSampleAndReadsBack)
{
    const IqBuffer rec = makeRecord(1001, 1234.56);
    ASSERT_EQ(writeFileOfType(rec, 12, path("a.sig"), QString()), IqStatus::Ok);
    const QByteArray f = readAll(path("a.sig"));
    const QByteArray header = printfHeader(1234.56, 1001);
    ASSERT_EQ(f.size(), header.size() + 16 * 1001);
    EXPECT_EQ(f.left(header.size()), header);
    EXPECT_EQ(f.mid(header.size() + 16 * 5, 16), doubles({testI(5), testQ(5)}));

    IqBuffer r;
    ASSERT_EQ(readFiles(r, 12, path("a.sig")), IqStatus::Ok);
    EXPECT_TRUE(holdsTestSignal(r, 1001));
    EXPECT_EQ(r.sampleRate, 1234.6);  // one decimal, as written
}

TEST_F(SpwBinary, NumpyReadsTheSamplesAfterTheHeader)
{
    const int64_t n = 70001;
    ASSERT_EQ(writeFileOfType(makeRecord(n), 12, path("a.sig"), QString()), IqStatus::Ok);
    ASSERT_TRUE(runPython(QStringLiteral(R"(
n = int(sys.argv[2]); k = np.arange(n)
raw = open(sys.argv[1], 'rb').read()
off = raw.index(b'$DATA BINARY\n') + 13
d = np.frombuffer(raw, dtype='<f8', offset=off)
assert d.size == 2 * n
assert np.array_equal(d[0::2], test_i(k)) and np.array_equal(d[1::2], test_q(k))
)"),
                          {path("a.sig"), QString::number(n)}));
}

TEST_F(SpwBinary, DoublesAreNarrowedToFloat)
{
    IqBuffer r;
    ASSERT_EQ(readOne(printfHeader(8.0, 2) + doubles({0.1, -1e-3, 1e300, 3.0}), r), IqStatus::Ok);
    ASSERT_EQ(r.sampleCount, 2);
    EXPECT_EQ(r.iData[0], 0.1f);
    EXPECT_EQ(r.qData[0], -1e-3f);
    EXPECT_TRUE(std::isinf(r.iData[1]));
    EXPECT_EQ(r.qData[1], 3.0f);
    EXPECT_EQ(r.sampleRate, 8.0);
}

TEST_F(SpwBinary, HeaderLinesAreReadNinetyNineBytesAtATime)
{
    // A long comment line does not disturb the header; the lines after it still count.
    const QByteArray longLine = QByteArray(250, 'c') + "= Sampling\n";
    IqBuffer r;
    ASSERT_EQ(readOne(longLine + "Number of points = 1\n$DATA BINARY\n" + doubles({1, 2}), r),
              IqStatus::Ok);
    EXPECT_EQ(r.sampleCount, 1);
    // A line cut just before its "Number o" key no longer gives the count (no samples read).
    const QByteArray cut
            = QByteArray(95, ' ') + "Number of points = 1\n$DATA BINARY\n" + doubles({1, 2});
    ASSERT_EQ(readOne(cut, r), IqStatus::Ok);
    EXPECT_EQ(r.sampleCount, 0);
    // Values parse whatever the locale, with trailing text ignored.
    ASSERT_EQ(readOne("Sampling = 2.5e3 Hz\nNumber of points =  +1 pts\n$DATA BINARY\n"
                              + doubles({1, 2}),
                      r),
              IqStatus::Ok);
    EXPECT_EQ(r.sampleRate, 2500.0);
    EXPECT_EQ(r.sampleCount, 1);
}

TEST_F(SpwBinary, UntrustedOneFileHeadersFailWithMinusOne)
{
    const QByteArray good = printfHeader(1e6, 3) + doubles({1, 2, 3, 4, 5, 6});
    const QByteArray cases[] = {
            QByteArray(),
            good.left(good.indexOf("$DATA BINARY")),          // ends before the marker
            good.left(good.indexOf("$DATA BINARY") + 12),     // marker without its line end
            good.left(good.size() - 1),                       // last value cut
            printfHeader(1e6, 2147483647) + doubles({1, 2}),  // count far beyond the data
            printfHeader(1e6, -3) + doubles({1, 2}),          // negative count
            "Number of points = 99999999999999999999999\n$DATA BINARY\n",  // does not fit
            "Number of points = 4294967297\n$DATA BINARY\n",               // beyond 32 bits
            "$DATA\n" + doubles({1, 2}),                                   // the two-file marker
    };
    for (const QByteArray &bytes : cases) {
        IqBuffer r;
        EXPECT_EQ(readOne(bytes, r), IqStatus::FirstFile) << bytes.left(200).toStdString();
        EXPECT_TRUE(r.iData.isNull() && r.qData.isNull());
        EXPECT_EQ(r.sampleCount, 0);
    }
    IqBuffer r;
    EXPECT_EQ(readFiles(r, 12, path("missing.sig")), IqStatus::FirstFile);
    EXPECT_EQ(writeFileOfType(makeRecord(3), 12, path("no/dir/a.sig"), QString()),
              IqStatus::FirstFile);
}

TEST_F(SpwBinary, AdsSingleReadsOneDoublePerFileWithTheCountOfTheIFile)
{
    const QByteArray iFile
            = "$USER_COMMENT\nSampling Frequency = 5.0\nNumber of points = 3\n$DATA\n"
              + doubles({1, 2, 3});
    const QByteArray qFile = "Number of points = 99\n$DATA\n" + doubles({-1, -2, -3, -4});
    IqBuffer r;
    ASSERT_EQ(readTwo(iFile, qFile, r), IqStatus::Ok);
    ASSERT_EQ(r.sampleCount, 3);
    EXPECT_EQ(r.sampleRate, 5.0);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(r.iData[k], float(k + 1));
        EXPECT_EQ(r.qData[k], -float(k + 1));
    }
    // Each file's own faults are reported against it.
    EXPECT_EQ(readTwo(iFile.left(iFile.size() - 1), qFile, r), IqStatus::FirstFile);
    EXPECT_EQ(readTwo(iFile, "$DATA\n" + doubles({1, 2}), r), IqStatus::SecondFile);
    EXPECT_EQ(readTwo(iFile, "no marker\n" + doubles({1, 2, 3}), r), IqStatus::SecondFile);
    EXPECT_EQ(readTwo(iFile, "$DATA BINARY\n" + doubles({1, 2, 3}), r), IqStatus::SecondFile);
    EXPECT_TRUE(r.iData.isNull() && r.qData.isNull());
    ASSERT_TRUE(writeAll(path("i.sig"), iFile));
    EXPECT_EQ(readFiles(r, 28, path("i.sig"), path("missing.sig")), IqStatus::SecondFile);
}
