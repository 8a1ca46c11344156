// The settings file where a user's machine makes it awkward: a folder in its place, a file
// nobody may read, a disk that is full when the window writes it at exit.
#include "filelimits.h"
#include "settingsfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// Every key holds its default.
void expectDefaults(const StoredSettings &v)
{
    const StoredSettings fresh;
    for (const SettingKey &key : settingKeys())
        EXPECT_EQ(storedValue(key, v), storedValue(key, fresh)) << key.path().toStdString();
}

StoredSettings defaults()
{
    return readStoredSettings("/nonexistent/Trovik.ini");
}

StoredSettings changed()
{
    StoredSettings v = defaults();
    v.settings.deviceType = 2;
    v.settings.resourceString = "TCPIP::192.168.7.7::INSTR";
    v.program.tcpPort = 4711;
    return v;
}

}  // namespace

TEST(SettingsFailure, AFolderInPlaceOfTheFileGivesDefaultsAndStaysAFolder)
{
    QTemporaryDir dir;
    const QString path = settingsFilePath(dir.path());
    ASSERT_TRUE(QDir().mkdir(path));
    QFile inside(path + "/inside");
    ASSERT_TRUE(inside.open(QIODevice::WriteOnly));
    inside.close();
    expectDefaults(readStoredSettings(path));
    EXPECT_FALSE(writeStoredSettings(path, changed()));
    EXPECT_TRUE(QFileInfo(path).isDir());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList{"Trovik.ini"});
}

TEST(SettingsFailure, AnUnreadableFileGivesDefaultsAndIsNotOverwritten)
{
    QTemporaryDir dir;
    const QString path = settingsFilePath(dir.path());
    // Written directly: a QSettings store would keep the values cached in this process.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Analyzer]\nType=2\n[Program]\nTCP%20Port=4711\n");
    file.close();
    const QByteArray before = contents(path);
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::WriteOwner));
    {
        const FileModesApply modes;
        expectDefaults(readStoredSettings(path));
        EXPECT_FALSE(writeStoredSettings(path, defaults()));
    }
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    EXPECT_EQ(contents(path), before);
    EXPECT_EQ(readStoredSettings(path).program.tcpPort, 4711);
}

TEST(SettingsFailure, AFullDiskAtExitKeepsTheOldFileByteForByte)
{
    QTemporaryDir dir;
    const QString path = settingsFilePath(dir.path());
    ASSERT_TRUE(writeStoredSettings(path, defaults()));
    const QByteArray before = contents(path);
    ASSERT_GT(before.size(), 512);
    {
        const FileSizeLimit limit(512);
        EXPECT_FALSE(writeStoredSettings(path, changed()));
    }
    EXPECT_EQ(contents(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"Trovik.ini"});
    EXPECT_TRUE(writeStoredSettings(path, changed()));  // room again: the next exit writes normally
    EXPECT_EQ(readStoredSettings(path).settings.deviceType, 2);
}

TEST(SettingsFailure, ALinkedSettingsFileStaysALink)
{
    QTemporaryDir dir;
    const QString kept = dir.filePath("dotfiles/Trovik.ini");
    ASSERT_TRUE(QDir().mkpath(dir.filePath("dotfiles")));
    const QString path = settingsFilePath(dir.path());
    ASSERT_TRUE(QFile::link(kept, path));
    ASSERT_TRUE(writeStoredSettings(path, changed()));
    EXPECT_TRUE(QFileInfo(path).isSymLink());
    EXPECT_EQ(readStoredSettings(kept).program.tcpPort, 4711);
}
