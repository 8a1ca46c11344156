#include "dispatch.h"

#include "clirun.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

// A failure is exactly one line on stderr that holds the given text and status.
void expectFailure(const CliRun &r, const char *text, const char *status)
{
    EXPECT_NE(r.exitCode, 0);
    EXPECT_EQ(r.err.count('\n'), 1) << r.err.constData();
    EXPECT_TRUE(r.err.endsWith('\n'));
    EXPECT_TRUE(r.err.contains(text)) << r.err.constData();
    EXPECT_TRUE(r.err.contains(status)) << r.err.constData();
    EXPECT_TRUE(r.out.isEmpty());
}

class Cli : public ::testing::Test
{
protected:
    QString path(const char *name) const { return dir.filePath(QLatin1String(name)); }
    QTemporaryDir dir;
};

}  // namespace

TEST_F(Cli, TypesListsEveryRowWithIndexKeyAndName)
{
    const CliRun r = cli({QStringLiteral("types")});
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
    CliRun r = cli({QStringLiteral("info"), QStringLiteral("--from"),
                    QStringLiteral("matlab-ascii-mixed"), QStringLiteral("--in"), path("a.asc"),
                    QStringLiteral("--rate"), QStringLiteral("2.5e6"),
                    QStringLiteral("--ref-level"), QStringLiteral("-20.1")});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_EQ(r.out,
              QByteArray("samples: 3\nsample_rate: 2500000\nref_level: -20.1\ncenter_frequency: "
                         "unknown\ncapture_time: unknown\ninstrument: unknown\n"));
    writeAll(path("s.i"), "1\n2\n");
    writeAll(path("s.q"), "3\n");
    r = cli({QStringLiteral("info"), QStringLiteral("--from=4"),
             QStringLiteral("--in=") + path("s.i")});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();  // s.q found beside s.i
    EXPECT_TRUE(r.out.startsWith("samples: 1\nsample_rate: 1e+08\n")) << r.out.constData();
}

TEST_F(Cli, ConvertAndAppendRoundTrip)
{
    writeAll(path("a.asc"), "1 -1\n2 -2\n3 -3\n");
    CliRun r = cli({QStringLiteral("convert"), QStringLiteral("--from"), QStringLiteral("1"),
                    QStringLiteral("--in"), path("a.asc"), QStringLiteral("--to"),
                    QStringLiteral("spw-ascii-single"), QStringLiteral("--out"), path("b_i.ascsig"),
                    QStringLiteral("--out-q"), path("b_q.ascsig"), QStringLiteral("--rate"),
                    QStringLiteral("1e6")});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(readAll(path("b_q.ascsig"))
                        .endsWith("$DATA\n-1.0000000e+00\n-2.0000000e+00\n-3.0000000e+00\nEND\n"));
    EXPECT_TRUE(readAll(path("b_i.ascsig")).contains("Sampling Frequency = 1e+06\n"));

    r = cli({QStringLiteral("convert"), QStringLiteral("--from"),
             QStringLiteral("spw-ascii-single"), QStringLiteral("--in"), path("b_i.ascsig"),
             QStringLiteral("--in-q"), path("b_q.ascsig"), QStringLiteral("--to"),
             QStringLiteral("mathcad-single"), QStringLiteral("--out"), path("c.i")});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_EQ(readAll(path("c.q")), QByteArray("-1.0000000e+00\n-2.0000000e+00\n-3.0000000e+00\n"));

    r = cli({QStringLiteral("append"), QStringLiteral("--from"), QStringLiteral("1"),
             QStringLiteral("--in"), path("a.asc"), QStringLiteral("--to"), QStringLiteral("4"),
             QStringLiteral("--out"), path("c.i"), QStringLiteral("--out-q"), path("c.q"),
             QStringLiteral("--guard"), QStringLiteral("2")});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_EQ(readAll(path("c.i")),
              QByteArray("1.0000000e+00\n2.0000000e+00\n3.0000000e+00\n2.0000000e+00\n"
                         "3.0000000e+00\n1.0000000e+00\n2.0000000e+00\n3.0000000e+00\n"));
}

TEST_F(Cli, LoadFailuresUseTheMainWindowsText)
{
    expectFailure(cli({QStringLiteral("info"), QStringLiteral("--from"), QStringLiteral("1"),
                       QStringLiteral("--in"), path("missing.asc")}),
                  "File Load Error.", "-1");
    writeAll(path("x.i"), "1\n");
    expectFailure(cli({QStringLiteral("convert"), QStringLiteral("--from"), QStringLiteral("0"),
                       QStringLiteral("--in"), path("x.i"), QStringLiteral("--in-q"),
                       path("none.q"), QStringLiteral("--to"), QStringLiteral("1"),
                       QStringLiteral("--out"), path("o.asc")}),
                  "File Load Error.", "-2");
    EXPECT_FALSE(QFile::exists(path("o.asc")));
}

TEST_F(Cli, SaveAndAppendFailuresLeaveFilesAlone)
{
    writeAll(path("a.asc"), "1 2\n");
    expectFailure(
            cli({QStringLiteral("convert"), QStringLiteral("--from"), QStringLiteral("1"),
                 QStringLiteral("--in"), path("a.asc"), QStringLiteral("--to"),
                 QStringLiteral("dadisp-mixed"), QStringLiteral("--out"), path("no/dir/o.dsp")}),
            "File Save Error.", "-1");
    expectFailure(cli({QStringLiteral("append"), QStringLiteral("--from"), QStringLiteral("1"),
                       QStringLiteral("--in"), path("a.asc"), QStringLiteral("--to"),
                       QStringLiteral("1"), QStringLiteral("--out"), path("absent.asc"),
                       QStringLiteral("--guard"), QStringLiteral("3")}),
                  "File Save Error.", "-1");
    EXPECT_FALSE(QFile::exists(path("absent.asc")));
}

