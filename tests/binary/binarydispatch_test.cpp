#include "binarytestsupport.h"
#include "dispatch.h"
#include "filetypes.h"

#include <QDir>

TEST(BinaryDispatch, SaveAndLoadGoThroughTheTypeLists)
{
    QTemporaryDir dir;
    const IqBuffer source = makeRecord(321, 2e6);
    // Save-list index = code for the one-file binary types; load them back by load-list index.
    for (int code : {3, 12, 18, 19, 23}) {
        IqBuffer src = source, scratch, target;
        target.typeIndex = code;
        target.iFileName = dir.filePath(QStringLiteral("f%1").arg(code));
        ASSERT_EQ(saveIqFile(src, scratch, target, false, 0), IqStatus::Ok) << code;
        IqBuffer loaded;
        loaded.typeIndex = code;
        loaded.iFileName = target.iFileName;
        ASSERT_EQ(loadIqFile(loaded), IqStatus::Ok) << code;
        EXPECT_TRUE(holdsTestSignal(loaded, 321)) << code;
    }
}

TEST(BinaryDispatch, AdsBinarySingleAtIndex27RunsTheSpwReaderWithTwoFiles)
{
    QTemporaryDir dir;
    ASSERT_TRUE(writeAll(dir.filePath("i.sig"), "Number of points = 1\n$DATA\n" + leDouble(4)));
    ASSERT_TRUE(writeAll(dir.filePath("q.sig"), "$DATA\n" + leDouble(-4)));
    IqBuffer r;
    r.typeIndex = 27;
    r.iFileName = dir.filePath("i.sig");
    r.qFileName = dir.filePath("q.sig");
    ASSERT_EQ(loadIqFile(r), IqStatus::Ok);
    ASSERT_EQ(r.sampleCount, 1);
    EXPECT_EQ(r.iData[0], 4.0f);
    EXPECT_EQ(r.qData[0], -4.0f);
}

TEST(BinaryDispatch, AppendToAnIqwFileJoinsBehindAGuard)
{
    QTemporaryDir dir;
    IqBuffer first = makeRecord(100), scratch, target;
    target.typeIndex = 18;
    target.iFileName = dir.filePath("a.iqw");
    ASSERT_EQ(saveIqFile(first, scratch, target, false, 0), IqStatus::Ok);
    IqBuffer second = makeRecord(50);
    ASSERT_EQ(saveIqFile(second, scratch, target, true, 5), IqStatus::Ok);
    IqBuffer r;
    r.typeIndex = 18;
    r.iFileName = target.iFileName;
    ASSERT_EQ(loadIqFile(r), IqStatus::Ok);
    ASSERT_EQ(r.sampleCount, 155);
    EXPECT_EQ(r.iData[99], testI(99));
    EXPECT_EQ(r.iData[100], testI(45));  // guard: the last 5 samples of the added record
    EXPECT_EQ(r.qData[105], testQ(0));
}
