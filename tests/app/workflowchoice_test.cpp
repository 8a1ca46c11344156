// Choosing types and files on the Load tab and in the Save group: dialog requests, derived
// Q names, path fields, chosen flags and the start-up refresh.
#include "workflowfixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>

namespace {

constexpr int kMathcadSingle = 4;
constexpr int kSpwAsciiSingle = 10;
constexpr int kWvMixed = 25;  // one-file save row

}  // namespace

// ---------------------------------------------------------------------------------------
// Load tab

TEST_F(WorkflowTest, LoadIOfMathcadSingleDerivesTheQFileInTheSameFolder)
{
    MainWindow &w = open();
    chooseLoadType(kMathcadSingle);
    pick("Load_I", file("sig.i"));

    ASSERT_EQ(dialogs->requests.size(), 1);
    const auto &r = dialogs->requests.first();
    EXPECT_EQ(r.kind, QStringLiteral("open"));
    EXPECT_EQ(r.title, QStringLiteral("Load File"));
    EXPECT_EQ(r.filter, QStringLiteral("I File (*.i);;All Files (*.*)"));
    EXPECT_EQ(child<QLineEdit>("Load_Di")->text(), file("sig.i"));
    EXPECT_EQ(child<QLineEdit>("Load_Dq")->text(), file("sig.q"));
    EXPECT_EQ(w.workspace().source().qFileName, file("sig.q"));
    EXPECT_TRUE(w.workspace().state().loadIChosen);
    EXPECT_FALSE(w.workspace().state().loadQChosen) << "a derived Q name is not a chosen one";
    EXPECT_EQ(w.workspace().source().directory, QDir(dataDir.path()).absolutePath());

    // A name without the ".i" leaves the Q field as it was.
    pick("Load_I", file("sig.dat"));
    EXPECT_EQ(dialogs->requests.last().folder, QDir(dataDir.path()).absolutePath());
    EXPECT_EQ(child<QLineEdit>("Load_Di")->text(), file("sig.dat"));
    EXPECT_EQ(child<QLineEdit>("Load_Dq")->text(), file("sig.q"));
    EXPECT_EQ(w.workspace().source().qFileName, file("sig.q"));
}

TEST_F(WorkflowTest, LoadIOnRowsWithOneSharedExtensionDerivesNothing)
{
    MainWindow &w = open();
    chooseLoadType(kSpwAsciiSingle);
    pick("Load_I", file("sig.i"));
    EXPECT_TRUE(child<QLineEdit>("Load_Dq")->text().isEmpty());
    EXPECT_TRUE(w.workspace().source().qFileName.isEmpty());
}

TEST_F(WorkflowTest, CancelledLoadDialogsEmptyTheNameButKeepThePathField)
{
    MainWindow &w = open();
    chooseLoadType(kMathcadSingle);
    pick("Load_I", file("sig.i"));
    pick("Load_Q", file("other.q"));
    EXPECT_TRUE(w.workspace().state().loadQChosen);
    EXPECT_EQ(dialogs->requests.last().filter, QStringLiteral("Q File (*.q);;All Files (*.*)"));

    pick("Load_I", QString());
    EXPECT_TRUE(w.workspace().source().iFileName.isEmpty());
    EXPECT_EQ(child<QLineEdit>("Load_Di")->text(), file("sig.i"));
    EXPECT_FALSE(w.workspace().state().loadIChosen);
    EXPECT_EQ(w.workspace().source().directory, QDir::currentPath());

    // The Q button leaves its flag alone when cancelled.
    pick("Load_Q", QString());
    EXPECT_TRUE(w.workspace().source().qFileName.isEmpty());
    EXPECT_EQ(child<QLineEdit>("Load_Dq")->text(), file("other.q"));
    EXPECT_TRUE(w.workspace().state().loadQChosen);
}

