// Whether a capture's file can be written, decided before the instrument is asked for
// anything: the folder, its rights and the room on its disk.
#include "capturedestination.h"
#include "filetypes.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(CaptureDestination, TheFolderAndTheRoomAreCheckedFirst)
{
    QTemporaryDir dir;
    const int iqw = FileTypeTable::findSave("iqw-pairs");
    const int text = FileTypeTable::findSave("matlab-ascii-mixed");
    struct Case
    {
        const char *what;
        QString iFile, qFile;
        int type;
        int64_t samples;
        const char *says;  // nullptr: accepted
    };
    const Case cases[] = {
            {"a writable folder", dir.filePath("out.iqw"), {}, iqw, 1000, nullptr},
            {"a device", "/dev/null", {}, iqw, int64_t(1) << 40, nullptr},
            {"a missing folder", dir.filePath("no/such/out.iqw"), {}, iqw, 1000, "does not exist"},
            {"a missing Q folder", dir.filePath("i.dat"), dir.filePath("none/q.dat"), text, 1,
             "none does not exist"},
            {"more than any disk holds",
             dir.filePath("out.iqw"),
             {},
             iqw,
             int64_t(1) << 50,
             "MB free, the capture needs about"},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.what);
        IqBuffer target;
        target.typeIndex = k.type;
        target.iFileName = k.iFile;
        target.qFileName = k.qFile;
        QString error;
        EXPECT_EQ(checkCaptureDestination(target, k.samples, error), k.says == nullptr);
        if (k.says) {
            EXPECT_TRUE(error.contains(QLatin1String(k.says))) << error.toStdString();
            EXPECT_TRUE(error.contains(QFileInfo(k.qFile.isEmpty() ? k.iFile : k.qFile).fileName()))
                    << error.toStdString();
        }
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());  // nothing was written
}

TEST(CaptureDestination, TextTypesTakeMoreRoomThanBinaryOnes)
{
    EXPECT_EQ(savedBytesPerPair(FileTypeTable::findSave("iqw-pairs")), 8);
    EXPECT_EQ(savedBytesPerPair(FileTypeTable::findSave("wv")), 8);
    EXPECT_EQ(savedBytesPerPair(FileTypeTable::findSave("matlab-ascii-single")), 32);
}
