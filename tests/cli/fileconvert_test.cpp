#include "dispatch.h"

#include "clirun.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

class Cli : public ::testing::Test
{
protected:
    QString path(const char *name) const { return dir.filePath(QLatin1String(name)); }
    QTemporaryDir dir;
};

}  // namespace

TEST_F(Cli, TypesListsEveryRowWithIndexKeyAndName)
{
    const CliRun r = cli({"types"});
    ASSERT_EQ(r.exitCode, 0);
    const QList<QByteArray> lines = r.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 34 + 27);
    EXPECT_EQ(lines.at(0), QByteArray("load 0 matlab-ascii-single Matlab ASCII single"));
    EXPECT_EQ(lines.at(25), QByteArray("load 25 ads-ascii-time ADS ASCII  TIMe dom. sgl"));
    EXPECT_EQ(lines.at(32), QByteArray("load 32 wv Vantorp WV mixed (unscrambled)"));
    EXPECT_EQ(lines.at(33), QByteArray("load 33 sigmf SigMF"));
    EXPECT_EQ(lines.at(34 + 18), QByteArray("save 18 iqw-pairs IQW mixed, iqiqiq....iq"));
    EXPECT_EQ(lines.at(34 + 25), QByteArray("save 25 wv Vantorp WV mixed (unscrambled)"));
    EXPECT_EQ(lines.at(34 + 26), QByteArray("save 26 sigmf SigMF"));
    EXPECT_TRUE(r.err.isEmpty());
}

TEST_F(Cli, InfoPrintsCountAndHeaderValuesInShortestForm)
{
    writeAll(path("a.asc"), "1 2\n3 4\n5 6\n");
    CliRun r = cli({"info", "--from", "matlab-ascii-mixed", "--in", path("a.asc"), "--rate",
                    "2.5e6", "--ref-level", "-20.1"});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_EQ(r.out,
              QByteArray("samples: 3\nsample_rate: 2500000\nref_level: -20.1\ncenter_frequency: "
                         "unknown\ncapture_time: unknown\ninstrument: unknown\n"));
    writeAll(path("s.i"), "1\n2\n");
    writeAll(path("s.q"), "3\n");
    r = cli({"info", "--from=4", "--in=" + path("s.i")});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();  // s.q found beside s.i
    EXPECT_TRUE(r.out.startsWith("samples: 1\nsample_rate: 1e+08\n")) << r.out.constData();
}

TEST_F(Cli, ConvertAndAppendRoundTrip)
{
    writeAll(path("a.asc"), "1 -1\n2 -2\n3 -3\n");
    CliRun r = cli({"convert", "--from", "1", "--in", path("a.asc"), "--to", "spw-ascii-single",
                    "--out", path("b_i.ascsig"), "--out-q", path("b_q.ascsig"), "--rate", "1e6"});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(readAll(path("b_q.ascsig"))
                        .endsWith("$DATA\n-1.0000000e+00\n-2.0000000e+00\n-3.0000000e+00\nEND\n"));
    EXPECT_TRUE(readAll(path("b_i.ascsig")).contains("Sampling Frequency = 1e+06\n"));

    r = cli({"convert", "--from", "spw-ascii-single", "--in", path("b_i.ascsig"), "--in-q",
             path("b_q.ascsig"), "--to", "mathcad-single", "--out", path("c.i")});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_EQ(readAll(path("c.q")), QByteArray("-1.0000000e+00\n-2.0000000e+00\n-3.0000000e+00\n"));

    r = cli({"append", "--from", "1", "--in", path("a.asc"), "--to", "4", "--out", path("c.i"),
             "--out-q", path("c.q"), "--guard", "2"});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_EQ(readAll(path("c.i")),
              QByteArray("1.0000000e+00\n2.0000000e+00\n3.0000000e+00\n2.0000000e+00\n"
                         "3.0000000e+00\n1.0000000e+00\n2.0000000e+00\n3.0000000e+00\n"));
}

TEST_F(Cli, UsageErrorsExitWithTwo)
{
    writeAll(path("a.asc"), "1 2\n");
    const QString in = path("a.asc");
    const QStringList info{"info", "--from", "1", "--in", in};
    const QStringList convert{"convert", "--from", "1", "--in", in, "--to"};
    const QList<QStringList> bad = {
            {},
            {"info"},
            {"info", "--from", "nonsense", "--in", in},
            {"info", "--from", "34", "--in", in},
            {"info", "--from", "1", "--in"},
            info + QStringList{"--bogus", "1"},
            info + QStringList{"--rate", "fast"},
            info + QStringList{"--in-q", in},
            {"convert", "--from", "1", "--in", in},
            convert + QStringList{"ads-ascii-time", "--out", path("o")},
            convert + QStringList{"spw-ascii-single", "--out", path("o")},
            {"append", "--from", "1", "--in", in, "--to", "1", "--out", in, "--guard", "-1"},
            {"types", "extra"},
    };
    for (const QStringList &arguments : bad) {
        const CliRun r = cli(arguments);
        EXPECT_EQ(r.exitCode, 2) << arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
    EXPECT_EQ(readAll(in), QByteArray("1 2\n"));
    const CliRun unknown = cli({"frobnicate"});
    EXPECT_NE(unknown.exitCode, 0);
    EXPECT_EQ(unknown.err.count('\n'), 1);
}

TEST_F(Cli, EveryCommandHasHelpWithAnExample)
{
    const CliRun all = cli({"--help"});
    EXPECT_EQ(all.exitCode, 0);
    for (const char *command : {"types", "info", "convert", "append"}) {
        SCOPED_TRACE(command);
        const CliRun r = cli({command, "--help"});
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_TRUE(r.out.contains("Usage: trovik-cli "));
        EXPECT_TRUE(r.out.contains("Example"));
        EXPECT_TRUE(all.out.contains(command));
    }
}

TEST_F(Cli, TypesFollowFromAnExtensionThatNamesOneRow)
{
    const QString in = path("a.asc");
    writeAll(in, "1 2\n3 4\n");
    CliRun r = cli({"convert", "--from", "1", "--in", in, "--out", path("a.wv")});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    r = cli({"convert", "--in", path("a.wv"), "--out", path("b.sigmf-meta")});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    r = cli({"info", "--in", path("b.sigmf-data")});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_TRUE(r.out.contains("2")) << r.out.constData();
    r = cli({"copy", "--in", path("a.wv"), "--out", path("d.wvd")});
    EXPECT_EQ(r.exitCode, 0) << r.err.constData();

    // .wav fits WAV single and WAV mixed; .asc fits two loaders; .xyz fits none.
    struct Case
    {
        QStringList arguments;
        const char *says;
    };
    const Case cases[] = {
            {{"convert", "--in", path("b.sigmf-meta"), "--out", path("c.wav")},
             "(wav-single, wav-mixed)"},
            {{"info", "--in", in}, "matlab-ascii-mixed, ascii-no-lf"},
            {{"info", "--in", path("a.xyz")}, "--from TYPE"},
    };
    for (const Case &c : cases) {
        r = cli(c.arguments);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.err.contains(c.says)) << r.err.constData();
    }
    EXPECT_FALSE(QFile::exists(path("c.wav")));
}