TEST_F(WorkflowTest, LoadTypeChangeForgetsFilesAndRetitlesTheButtons)
{
    MainWindow &w = open();
    chooseLoadType(kMathcadSingle);
    EXPECT_EQ(child<QPushButton>("Load_I")->text(), QStringLiteral("I"));
    EXPECT_EQ(child<QPushButton>("Load_Q")->text(), QStringLiteral("Q"));
    EXPECT_TRUE(enabled("Load_Q"));
    pick("Load_I", file("sig.i"));

    chooseLoadType(18);  // IQW, one file
    EXPECT_EQ(child<QPushButton>("Load_I")->text(), QStringLiteral("IQ"));
    EXPECT_EQ(child<QPushButton>("Load_Q")->text(), QString());
    EXPECT_FALSE(enabled("Load_Q"));
    EXPECT_TRUE(child<QLineEdit>("Load_Di")->text().isEmpty());
    EXPECT_TRUE(child<QLineEdit>("Load_Dq")->text().isEmpty());
    EXPECT_TRUE(w.workspace().source().iFileName.isEmpty());
    EXPECT_TRUE(w.workspace().source().qFileName.isEmpty());
    EXPECT_EQ(w.workspace().source().typeIndex, 18);
    EXPECT_FALSE(w.workspace().state().loadIChosen);
    EXPECT_FALSE(w.workspace().state().dataValid);
    EXPECT_TRUE(w.workspace().state().newState);
    pick("Load_I", file("a.iqw"));
    EXPECT_EQ(dialogs->requests.last().filter, QStringLiteral("IQ File (*.iqw);;All Files (*.*)"));
}

// ---------------------------------------------------------------------------------------
// Save group

TEST_F(WorkflowTest, SaveIOnATwoFileTypeDerivesOutQWithOrWithoutADot)
{
    MainWindow &w = open();
    chooseSaveType(kMathcadSingle);
    pick("Save_I", file("out.i"));
    const auto &r = dialogs->requests.last();
    EXPECT_EQ(r.kind, QStringLiteral("save"));
    EXPECT_EQ(r.title, QStringLiteral("Save File"));
    EXPECT_EQ(r.filter, QStringLiteral("I File (*.i);;All Files (*.*)"));
    EXPECT_EQ(w.workspace().target().qFileName, file("out.q"));
    EXPECT_EQ(child<QLineEdit>("Save_Dq")->text(), file("out.q"));
    EXPECT_EQ(w.workspace().scratch().iFileName, file("out.i"));
    EXPECT_EQ(w.workspace().scratch().qFileName, file("out.q"));
    EXPECT_TRUE(w.workspace().state().appendIChosen);
    EXPECT_TRUE(w.workspace().state().appendQChosen);
    EXPECT_EQ(w.workspace().target().directory, QDir(dataDir.path()).absolutePath());

    pick("Save_I", file("out"));
    EXPECT_EQ(dialogs->requests.last().folder, QDir(dataDir.path()).absolutePath());
    EXPECT_EQ(w.workspace().target().iFileName, file("out"));
    EXPECT_EQ(w.workspace().target().qFileName, file("out.q"));
    EXPECT_EQ(child<QLineEdit>("Save_Dq")->text(), file("out.q"));
}

TEST_F(WorkflowTest, SaveQAndCancelledSaveDialogs)
{
    MainWindow &w = open();
    chooseSaveType(kMathcadSingle);
    pick("Save_I", file("out.i"));
    pick("Save_Q", file("other.q"));
    EXPECT_EQ(dialogs->requests.last().filter, QStringLiteral("Q File (*.q);;All Files (*.*)"));
    EXPECT_EQ(w.workspace().target().qFileName, file("other.q"));
    EXPECT_EQ(w.workspace().scratch().qFileName, file("other.q"));

    pick("Save_Q", QString());
    EXPECT_TRUE(w.workspace().target().qFileName.isEmpty());
    EXPECT_EQ(child<QLineEdit>("Save_Dq")->text(), file("other.q"));
    EXPECT_EQ(w.workspace().target().directory, QDir::currentPath());

    pick("Save_I", QString());
    EXPECT_FALSE(w.workspace().state().appendIChosen);
    EXPECT_EQ(child<QLineEdit>("Save_Di")->text(), file("out.i"));
}

TEST_F(WorkflowTest, SaveTypeChangeClearsTheFieldsButKeepsTheNamesAndAppendFlags)
{
    MainWindow &w = open();
    chooseSaveType(kMathcadSingle);
    pick("Save_I", file("out.i"));
    chooseSaveType(kWvMixed);
    EXPECT_EQ(w.workspace().target().typeIndex, kWvMixed);
    EXPECT_EQ(child<QPushButton>("Save_I")->text(), QStringLiteral("IQ"));
    EXPECT_FALSE(enabled("Save_Q"));
    EXPECT_EQ(child<QPushButton>("Save_Q")->text(), QString());
    EXPECT_TRUE(child<QLineEdit>("Save_Di")->text().isEmpty());
    EXPECT_TRUE(child<QLineEdit>("Save_Dq")->text().isEmpty());
    EXPECT_EQ(w.workspace().target().iFileName, file("out.i"));
    EXPECT_EQ(w.workspace().target().qFileName, file("out.q"));
    EXPECT_FALSE(enabled("Save_Sav"));
    EXPECT_TRUE(w.workspace().state().appendIChosen);
    EXPECT_TRUE(w.workspace().state().appendQChosen);
}