TEST_F(Cli, UsageErrorsExitWithTwo)
{
    writeAll(path("a.asc"), "1 2\n");
    const QString in = path("a.asc");
    const QList<QStringList> bad = {
            {},
            {QStringLiteral("info")},
            {QStringLiteral("info"), QStringLiteral("--from"), QStringLiteral("nonsense"),
             QStringLiteral("--in"), in},
            {QStringLiteral("info"), QStringLiteral("--from"), QStringLiteral("34"),
             QStringLiteral("--in"), in},
            {QStringLiteral("info"), QStringLiteral("--from"), QStringLiteral("1"),
             QStringLiteral("--in")},
            {QStringLiteral("info"), QStringLiteral("--from"), QStringLiteral("1"),
             QStringLiteral("--in"), in, QStringLiteral("--bogus"), QStringLiteral("1")},
            {QStringLiteral("info"), QStringLiteral("--from"), QStringLiteral("1"),
             QStringLiteral("--in"), in, QStringLiteral("--rate"), QStringLiteral("fast")},
            {QStringLiteral("info"), QStringLiteral("--from"), QStringLiteral("1"),
             QStringLiteral("--in"), in, QStringLiteral("--in-q"), in},
            {QStringLiteral("convert"), QStringLiteral("--from"), QStringLiteral("1"),
             QStringLiteral("--in"), in},
            {QStringLiteral("convert"), QStringLiteral("--from"), QStringLiteral("1"),
             QStringLiteral("--in"), in, QStringLiteral("--to"), QStringLiteral("ads-ascii-time"),
             QStringLiteral("--out"), path("o")},
            {QStringLiteral("convert"), QStringLiteral("--from"), QStringLiteral("1"),
             QStringLiteral("--in"), in, QStringLiteral("--to"), QStringLiteral("spw-ascii-single"),
             QStringLiteral("--out"), path("o")},
            {QStringLiteral("append"), QStringLiteral("--from"), QStringLiteral("1"),
             QStringLiteral("--in"), in, QStringLiteral("--to"), QStringLiteral("1"),
             QStringLiteral("--out"), in, QStringLiteral("--guard"), QStringLiteral("-1")},
            {QStringLiteral("types"), QStringLiteral("extra")},
    };
    for (const QStringList &arguments : bad) {
        const CliRun r = cli(arguments);
        EXPECT_EQ(r.exitCode, 2) << arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
    EXPECT_EQ(readAll(in), QByteArray("1 2\n"));
    const CliRun unknown = cli({QStringLiteral("frobnicate")});
    EXPECT_NE(unknown.exitCode, 0);
    EXPECT_EQ(unknown.err.count('\n'), 1);
}

TEST_F(Cli, EveryCommandHasHelpWithAnExample)
{
    for (const char *command : {"types", "info", "convert", "append"}) {
        const CliRun r = cli({QLatin1String(command), QStringLiteral("--help")});
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_TRUE(r.out.contains("Usage: trovik-cli ")) << command;
        EXPECT_TRUE(r.out.contains("Example")) << command;
    }
    const CliRun r = cli({QStringLiteral("--help")});
    EXPECT_EQ(r.exitCode, 0);
    for (const char *command : {"types", "info", "convert", "append"})
        EXPECT_TRUE(r.out.contains(command));
}

TEST_F(Cli, TypesFollowFromAnExtensionThatNamesOneRow)
{
    const QString in = path("a.asc");
    writeAll(in, "1 2\n3 4\n");
    CliRun r = cli({QStringLiteral("convert"), QStringLiteral("--from"), QStringLiteral("1"),
                    QStringLiteral("--in"), in, QStringLiteral("--out"), path("a.wv")});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    r = cli({QStringLiteral("convert"), QStringLiteral("--in"), path("a.wv"),
             QStringLiteral("--out"), path("b.sigmf-meta")});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    r = cli({QStringLiteral("info"), QStringLiteral("--in"), path("b.sigmf-data")});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_TRUE(r.out.contains("2")) << r.out.constData();

    // .wav fits WAV single and WAV mixed; .asc fits two loaders; .xyz fits none.
    r = cli({QStringLiteral("convert"), QStringLiteral("--in"), path("b.sigmf-meta"),
             QStringLiteral("--out"), path("c.wav")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("(wav-single, wav-mixed)")) << r.err.constData();
    r = cli({QStringLiteral("info"), QStringLiteral("--in"), in});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("matlab-ascii-mixed, ascii-no-lf")) << r.err.constData();
    r = cli({QStringLiteral("info"), QStringLiteral("--in"), path("a.xyz")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("--from TYPE")) << r.err.constData();
    EXPECT_FALSE(QFile::exists(path("c.wav")));
    r = cli({QStringLiteral("copy"), QStringLiteral("--in"), path("a.wv"), QStringLiteral("--out"),
             path("d.wvd")});
    EXPECT_EQ(r.exitCode, 0) << r.err.constData();
}
