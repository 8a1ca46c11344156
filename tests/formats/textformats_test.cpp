#include "../container/containertestutil.h"
#include "dispatch.h"
#include "textformats.h"
#include "textheader.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cmath>
#include <random>

using containertest::readAll;
using containertest::record;
using containertest::writeAll;

namespace {

class TextFormats : public containertest::TempDirTest
{
protected:
    // Reads through a type code the file names given.
    IqBuffer read(int typeCode, const QString &iFile, const QString &qFile = QString(),
                  IqStatus expected = IqStatus::Ok)
    {
        IqBuffer r;
        r.iFileName = iFile;
        r.qFileName = qFile;
        EXPECT_EQ(readFileOfType(r, typeCode), expected);
        return r;
    }

    static void expectValues(const IqBuffer &r, const std::vector<float> &i,
                             const std::vector<float> &q)
    {
        ASSERT_EQ(r.sampleCount, int64_t(i.size()));
        EXPECT_EQ(containertest::column(r.iData, r.sampleCount), i);
        EXPECT_EQ(containertest::column(r.qData, r.sampleCount), q);
    }
};

const QDateTime kStamp(QDate(2024, 3, 9), QTime(7, 5, 1));

}  // namespace

TEST_F(TextFormats, DaDispHeadersAreByteExact)
{
    EXPECT_EQ(textheader::dadisp('i', kStamp, 100e6),
              QByteArray("DATASET i\nVERSION NEXT\nNUM SIGS 1\nSTORAGE MODE INTERLACED\nSIGNAL i\n"
                         "DATE 2024-03-09\nTIME 07:05:01\nINTERVAL 1e-08\nVERT_UNITS volt\n"
                         "HORZ_UNITS sec\nCOMMENT\nDATA\n"));
    EXPECT_EQ(textheader::dadisp('q', kStamp, 3e6),
              QByteArray("DATASET q\nVERSION NEXT\nNUM SIGS 1\nSTORAGE MODE INTERLACED\nSIGNAL q\n"
                         "DATE 2024-03-09\nTIME 07:05:01\nINTERVAL 3.33333e-07\nVERT_UNITS volt\n"
                         "HORZ_UNITS sec\nCOMMENT\nDATA\n"));
    EXPECT_EQ(
            textheader::dadisp(0, kStamp, 1000.0),
            QByteArray(
                    "DATASET i_q\nVERSION NEXT\nNUM SIGS 2\nSTORAGE MODE INTERLACED\nSIGNAL i, q\n"
                    "DATE 2024-03-09\nTIME 07:05:01\n INTERVAL 0.001\nVERT_UNITS volt\n"
                    "HORZ_UNITS sec\nCOMMENT\nDATA\n"));
}

