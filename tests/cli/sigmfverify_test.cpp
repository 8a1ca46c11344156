// trovik-cli refuses a SigMF recording whose data do not match core:sha512, unless told
// --no-verify; copy too, since it loads the same way.
#include "clirun.h"
#include "dispatch.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

// A SigMF recording of n samples, I = k and Q = -k, written by the library.
QString recording(const QTemporaryDir &dir, const char *name, int n)
{
    IqBuffer r;
    EXPECT_EQ(allocateSamples(r, n), IqStatus::Ok);
    r.sampleCount = n;
    for (int k = 0; k < n; ++k) {
        r.iData[k] = float(k);
        r.qData[k] = -float(k);
    }
    const QString meta = dir.filePath(QLatin1String(name));
    EXPECT_EQ(writeFileOfType(r, 33, meta, QString()), IqStatus::Ok);
    return meta;
}

}  // namespace

TEST(CliSigmfVerify, WrongHashFailsUnlessNoVerify)
{
    QTemporaryDir dir;
    const QString meta = recording(dir, "r.sigmf-meta", 100);
    ASSERT_EQ(cli({"info", "--in", meta}).exitCode, 0);
    QFile data(dir.filePath("r.sigmf-data"));
    ASSERT_TRUE(data.open(QIODevice::ReadWrite) && data.seek(400) && data.write("\x01", 1) == 1);
    data.close();
    const QString out = dir.filePath("c.wv");
    const QStringList info{"info", "--in", meta}, copy{"copy", "--in", meta, "--out", out};
    for (const QStringList &arguments : {info, copy}) {
        SCOPED_TRACE(arguments.first().toStdString());
        CliRun r = cli(arguments);
        EXPECT_EQ(r.exitCode, 1) << r.err.constData();
        EXPECT_FALSE(QFile::exists(out));
        r = cli(arguments + QStringList{"--no-verify"});
        EXPECT_EQ(r.exitCode, 0) << r.err.constData();
    }
    EXPECT_TRUE(QFile::exists(out));
}

// "--out x.sigmf" names the SigMF save type by its extension and writes the archive alone.
TEST(CliSigmfVerify, SigmfExtensionSavesTheArchive)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("out.sigmf");
    const CliRun r = cli({"convert", "--in", recording(dir, "s.sigmf-meta", 10), "--out", out});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_EQ(readAll(out).left(20), QByteArray("out/out.sigmf-data\0\0", 20));
    EXPECT_FALSE(QFile::exists(dir.filePath("out.sigmf-meta")));
    EXPECT_EQ(cli({"info", "--in", out}).exitCode, 0);
}
