// trovik-cli refuses a SigMF recording whose data do not match core:sha512, unless told
// --no-verify; copy too, since it loads the same way.
#include "dispatch.h"
#include "sigmf.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

int cliExit(const QStringList &arguments, QByteArray *err = nullptr)
{
    QProcess p;
    p.start(QStringLiteral(TROVIK_CLI), arguments);
    if (!p.waitForFinished(60000))
        return -1;
    if (err)
        *err = p.readAllStandardError();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

}  // namespace

TEST(CliSigmfVerify, WrongHashFailsUnlessNoVerify)
{
    QTemporaryDir dir;
    IqBuffer r;
    ASSERT_EQ(allocateSamples(r, 100), IqStatus::Ok);
    r.sampleCount = 100;
    for (int k = 0; k < 100; ++k) {
        r.iData[k] = float(k);
        r.qData[k] = -float(k);
    }
    const QString meta = dir.filePath(QStringLiteral("r.sigmf-meta"));
    ASSERT_EQ(writeFileOfType(r, 33, meta, QString()), IqStatus::Ok);
    const QString info = QStringLiteral("info"), in = QStringLiteral("--in");
    ASSERT_EQ(cliExit({info, in, meta}), 0);
    QFile data(dir.filePath(QStringLiteral("r.sigmf-data")));
    ASSERT_TRUE(data.open(QIODevice::ReadWrite) && data.seek(400) && data.write("\x01", 1) == 1);
    data.close();
    QByteArray err;
    EXPECT_EQ(cliExit({info, in, meta}, &err), 1) << err.constData();
    EXPECT_EQ(cliExit({info, in, meta, QStringLiteral("--no-verify")}, &err), 0) << err.constData();
    const QString out = dir.filePath(QStringLiteral("c.wv"));
    const QStringList copy = {QStringLiteral("copy"), in, meta, QStringLiteral("--out"), out};
    EXPECT_EQ(cliExit(copy, &err), 1) << err.constData();
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_EQ(cliExit(copy + QStringList{QStringLiteral("--no-verify")}, &err), 0)
            << err.constData();
    EXPECT_TRUE(QFile::exists(out));
}

// "--out x.sigmf" names the SigMF save type by its extension and writes the archive alone.
TEST(CliSigmfVerify, SigmfExtensionSavesTheArchive)
{
    QTemporaryDir dir;
    IqBuffer r;
    ASSERT_EQ(allocateSamples(r, 10), IqStatus::Ok);
    r.sampleCount = 10;
    const QString source = dir.filePath(QStringLiteral("s.sigmf-meta"));
    ASSERT_EQ(writeFileOfType(r, 33, source, QString()), IqStatus::Ok);
    const QString out = dir.filePath(QStringLiteral("out.sigmf"));
    QByteArray err;
    ASSERT_EQ(cliExit({QStringLiteral("convert"), QStringLiteral("--in"), source,
                       QStringLiteral("--out"), out},
                      &err),
              0)
            << err.constData();
    QFile archive(out);
    ASSERT_TRUE(archive.open(QIODevice::ReadOnly));
    EXPECT_EQ(archive.read(20), QByteArray("out/out.sigmf-data\0\0", 20));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("out.sigmf-meta"))));
    EXPECT_EQ(cliExit({QStringLiteral("info"), QStringLiteral("--in"), out}), 0);
}
