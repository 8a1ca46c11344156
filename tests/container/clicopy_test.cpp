#include "chunkedcopy.h"
#include "dispatch.h"
#include "containertestutil.h"
#include "rawrecording.h"

#include <gtest/gtest.h>

using namespace containertest;

namespace {

class CliCopyTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString path(const char *name) const { return dir.filePath(QLatin1String(name)); }
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
    QByteArray err;
    EXPECT_EQ(cli({"--from", "recordia-raw", "--in", path("a.wvd"), "--to", "matlab-ascii-mixed",
                   "--out", path("o.asc")},
                  nullptr, &err),
              1);
    EXPECT_TRUE(err.contains("as target only matlab-binary-single, matlab-binary-mixed, "
                             "spw-binary-mixed, wav-single, wav-mixed, iqw-pairs, "
                             "iqw-blocks, loomwave, recordia-raw, wv, sigmf;"))
            << err.constData();
    EXPECT_FALSE(QFile::exists(path("o.asc")));
    EXPECT_EQ(cli({"--from", "mathcad-mixed", "--in", path("a.wvd"), "--to", "wv", "--out",
                   path("o.wv")},
                  nullptr, &err),
              1);
    EXPECT_TRUE(err.contains("'mathcad-mixed' is not one of them")) << err.constData();
    EXPECT_TRUE(err.contains("as source only matlab-binary-single, matlab-binary-mixed, "))
            << err.constData();
    EXPECT_EQ(
            cli({"--from", "nonsense", "--in", path("a.wvd"), "--to", "wv", "--out", path("o.wv")},
                nullptr, &err),
            1);
    EXPECT_TRUE(err.contains("unknown source type"));
    EXPECT_EQ(cli({"--from", "wv", "--in", path("a.wvd"), "--to", "wv"}, nullptr, &err), 1);
    EXPECT_TRUE(err.contains("needs --out"));
    EXPECT_EQ(cli({"--from", "wv", "--in", path("a.wvd"), "--to", "wv", "--out", path("o.wv"),
                   "--bogus", "1"},
                  nullptr, &err),
              1);
    EXPECT_EQ(cli({"--from", "wv", "--in", path("none.wv"), "--to", "wv", "--out", path("o.wv")},
                  nullptr, &err),
              1);
    // A source that fails to read: the message names the file, the reason and the status, no
    // target appears.
    EXPECT_EQ(cli({"--from", "wv", "--in", path("a.wvd"), "--to", "wav-mixed", "--out",
                   path("o.wav")},
                  nullptr, &err),
              1);
    EXPECT_TRUE(err.contains("File Load Error. " + path("a.wvd").toUtf8() + ": not a WV file"))
            << err.constData();
    EXPECT_TRUE(err.contains("(status -1: ")) << err.constData();
    EXPECT_FALSE(QFile::exists(path("o.wav")));
    EXPECT_FALSE(QFile::exists(path("o.wv")));
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
