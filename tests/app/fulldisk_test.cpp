// The window where the user's disk gets in the way: a save that runs out of room and a settings
// file that is a folder, unreadable or on a full disk at exit. The old files stay as they were.
#include "filelimits.h"
#include "workflowfixture.h"

#include <QFile>
#include <QtEndian>

namespace {

constexpr int kIqwPairs = 18;  // load and save row

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// n I/Q pairs as little-endian floats, the IQW pairs layout.
QByteArray iqwPairs(int n)
{
    QByteArray bytes(8 * n, '\0');
    for (int k = 0; k < n; ++k) {
        qToLittleEndian(float(k), bytes.data() + 8 * k);
        qToLittleEndian(-float(k), bytes.data() + 8 * k + 4);
    }
    return bytes;
}

}  // namespace

class FullDiskTest : public WorkflowTest
{
protected:
    int shownDeviceType() const { return child<QComboBox>("Trace_DevTyp")->currentIndex(); }
};

TEST_F(FullDiskTest, SaveOntoAFullDiskSaysFileSaveErrorAndKeepsTheOldFile)
{
    writeBytes(file("in.iqw"), iqwPairs(2000));
    writeBytes(file("out.iqw"), "the old file");
    open();
    chooseLoadType(kIqwPairs);
    pick("Load_I", file("in.iqw"));
    click("Load_Lod");
    chooseSaveType(kIqwPairs);
    pick("Save_I", file("out.iqw"));
    {
        const FileSizeLimit limit(4096);
        click("Save_Sav");
    }
    ASSERT_EQ(dialogs->boxes.size(), 1);
    EXPECT_EQ(dialogs->boxes[0].text, QStringLiteral("File Save Error."));
    EXPECT_EQ(dialogs->boxes[0].detail, file("out.iqw") + QStringLiteral(": File too large"));
    EXPECT_EQ(contents(file("out.iqw")), QByteArray("the old file"));
    EXPECT_EQ(QDir(dataDir.path()).entryList(QDir::Files).size(), 2);  // no half-written file left

    click("Save_Sav");  // room again: the same save goes through
    EXPECT_EQ(dialogs->boxes.size(), 1);
    EXPECT_EQ(contents(file("out.iqw")), iqwPairs(2000));
}

TEST_F(FullDiskTest, AFolderInPlaceOfTheSettingsFileGivesDefaultsAndStaysAFolder)
{
    ASSERT_TRUE(QDir().mkdir(iniPath()));
    open();
    EXPECT_EQ(shownDeviceType(), AppSettings().deviceType);
    window.reset();
    EXPECT_TRUE(QFileInfo(iniPath()).isDir());
}

TEST_F(FullDiskTest, AnUnreadableSettingsFileIsNotReplacedAtExit)
{
    // Written directly: a QSettings store would keep the values cached in this process.
    writeBytes(iniPath(), "[Analyzer]\nType=2\n");
    const QByteArray before = contents(iniPath());
    ASSERT_TRUE(QFile::setPermissions(iniPath(), QFileDevice::WriteOwner));
    {
        const FileModesApply modes;
        open();
        EXPECT_EQ(shownDeviceType(), AppSettings().deviceType);
        window.reset();
    }
    ASSERT_TRUE(QFile::setPermissions(iniPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    EXPECT_EQ(contents(iniPath()), before);
}

TEST_F(FullDiskTest, AFullDiskAtExitKeepsTheOldSettingsFile)
{
    storeKeys({{QStringLiteral("Analyzer/Type"), 2}});
    const QByteArray before = contents(iniPath());
    open();
    EXPECT_EQ(shownDeviceType(), 2);
    child<QComboBox>("Trace_DevTyp")->setCurrentIndex(3);
    {
        const FileSizeLimit limit(256);
        window.reset();
    }
    EXPECT_EQ(contents(iniPath()), before);
    EXPECT_EQ(QDir(configDir.path()).entryList(QDir::Files),
              QStringList{QStringLiteral("Trovik.ini")});
}
