// The window where the user's disk gets in the way: a save that runs out of room and a settings
// file that is a folder, unreadable or on a full disk at exit. The old files stay as they were.
#include "filelimits.h"
#include "workflowfixture.h"

#include <QSpinBox>

#include <algorithm>
#include <optional>

namespace {

constexpr int kMathcadSingle = 4;
constexpr int kIqwPairs = 18;  // load and save row

}  // namespace

class FullDiskTest : public WorkflowTest
{
protected:
    int shownDeviceType() const { return child<QComboBox>("Trace_DevTyp")->currentIndex(); }
};

// A write that fails keeps the record and the old file: the user makes room, picks another file
// or fewer guard samples, and writes the same data.
TEST_F(FullDiskTest, AFailedWriteKeepsTheRecordAndTheOldFileForAnotherTry)
{
    const QByteArray old = iqwPairs(3);
    const struct
    {
        const char *name;
        int samples;
        const char *first;
        rlim_t fileLimit;  // 0: none
        const char *detail, *retry;
        int guard;  // Append with this many guard samples, then with 2; -1: Save
        QByteArray after;
    } cases[] = {
            {"full disk", 2000, "out.iqw", 4096, "%1/out.iqw: File too large", "out.iqw", -1,
             iqwPairs(2000)},
            {"missing folder", 300, "no/such/folder/out.iqw", 0,
             "%1/no/such/folder/out.iqw: No such file or directory", "other.iqw", -1,
             iqwPairs(300)},
            {"guard longer than the record", 2, "out.iqw", 0, nullptr, "out.iqw", 3,
             old + iqwPairs(2) + iqwPairs(2)},  // the guard is the last two samples: all of them
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(file("in.iqw"), iqwPairs(c.samples));
        writeBytes(file("out.iqw"), old);
        QFile::remove(file("other.iqw"));
        open();
        chooseSaveType(kMathcadSingle);  // a Q append target, which outlives the type change
        pick("Save_I", file("unused.i"));
        load(kIqwPairs, file("in.iqw"));
        chooseSaveType(kIqwPairs);
        pick("Save_I", file(QLatin1String(c.first)));
        const char *button = c.guard < 0 ? "Save_Sav" : "Save_App";
        child<QSpinBox>("Save_Grd")->setValue(std::max(c.guard, 0));
        {
            std::optional<FileSizeLimit> limit;
            if (c.fileLimit)
                limit.emplace(c.fileLimit);
            click(button);
        }
        ASSERT_EQ(dialogs->boxes.size(), 1);
        if (c.detail) {
            EXPECT_EQ(dialogs->boxes[0].detail, QLatin1String(c.detail).arg(dataDir.path()));
        }
        EXPECT_EQ(contents(file("out.iqw")), old);
        EXPECT_EQ(QDir(dataDir.path()).entryList(QDir::Files).size(), 2) << "no half-written file";
        EXPECT_TRUE(enabled(button)) << "nothing was lost: the record can still be written";

        pick("Save_I", file(QLatin1String(c.retry)));
        child<QSpinBox>("Save_Grd")->setValue(2);
        click(button);
        EXPECT_EQ(dialogs->boxes.size(), 1);
        EXPECT_EQ(contents(file(QLatin1String(c.retry))), c.after);
    }
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
