// trovik-cli in a pipe: "-" as --in reads the standard input, as --out writes the standard
// output, and what goes down the pipe is, byte for byte, what a file of the type holds.
#include "clirun.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cmath>

namespace {

// Interleaved float pairs, as an IQW pairs file holds them.
QByteArray iqwPairs(int n)
{
    QByteArray b;
    for (int k = 0; k < n; ++k) {
        const float iq[2] = {float(std::sin(0.01 * k)), float(std::cos(0.013 * k) * 0.5)};
        b.append(reinterpret_cast<const char *>(iq), sizeof iq);
    }
    return b;
}

class Pipes : public ::testing::Test
{
protected:
    QString path(const char *name) const { return dir.filePath(QLatin1String(name)); }
    QTemporaryDir dir;
};

TEST_F(Pipes, WhatGoesDownThePipeIsWhatAFileHolds)
{
    const QByteArray samples = iqwPairs(5000);
    writeAll(path("in.iqw"), samples);
    struct Case
    {
        const char *command;
        const char *to;
        const char *file;
    };
    for (const Case &c :
         {Case{"copy", "wav-mixed", "x.wav"}, Case{"copy", "iqw-pairs", "x.iqw"},
          Case{"copy", "spw-binary-mixed", "x.sig"}, Case{"convert", "wav-mixed", "y.wav"},
          Case{"convert", "spw-binary-mixed", "y.sig"}}) {
        SCOPED_TRACE(std::string(c.command) + " " + c.to);
        const CliRun piped = cli({c.command, "--from", "iqw-pairs", "--in", "-", "--to", c.to,
                                  "--out", "-", "--rate", "1e6"},
                                 samples);
        ASSERT_EQ(piped.exitCode, 0) << piped.err.constData();
        const CliRun filed = cli({c.command, "--from", "iqw-pairs", "--in", path("in.iqw"), "--to",
                                  c.to, "--out", path(c.file), "--rate", "1e6"});
        ASSERT_EQ(filed.exitCode, 0) << filed.err.constData();
        EXPECT_EQ(piped.out, readAll(path(c.file)));
    }
}

TEST_F(Pipes, LayoutsThatSeekOrNeedTwoFilesAreRefusedBeforeAnythingIsWritten)
{
    for (const char *to : {"iqw-blocks", "loomwave", "recordia-raw", "sigmf"}) {
        SCOPED_TRACE(to);
        const CliRun r = cli({"copy", "--from", "iqw-pairs", "--in", "-", "--to", to, "--out", "-"},
                             iqwPairs(10));
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(r.err.contains("cannot be written to the standard output"))
                << r.err.constData();
    }
    const CliRun raw = cli(
            {"copy", "--from", "recordia-raw", "--in", "-", "--to", "wv", "--out", path("o.wv")},
            iqwPairs(10));
    EXPECT_EQ(raw.exitCode, 1);
    EXPECT_TRUE(raw.err.contains("cannot come from the standard input")) << raw.err.constData();
    EXPECT_FALSE(QFile::exists(path("o.wv")));
}

}  // namespace
