// What the user's choices do to the records and the flags, through the workspace alone.
#include "filetypes.h"
#include "workspace.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <functional>

#include <gtest/gtest.h>

namespace {

int loadRow(const char *key)
{
    return FileTypeTable::findLoad(QLatin1String(key));
}

int saveRow(const char *key)
{
    return FileTypeTable::findSave(QLatin1String(key));
}

// IQW pairs of n samples: I0 Q0 I1 Q1 ... as little-endian floats.
void writeIqw(const QString &path, int n)
{
    QByteArray bytes;
    for (int k = 0; k < 2 * n; ++k) {
        char le[4];
        qToLittleEndian(0.125f * k, le);
        bytes.append(le, 4);
    }
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(WorkspaceChoiceTest, AnIFileOfATwoFileLoadTypeBringsItsQNameButNotItsChoice)
{
    Workspace w;
    w.chooseLoadType(loadRow("mathcad-single"));
    EXPECT_TRUE(w.chooseLoadI(QStringLiteral("/d/sig.i")));
    EXPECT_EQ(w.source().qFileName, QStringLiteral("/d/sig.q"));
    EXPECT_TRUE(w.state().loadIChosen);
    EXPECT_FALSE(w.state().loadQChosen);
    EXPECT_EQ(w.source().directory, QStringLiteral("/d"));
    EXPECT_FALSE(w.chooseLoadI(QStringLiteral("/d/sig.dat")));
    EXPECT_EQ(w.source().qFileName, QStringLiteral("/d/sig.q"));  // left as it was
    // A row whose I and Q files share one extension derives nothing.
    w.chooseLoadType(loadRow("spw-ascii-single"));
    EXPECT_FALSE(w.chooseLoadI(QStringLiteral("/d/sig.i")));
    EXPECT_TRUE(w.source().qFileName.isEmpty());
}

// A cancelled dialog empties its name and the next dialog starts in the working folder; the
// I buttons forget their choice, the Q buttons keep theirs.
TEST(WorkspaceChoiceTest, ACancelledDialogEmptiesTheName)
{
    Workspace w;
    w.chooseLoadType(loadRow("mathcad-single"));
    w.chooseSaveType(saveRow("mathcad-single"));
    w.chooseLoadI(QStringLiteral("/d/sig.i"));
    w.chooseLoadQ(QStringLiteral("/d/other.q"));
    w.chooseSaveI(QStringLiteral("/d/out.i"));
    w.chooseSaveQ(QStringLiteral("/d/other.q"));
    EXPECT_EQ(w.target().qFileName, QStringLiteral("/d/other.q"));
    EXPECT_EQ(w.scratch().qFileName, QStringLiteral("/d/other.q"));  // Append writes there too
    const struct
    {
        const char *name;
        std::function<void()> cancel;
        std::function<QString()> fileName;
        std::function<bool()> chosen;
        bool chosenAfter;
        const IqBuffer &record;
    } cases[] = {
            {"load Q", [&] { w.chooseLoadQ(QString()); }, [&] { return w.source().qFileName; },
             [&] { return w.state().loadQChosen; }, true, w.source()},
            {"load I", [&] { w.chooseLoadI(QString()); }, [&] { return w.source().iFileName; },
             [&] { return w.state().loadIChosen; }, false, w.source()},
            {"save Q", [&] { w.chooseSaveQ(QString()); }, [&] { return w.target().qFileName; },
             [&] { return w.state().appendQChosen; }, true, w.target()},
            {"save I", [&] { w.chooseSaveI(QString()); }, [&] { return w.target().iFileName; },
             [&] { return w.state().appendIChosen; }, false, w.target()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        c.cancel();
        EXPECT_TRUE(c.fileName().isEmpty());
        EXPECT_EQ(c.chosen(), c.chosenAfter);
        EXPECT_EQ(c.record.directory, QDir::currentPath());
    }
}

TEST(WorkspaceChoiceTest, ANewLoadTypeForgetsTheFilesAndTheData)
{
    Workspace w;
    w.chooseLoadType(loadRow("mathcad-single"));
    w.chooseLoadI(QStringLiteral("/d/sig.i"));
    w.clearNewState();
    w.chooseLoadType(loadRow("iqw-pairs"));
    EXPECT_TRUE(w.source().iFileName.isEmpty());
    EXPECT_TRUE(w.source().qFileName.isEmpty());
    EXPECT_EQ(w.source().typeIndex, loadRow("iqw-pairs"));
    EXPECT_FALSE(w.state().loadIChosen);
    EXPECT_FALSE(w.state().dataValid);
    EXPECT_TRUE(w.state().newState);
}

TEST(WorkspaceChoiceTest, ATwoFileDestinationTakesItsQNameAndAppendsThere)
{
    const struct
    {
        const char *iName, *qName;
    } cases[] = {{"/d/out.i", "/d/out.q"}, {"/d/out", "/d/out.q"}, {"/d/a.b.c", "/d/a.b.q"}};
    for (const auto &c : cases) {
        Workspace w;
        w.chooseSaveType(saveRow("mathcad-single"));
        EXPECT_TRUE(w.chooseSaveI(QLatin1String(c.iName)));
        EXPECT_EQ(w.target().qFileName, QLatin1String(c.qName)) << c.iName;
        EXPECT_EQ(w.scratch().iFileName, QLatin1String(c.iName));
        EXPECT_EQ(w.scratch().qFileName, QLatin1String(c.qName));
        EXPECT_TRUE(w.state().appendIChosen && w.state().appendQChosen);
    }
}

TEST(WorkspaceChoiceTest, TypedDestinationsAreTrimmedAndAnEmptyOneIsNone)
{
    Workspace w;
    w.chooseSaveType(saveRow("iqw-pairs"));
    w.typeSaveI(QStringLiteral("  /d/out.iqw "));
    EXPECT_EQ(w.target().iFileName, QStringLiteral("/d/out.iqw"));
    EXPECT_TRUE(w.state().saveIChosen);
    w.typeSaveI(QStringLiteral("   "));
    EXPECT_FALSE(w.state().saveIChosen);
    EXPECT_FALSE(w.state().appendIChosen);
}

TEST(WorkspaceChoiceTest, ASaveTypeChangeKeepsTheNamesAndAppendTargets)
{
    Workspace w;
    w.chooseSaveType(saveRow("mathcad-single"));
    w.chooseSaveI(QStringLiteral("/d/out.i"));
    w.chooseSaveType(saveRow("iqw-pairs"));
    EXPECT_EQ(w.target().typeIndex, saveRow("iqw-pairs"));
    EXPECT_FALSE(w.state().saveIChosen || w.state().saveQChosen);
    EXPECT_TRUE(w.state().appendIChosen && w.state().appendQChosen);
    EXPECT_EQ(w.target().iFileName, QStringLiteral("/d/out.i"));
}

class WorkspaceDataTest : public ::testing::Test
{
protected:
    QString file(const char *name) const { return QDir(dir.path()).filePath(QLatin1String(name)); }

    QTemporaryDir dir;
    Workspace w;
};

TEST_F(WorkspaceDataTest, ALoadMakesTheDataValidAndNewAndAFailedOneInvalid)
{
    writeIqw(file("in.iqw"), 5);
    w.chooseLoadType(loadRow("iqw-pairs"));
    w.chooseLoadI(file("in.iqw"));
    w.clearNewState();
    ASSERT_EQ(w.load(2.5e6, -10.0f), IqStatus::Ok);
    EXPECT_TRUE(w.state().dataValid);
    EXPECT_TRUE(w.state().newState);
    EXPECT_EQ(w.source().sampleCount, 5);
    EXPECT_EQ(w.source().refLevel, -10.0f);

    w.chooseLoadI(file("missing.iqw"));
    EXPECT_NE(w.load(2.5e6, 0.0f), IqStatus::Ok);
    EXPECT_FALSE(w.state().dataValid);
}

TEST_F(WorkspaceDataTest, AppendRefusesMoreGuardSamplesThanItAppends)
{
    writeIqw(file("in.iqw"), 3);
    w.chooseLoadType(loadRow("iqw-pairs"));
    w.chooseLoadI(file("in.iqw"));
    ASSERT_EQ(w.load(1e6, 0.0f), IqStatus::Ok);
    bool wrote = false;
    const SaveRun run = [&wrote](IqBuffer &, IqBuffer &, IqBuffer &, bool, int32_t) {
        wrote = true;
        return IqStatus::Ok;
    };
    EXPECT_TRUE(w.append(4, run).guardTooLong);
    EXPECT_FALSE(wrote);
    EXPECT_FALSE(w.append(3, run).guardTooLong);
    EXPECT_TRUE(wrote);
    EXPECT_TRUE(w.state().appendMode);
    EXPECT_EQ(w.state().guardCount, 3);
}

TEST_F(WorkspaceDataTest, ACopyOfMoreThanOneChunkLeavesNoValidData)
{
    writeIqw(file("in.iqw"), 6);
    w.chooseLoadType(loadRow("iqw-pairs"));
    w.chooseLoadI(file("in.iqw"));
    ASSERT_EQ(w.load(1e6, 0.0f), IqStatus::Ok);
    // A WAV source and a WV target: types the chunked conversion reads and writes.
    {
        Workspace source;
        source.chooseLoadType(loadRow("iqw-pairs"));
        source.chooseLoadI(file("in.iqw"));
        ASSERT_EQ(source.load(1e6, 0.0f), IqStatus::Ok);
        source.chooseSaveType(saveRow("wav-mixed"));
        source.chooseSaveI(file("in.wav"));
        ASSERT_EQ(source.save(0).status, IqStatus::Ok);
    }
    w.chooseLoadType(loadRow("wav-mixed"));
    w.chooseLoadI(file("in.wav"));
    w.chooseSaveType(saveRow("wv"));
    w.chooseSaveI(file("out.wv"));
    ASSERT_TRUE(w.actions().copy);
    ASSERT_EQ(w.copy(1e6, 0.0f, 4, nullptr, nullptr), IqStatus::Ok);
    EXPECT_EQ(w.source().sampleCount, 6);
    EXPECT_FALSE(w.state().dataValid);
}

}  // namespace