// ---------------------------------------------------------------------------------------
// Start-up refresh

TEST_F(WorkflowTest, StartupOnTheLoadTabSelectsTheStoredTypeThroughItsSlot)
{
    storeKeys({{"Program/IQ Source", 0}, {"Program/Source File Type", kMathcadSingle}});
    MainWindow &w = open();
    w.show();
    EXPECT_EQ(child<QComboBox>("Load_Typ")->currentIndex(), kMathcadSingle);
    EXPECT_EQ(w.workspace().source().typeIndex, kMathcadSingle);
    EXPECT_TRUE(w.workspace().source().iFileName.isEmpty());
    EXPECT_TRUE(w.workspace().source().qFileName.isEmpty());
    EXPECT_FALSE(w.workspace().state().dataValid);
    EXPECT_TRUE(w.workspace().state().newState);
    EXPECT_EQ(child<QPushButton>("Load_I")->text(), QStringLiteral("I"));
    EXPECT_TRUE(enabled("Load_Q"));
    EXPECT_FALSE(enabled("Load_Cpy"));
    EXPECT_FALSE(enabled("Save_Sav"));
    EXPECT_FALSE(enabled("Save_App"));
    EXPECT_FALSE(enabled("Spec"));
    EXPECT_FALSE(child<QCheckBox>("DVal")->isChecked());
}

TEST_F(WorkflowTest, StartupWithTheFirstLoadTypeRunsNoTypeSlot)
{
    storeKeys({{"Program/IQ Source", 0}, {"Program/Source File Type", 0}});
    MainWindow &w = open();
    EXPECT_EQ(child<QComboBox>("Load_Typ")->currentIndex(), 0);
    EXPECT_FALSE(w.workspace().state().newState);
}

TEST_F(WorkflowTest, StartupOnTheTraceTabKeepsTheStoredTypeUntilTheLoadTabIsRefreshed)
{
    storeKeys({{"Program/IQ Source", 1},
               {"Program/Source File Type", kMathcadSingle},
               {"Program/Destination File Type", kWvMixed}});
    MainWindow &w = open();
    EXPECT_EQ(child<QComboBox>("Load_Typ")->currentIndex(), 0);
    EXPECT_EQ(w.workspace().source().typeIndex, kMathcadSingle);
    EXPECT_EQ(child<QComboBox>("Save_Typ")->currentIndex(), kWvMixed);
    EXPECT_EQ(child<QPushButton>("Save_I")->text(), QStringLiteral("IQ"));

    w.UpdPnl(0);
    EXPECT_EQ(child<QComboBox>("Load_Typ")->currentIndex(), kMathcadSingle);
    EXPECT_EQ(w.workspace().source().typeIndex, kMathcadSingle);
}

TEST_F(WorkflowTest, TabChangeSetsTheSourceAndTakesTheTraceCount)
{
    MainWindow &w = open();
    child<QSpinBox>("Trace_Ana_Cnt")->setValue(4096);
    emit child<QSpinBox>("Trace_Ana_Cnt")->editingFinished();
    child<QTabWidget>("LodTrcIqr")->setCurrentIndex(1);
    EXPECT_EQ(w.workspace().source().iqSource, 1);
    EXPECT_EQ(w.workspace().source().sampleCount, 4096);
    child<QTabWidget>("LodTrcIqr")->setCurrentIndex(0);
    EXPECT_EQ(w.workspace().source().iqSource, 0);
    EXPECT_EQ(w.workspace().source().sampleCount, 4096);
}

TEST_F(WorkflowTest, StartupLeavesNothingEnabledThatNeedsDataOrAChoice)
{
    storeKeys({{"Program/IQ Source", 0}, {"Program/Source File Type", 0}});
    open();
    for (const char *b : {"Save_Sav", "Save_App", "Load_Cpy", "Spec", "GDel", "IvsQ"})
        EXPECT_FALSE(enabled(b)) << b;
    EXPECT_TRUE(enabled("Load_Lod"));
}