// The date and time in a DaDisp header.
static QDateTime dadispStamp(const QByteArray &text)
{
    const auto m = QRegularExpression(
                           QStringLiteral(
                                   "\nDATE (\\d{4}-\\d\\d-\\d\\d)\nTIME (\\d\\d:\\d\\d:\\d\\d)\n"))
                           .match(QString::fromLatin1(text));
    return QDateTime::fromString(m.captured(1) + QLatin1Char(' ') + m.captured(2),
                                 QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

// Each file is its header, stamped with the time of writing (one stamp for both files of a
// pair), then the values.
TEST_F(TextFormats, DaDispFilesAreAStampedHeaderAndTheValues)
{
    const IqBuffer r = record({0.5f, -1.0f}, {0.25f, 2.0f}, 100e6);
    ASSERT_EQ(writeTextIq(r, 6, path("d.i"), path("d.q")), IqStatus::Ok);
    ASSERT_EQ(writeTextIq(r, 7, path("m.dsp"), QString()), IqStatus::Ok);
    struct Case
    {
        const char *file;
        char signal;  // 0: both
        const char *values;
    };
    for (const Case &c :
         {Case{"d.i", 'i', "5.0000000e-01\n-1.0000000e+00\n"},
          Case{"d.q", 'q', "2.5000000e-01\n2.0000000e+00\n"},
          Case{"m.dsp", 0, "5.0000000e-01 2.5000000e-01\n-1.0000000e+00 2.0000000e+00\n"}}) {
        SCOPED_TRACE(c.file);
        const QByteArray text = readAll(path(c.file));
        const QDateTime stamp = dadispStamp(text);
        ASSERT_TRUE(stamp.isValid());
        EXPECT_LE(std::llabs(stamp.secsTo(QDateTime::currentDateTime())), 120);
        EXPECT_EQ(text, textheader::dadisp(c.signal, stamp, 100e6) + c.values);
    }
    EXPECT_EQ(dadispStamp(readAll(path("d.i"))), dadispStamp(readAll(path("d.q"))));
    expectValues(read(6, path("d.i"), path("d.q")), {0.5f, -1.0f}, {0.25f, 2.0f});
    expectValues(read(7, path("m.dsp")), {0.5f, -1.0f}, {0.25f, 2.0f});
}

TEST_F(TextFormats, SpwHeaderAndTrailerAreByteExact)
{
    const QByteArray emptyMixed
            = "$SIGNAL_FILE 9\n$USER_COMMENT\n\n$COMMON_INFO\nSPW Version 3.0\n\n"
              "Sampling Frequency = 1e+06\nStarting Time = 0.0\n$DATA_INFO\n"
              "Number of Points = 0\nSignal Type = Real_Imag\n$DATA\nEND\n";
    ASSERT_EQ(writeTextIq(record({}, {}), 11, path("e.ascsig"), QString()), IqStatus::Ok);
    EXPECT_EQ(readAll(path("e.ascsig")), emptyMixed);
    EXPECT_EQ(read(11, path("e.ascsig")).sampleCount, 0);

    const IqBuffer r = record({0.12345670f, -3.0f}, {1e-9f, 65504.0f}, 2.5e6);
    for (int code : {10, 13}) {
        ASSERT_EQ(writeTextIq(r, code, path("s_i.ascsig"), path("s_q.ascsig")), IqStatus::Ok);
        const QByteArray header
                = "$SIGNAL_FILE 9\n$USER_COMMENT\n\n$COMMON_INFO\nSPW Version 3.0\n\n"
                  "Sampling Frequency = 2.5e+06\nStarting Time = 0.0\n$DATA_INFO\n"
                  "Number of Points = 2\nSignal Type = Double\n$DATA\n";
        EXPECT_EQ(readAll(path("s_i.ascsig")), header + "1.2345670e-01\n-3.0000000e+00\nEND\n");
        EXPECT_EQ(readAll(path("s_q.ascsig")), header + "9.9999997e-10\n6.5504000e+04\nEND\n");
        // "END" is a trailer, not a sample.
        expectValues(read(code, path("s_i.ascsig"), path("s_q.ascsig")), {0.1234567f, -3.0f},
                     {1e-9f, 65504.0f});
    }
}

TEST_F(TextFormats, HeaderlessTypesWriteOnlyNumbers)
{
    const IqBuffer r = record({1.0f, -0.5f}, {0.0f, 1e-3f});
    for (int code : {1, 5, 9}) {
        ASSERT_EQ(writeTextIq(r, code, path("m.txt"), QString()), IqStatus::Ok);
        EXPECT_EQ(readAll(path("m.txt")),
                  QByteArray("1.0000000e+00 0.0000000e+00\n-5.0000000e-01 1.0000000e-03\n"));
    }
    for (int code : {0, 4, 8, 16}) {
        ASSERT_EQ(writeTextIq(r, code, path("a.i"), path("a.q")), IqStatus::Ok);
        EXPECT_EQ(readAll(path("a.i")), QByteArray("1.0000000e+00\n-5.0000000e-01\n"));
        EXPECT_EQ(readAll(path("a.q")), QByteArray("0.0000000e+00\n1.0000000e-03\n"));
    }
}

TEST_F(TextFormats, EveryTextSaveTypeReadsBackThroughTheDispatchers)
{
    std::mt19937 rng(11);
    std::normal_distribution<float> gauss(0.0f, 0.3f);
    std::vector<float> i(257), q(257);
    for (size_t k = 0; k < i.size(); ++k) {
        i[k] = gauss(rng);
        q[k] = gauss(rng) + 0.2f;  // asymmetric on purpose
    }
    for (int index : {0, 1, 4, 5, 6, 7, 8, 9, 10, 11, 13, 16, 17, 20, 21, 22}) {
        IqBuffer source = record(i, q, 5e6);
        IqBuffer scratch, target;
        target.typeIndex = index;
        target.iFileName = path("rt.a");
        target.qFileName = path("rt.b");
        ASSERT_EQ(saveIqFile(source, scratch, target, false, 0), IqStatus::Ok) << index;
        IqBuffer loaded;
        loaded.typeIndex = index;  // load and save rows agree up to 24
        loaded.iFileName = target.iFileName;
        loaded.qFileName = target.qFileName;
        ASSERT_EQ(loadIqFile(loaded), IqStatus::Ok) << index;
        ASSERT_EQ(loaded.sampleCount, 257) << index;
        double fullScale = 0.0;
        for (size_t k = 0; k < i.size(); ++k)
            fullScale = std::max({fullScale, double(std::fabs(i[k])), double(std::fabs(q[k]))});
        for (int64_t k = 0; k < 257; ++k) {
            if (index >= 20) {  // hex codes read back at full scale 1.0
                const double step = index == 21   ? 1.0 / 511
                                    : index == 22 ? 1.0 / 65535
                                                  : 1.0 / 32767;
                EXPECT_NEAR(loaded.iData[k], i[size_t(k)] / fullScale, 1.6 * step) << index;
                EXPECT_NEAR(loaded.qData[k], q[size_t(k)] / fullScale, 1.6 * step) << index;
            } else {
                EXPECT_NEAR(loaded.iData[k], i[size_t(k)], 1.2e-7 * std::fabs(i[size_t(k)]))
                        << index;
                EXPECT_NEAR(loaded.qData[k], q[size_t(k)], 1.2e-7 * std::fabs(q[size_t(k)]))
                        << index;
            }
        }
    }
}

TEST_F(TextFormats, OneFileLinesSplitAtEverySingleBlank)
{
    writeAll(path("l.asc"), "1.0  2.0\n3.0\n\n4.0 5.0 6.0\r\n-1e3 junk\n 7 8\n9 +2.5");
    expectValues(read(1, path("l.asc")), {1.0f, 3.0f, 0.0f, 4.0f, -1000.0f, 0.0f, 9.0f},
                 {0.0f, 0.0f, 0.0f, 5.0f, 0.0f, 7.0f, 2.5f});
}

TEST_F(TextFormats, WrittenLayoutAndOtherLinesReadAlike)
{
    // Lines in the writers' exact layout take a shortcut; near misses must read as any line.
    writeAll(path("w.asc"),
             "1.0000000e+00 2.0000000e+00\n-1.0000000e+00  2.0000000e+00\n"
             "1.0000000e+00 2.0000000e+00 3\n1.0000000e+00 2.0000000e+00\r\n"
             "1.0000000e+50 -2.5000000e-01\n1.0000000e+00\n-1.0000000e+00 -2.0000000e+00");
    expectValues(read(1, path("w.asc")), {1.0f, -1.0f, 1.0f, 1.0f, INFINITY, 1.0f, -1.0f},
                 {2.0f, 0.0f, 2.0f, 2.0f, -0.25f, 0.0f, -2.0f});
    writeAll(path("w.i"), "1.0000000e+00\n1.0000000e+00 \n1.0000000e+0\n-5.0000000e-01");
    writeAll(path("w.q"), "2.0000000e+00\r\n2.0000000e+00\n2.000000e+00\n\n");
    expectValues(read(8, path("w.i"), path("w.q")), {1.0f, 1.0f, 1.0f, -0.5f},
                 {2.0f, 2.0f, 2.0f, 0.0f});
}

TEST_F(TextFormats, TwoFilesOfDifferentLengthGiveTheShorterCount)
{
    writeAll(path("a.i"), "1\n2\n3\n");
    writeAll(path("a.q"), "-1\n-2");
    expectValues(read(0, path("a.i"), path("a.q")), {1.0f, 2.0f}, {-1.0f, -2.0f});
    expectValues(read(16, path("a.q"), path("a.i")), {-1.0f, -2.0f}, {1.0f, 2.0f});
    // A whole two-file line is one number; anything else reads as 0.
    writeAll(path("b.i"), " 1.5 \n1.0 2.0\nx\n");
    writeAll(path("b.q"), "1\n2\n3\n");
    expectValues(read(29, path("b.i"), path("b.q")), {1.5f, 0.0f, 0.0f}, {1.0f, 2.0f, 3.0f});
}

TEST_F(TextFormats, AdsTimeDomainTakesTheValueColumn)
{
    writeAll(path("t_i.tim"),
             "header line\n% t v\n0.0 0.5\n1e-6\t\t0.25\n  2e-6   -0.125  \n3e-6\n");
    writeAll(path("t_q.tim"), "% t v\r\n0.0 -0.5\r\n1e-6 -0.25\r\n2e-6 1\r\n3e-6 2\r\n");
    expectValues(read(26, path("t_i.tim"), path("t_q.tim")), {0.5f, 0.25f, -0.125f, 0.0f},
                 {-0.5f, -0.25f, 1.0f, 2.0f});
}

TEST_F(TextFormats, MarkersTrailersAndLineEnds)
{
    struct Case
    {
        const char *what;
        int code;
        const char *text;
        std::vector<float> i, q;
    };
    const Case cases[] = {
            {"the first marker ends the header; a later marker line is data",
             11,
             "$SIGNAL_FILE 9\n$DATA ASCII\n1 2\nDATA\n3 4\nEND\n",
             {1, 0, 3},
             {2, 0, 4}},
            {"CR LF line ends, trailer included", 11, "$DATA\r\n1 2\r\nEND\r\n", {1}, {2}},
            {"without a marker, END is dropped only as the last line",
             7,
             "1 2\nEND\n3 4\nEND",
             {1, 0, 3},
             {2, 0, 4}},
            {"types without a header keep DATA and END as zero samples",
             1,
             "DATA\n1 2\nEND\n",
             {0, 1, 0},
             {0, 2, 0}},
            {"a byte-order mark hides no marker", 11, "\xEF\xBB\xBF$DATA\n1 2\n", {1}, {2}},
            {"a byte-order mark hides no number", 1, "\xEF\xBB\xBF-1 2\n", {-1}, {2}},
            {"a marker as the very last line leaves no data", 7, "DATASET i\nDATA", {}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        writeAll(path("m.txt"), c.text);
        expectValues(read(c.code, path("m.txt")), c.i, c.q);
    }
}

TEST_F(TextFormats, StripTextHeaderOnALineList)
{
    QStringList lines{"x", "% t v", "1", "END"};
    stripTextHeader(26, lines);
    EXPECT_EQ(lines, QStringList{"1"});
    lines = QStringList{"$DATA", "END"};
    stripTextHeader(1, lines);  // no header for this type
    EXPECT_EQ(lines.size(), 2);
    stripTextHeader(10, lines);
    EXPECT_TRUE(lines.isEmpty());
    lines = QStringList{"$data", "2"};  // markers are case-sensitive
    stripTextHeader(10, lines);
    EXPECT_EQ(lines.size(), 2);
}

TEST_F(TextFormats, DabSymbolFile)
{
    ASSERT_EQ(writeDabSymbols(record({1.0f, 2.0f, 3.0f}, {-1.0f, 0.5f, 0.0f}), 17, path("s.sym"),
                              QString()),
              IqStatus::Ok);
    const QByteArray text = readAll(path("s.sym"));
    EXPECT_EQ(text, QByteArray("length_of_symbol:3\ncarriers:192\n1.0000000e+00\n2.0000000e+00\n3."
                               "0000000e+00\n"
                               "length_of_symbol:3\ncarriers:192\n-1.0000000e+00\n5.0000000e-01\n0."
                               "0000000e+00\n"));
    EXPECT_EQ(text.count('\n'), 10);
    expectValues(read(17, path("s.sym")), {1.0f, 2.0f, 3.0f}, {-1.0f, 0.5f, 0.0f});

    writeAll(path("short.sym"), "length_of_symbol:2\ncarriers:192\n 4.5 \n");
    EXPECT_TRUE(read(17, path("short.sym"), QString(), IqStatus::FirstFile).iData.isNull())
            << "no zeros for missing lines";
    writeAll(path("huge.sym"), "length_of_symbol:4294967295\ncarriers:192\n1\n");
    EXPECT_EQ(read(17, path("huge.sym"), QString(), IqStatus::FirstFile).sampleCount, 0);
    writeAll(path("bad.sym"), "length_of_symbol:x\n");
    EXPECT_EQ(read(17, path("bad.sym")).sampleCount, 0);
    writeAll(path("empty.sym"), "");
    EXPECT_EQ(read(17, path("empty.sym")).sampleCount, 0);
}

TEST_F(TextFormats, HexCodesOfTheExtremesAndZero)
{
    const IqBuffer r = record({1.0f, 0.0f, -1.0f}, {-1.0f, 0.0f, 1.0f});
    for (const auto &[code, text] : {std::pair{20, "7FFF 8000\n   0    0\n8000 7FFF\n"},
                                     {21, "3FF   0\n200 200\n  0 3FF\n"},
                                     {22, "1FFFF     0\n10000 10000\n    0 1FFFF\n"}}) {
        ASSERT_EQ(writeHex(r, code, path("h.txt"), QString()), IqStatus::Ok);
        EXPECT_EQ(readAll(path("h.txt")), QByteArray(text));
        expectValues(read(code, path("h.txt")), {1.0f, 0.0f, -1.0f}, {-1.0f, 0.0f, 1.0f});
    }
}

TEST_F(TextFormats, HexScalesByTheLargestMagnitudeSoAsymmetricDataKeepsItsSign)
{
    // Span scaling would give 0.5 the code AAAA here, a negative number.
    const IqBuffer r = record({0.5f, -0.25f, 0.1f}, {0.0f, 0.25f, -0.5f});
    ASSERT_EQ(writeHex(r, 20, path("a.txt"), QString()), IqStatus::Ok);
    EXPECT_EQ(readAll(path("a.txt")), QByteArray("7FFF    0\nC000 4000\n1999 8000\n"));
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> skewed(-0.1f, 3.0f);
    for (int code : {20, 21, 22}) {
        for (int k = 0; k < 2000; ++k) {
            const float x = skewed(rng);
            const uint32_t c = hexCode(code, x, 3.0);
            const float back = hexValue(code, c);
            EXPECT_NEAR(back, x / 3.0f, code == 21 ? 2.0 / 511 : 2.0 / 32767) << code << ' ' << x;
        }
    }
    // All-zero and non-finite data stay inside the code range.
    EXPECT_EQ(hexCode(20, 0.0f, 1.0), 0u);
    EXPECT_EQ(hexCode(21, std::nanf(""), 1.0), 0x200u);
    EXPECT_EQ(hexCode(22, INFINITY, 2.0), 0x1FFFFu);
    EXPECT_EQ(hexCode(20, -INFINITY, 2.0), 0x8000u);
    ASSERT_EQ(writeHex(record({0.0f, NAN}, {0.0f, INFINITY}), 21, path("z.txt"), QString()),
              IqStatus::Ok);
    EXPECT_EQ(readAll(path("z.txt")), QByteArray("200 200\n200 3FF\n"));
}

TEST_F(TextFormats, HexLinesWithMissingOrBadCodes)
{
    writeAll(path("b.txt"), "7FFF\n\nZZZZ 8000\n  10000 1\r\n7fff 0 extra\n");
    expectValues(read(20, path("b.txt")), {1.0f, 0.0f, 0.0f, 0.0f, 1.0f},
                 {0.0f, 0.0f, -1.0f, hexValue(20, 1), 0.0f});
    writeAll(path("c.txt"), "400 3FF\n");  // 400 exceeds ten bits
    expectValues(read(21, path("c.txt")), {0.0f}, {1.0f});
}

TEST_F(TextFormats, AsciiWithoutLineFeeds)
{
    writeAll(path("n.asc"), "1 2 3 4 5");
    expectValues(read(32, path("n.asc")), {1.0f, 3.0f}, {2.0f, 4.0f});
    writeAll(path("m.asc"), "\xEF\xBB\xBF-1.5 2  3 4\n");
    expectValues(read(32, path("m.asc")), {-1.5f, 0.0f}, {2.0f, 3.0f});
    writeAll(path("e.asc"), "");
    EXPECT_EQ(read(32, path("e.asc")).sampleCount, 0);
    writeAll(path("o.asc"), "7");
    EXPECT_EQ(read(32, path("o.asc")).sampleCount, 0);
}

TEST_F(TextFormats, ReadersReportMissingFiles)
{
    writeAll(path("ok.i"), "1\n");
    for (int code : {1, 17, 20, 21, 22, 32})
        EXPECT_TRUE(read(code, path("none"), QString(), IqStatus::FirstFile).iData.isNull())
                << code;
    EXPECT_TRUE(read(0, path("none"), path("ok.i"), IqStatus::FirstFile).iData.isNull());
    EXPECT_TRUE(read(0, path("ok.i"), path("none"), IqStatus::SecondFile).iData.isNull());
    EXPECT_EQ(read(0, dir.path(), QString(), IqStatus::FirstFile).sampleCount,
              0);  // a folder is not a file
}

TEST_F(TextFormats, WritersReportFailuresAndKeepExistingFiles)
{
    const IqBuffer r = record({1.0f}, {2.0f});
    const QString missing = path("no/such/dir/x.txt");
    EXPECT_EQ(writeTextIq(r, 1, missing, QString()), IqStatus::FirstFile);
    EXPECT_EQ(writeDabSymbols(r, 17, missing, QString()), IqStatus::FirstFile);
    EXPECT_EQ(writeHex(r, 20, missing, QString()), IqStatus::FirstFile);
    writeAll(path("keep.i"), "old i\n");
    EXPECT_EQ(writeTextIq(r, 0, path("keep.i"), missing), IqStatus::SecondFile);
    EXPECT_EQ(readAll(path("keep.i")), QByteArray("old i\n"));  // both files or neither
    EXPECT_EQ(writeTextIq(r, 0, missing, path("keep.q")), IqStatus::FirstFile);
    EXPECT_FALSE(QFile::exists(path("keep.q")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);  // no temporary files left
}

TEST_F(TextFormats, WritersNeverReadPastTheArrays)
{
    IqBuffer r = record({1.0f, 2.0f}, {3.0f, 4.0f});
    r.sampleCount = 1000;  // claims more than the arrays hold
    ASSERT_EQ(writeTextIq(r, 1, path("w.asc"), QString()), IqStatus::Ok);
    EXPECT_EQ(read(1, path("w.asc")).sampleCount, 2);
    ASSERT_EQ(writeTextIq(r, 11, path("w.ascsig"), QString()), IqStatus::Ok);
    EXPECT_TRUE(readAll(path("w.ascsig")).contains("Number of Points = 2\n"));
}
