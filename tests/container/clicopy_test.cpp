#include "chunkedcopy.h"
#include "containertestutil.h"
#include "dispatch.h"
#include "rawrecording.h"

#include <gtest/gtest.h>

using namespace containertest;

namespace {

class CliCopyTest : public TempDirTest
{
protected:
    int cli(const QStringList &args, QByteArray *out = nullptr, QByteArray *err = nullptr)
    {
        return run(QStringLiteral(TROVIK_CLI), QStringList{QStringLiteral("copy")} + args, out,
                   err);
    }
};

TEST_F(CliCopyTest, CopiesInChunks)
{
    ASSERT_EQ(writeFileOfType(sineRecord(2345), 24, path("a.wvd"), QString()), IqStatus::Ok);
    QByteArray out;
    ASSERT_EQ(cli({"--from", "recordia-raw", "--in", path("a.wvd"), "--to", "wv", "--out",
                   path("a.wv"), "--chunk", "1000"},
                  &out),
              0);
    EXPECT_EQ(out.trimmed(), "copied 2345 samples in 3 chunk(s) to " + path("a.wv").toLocal8Bit());
    IqBuffer direct;
    direct.typeIndex = 24;
    direct.iFileName = path("a.wvd");
    ASSERT_EQ(convertInChunks(direct, path("b.wv"), 25), IqStatus::Ok);
    const QByteArray a = readAll(path("a.wv")), b = readAll(path("b.wv"));
    EXPECT_EQ(a.mid(a.indexOf('#')), b.mid(b.indexOf('#')));
    // List indices work as types too: 32 is WV in the load list, 15 WAV mixed in the save list.
    ASSERT_EQ(cli({"--from", "32", "--in", path("a.wv"), "--to", "15", "--out", path("a.wav")}), 0);
    EXPECT_EQ(readAll(path("a.wav")).size(), 44 + 4 * 2345);
}

TEST_F(CliCopyTest, RefusesOtherTypesBeforeWriting)
{
    ASSERT_EQ(writeFileOfType(sineRecord(20), 24, path("a.wvd"), QString()), IqStatus::Ok);
    const QString in = path("a.wvd");
    struct Case
    {
        QStringList args;
        std::vector<QByteArray> said;  // parts of the message on standard error
    };
    const Case cases[] = {
            {{"--from", "recordia-raw", "--in", in, "--to", "matlab-ascii-mixed", "--out",
              path("o.asc")},
             {"as target only matlab-binary-single, matlab-binary-mixed, spw-binary-mixed, "
              "wav-single, wav-mixed, iqw-pairs, iqw-blocks, loomwave, recordia-raw, wv, sigmf;"}},
            {{"--from", "mathcad-mixed", "--in", in, "--to", "wv", "--out", path("o.wv")},
             {"'mathcad-mixed' is not one of them",
              "as source only matlab-binary-single, matlab-binary-mixed, "}},
            {{"--from", "nonsense", "--in", in, "--to", "wv", "--out", path("o.wv")},
             {"unknown source type"}},
            {{"--from", "wv", "--in", in, "--to", "wv"}, {"needs --out"}},
            {{"--from", "wv", "--in", in, "--to", "wv", "--out", path("o.wv"), "--bogus", "1"}, {}},
            {{"--from", "wv", "--in", path("none.wv"), "--to", "wv", "--out", path("o.wv")}, {}},
            // A source that fails to read: the message names the file, the reason and the status.
            {{"--from", "wv", "--in", in, "--to", "wav-mixed", "--out", path("o.wav")},
             {"File Load Error. " + in.toUtf8() + ": not a WV file", "(status -1: "}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        QByteArray err;
        EXPECT_EQ(cli(c.args, nullptr, &err), 1);
        for (const QByteArray &part : c.said)
            EXPECT_TRUE(err.contains(part)) << err.constData();
    }
    for (const char *target : {"o.asc", "o.wv", "o.wav"})
        EXPECT_FALSE(QFile::exists(path(target))) << target;
}

TEST_F(CliCopyTest, RateAndRefLevelFillWhatTheSourceLacks)
{
    ASSERT_TRUE(writeAll(path("n.wv"),
                         QByteArray("{SAMPLES:1}{WAVEFORM-5:#") + QByteArray(4, '\1') + "}"));
    ASSERT_EQ(cli({"--from", "wv", "--in", path("n.wv"), "--to", "recordia-raw", "--out",
                   path("n.wvd"), "--rate", "2.5e6", "--ref-level", "-7.5"}),
              0);
    const QByteArray h = readAll(path("n.wvh"));
    EXPECT_TRUE(h.contains("{CLOCK:2500000.000000}")) << h.constData();
    EXPECT_TRUE(h.contains("{REFLEVEL:-7.500}"));
}

TEST_F(CliCopyTest, HelpShowsUsage)
{
    QByteArray out;
    ASSERT_EQ(cli({"--help"}, &out), 0);
    EXPECT_TRUE(out.startsWith(
            "Usage: trovik-cli copy [--from TYPE] --in FILE [--in-q FILE] [--to TYPE] --out FILE"));
}

}  // namespace
