// Choosing types and files on the Load tab and in the Save group through the window: the
// dialogs it asks, the path fields it shows, and the start-up refresh. What a choice does to
// the records is checked on the workspace (tests/workspace).
#include "workflowfixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>

namespace {

constexpr int kMathcadSingle = 4;
constexpr int kIqwPairs = 18;
constexpr int kWvMixed = 25;  // one-file save row

// The Load tab and the Save group have the same buttons and fields under their own names.
struct Side
{
    const char *name;
    bool save;
    const char *iButton, *qButton, *iField, *qField;
    const char *kind, *title;
    int oneFileRow;
};

const Side kSides[] = {
        {"Load", false, "Load_I", "Load_Q", "Load_Di", "Load_Dq", "open", "Load File", kIqwPairs},
        {"Save", true, "Save_I", "Save_Q", "Save_Di", "Save_Dq", "save", "Save File", kWvMixed}};

}  // namespace

class WorkflowChoiceTest : public WorkflowTest
{
protected:
    void chooseType(const Side &side, int row)
    {
        side.save ? chooseSaveType(row) : chooseLoadType(row);
    }
    QString field(const char *name) const { return child<QLineEdit>(name)->text(); }
};

// Each button asks its dialog with its title and its row's filter, starting in the folder of
// the name chosen last.
TEST_F(WorkflowChoiceTest, TheDialogsAskWithTitleFilterAndTheLastFolder)
{
    for (const Side &side : kSides) {
        SCOPED_TRACE(side.name);
        open();
        chooseType(side, kMathcadSingle);
        pick(side.iButton, file("sig.i"));
        pick(side.qButton, file("sig.q"));
        chooseType(side, side.oneFileRow);
        pick(side.iButton, file("a.x"));
        const QStringList filters
                = {QStringLiteral("I File (*.i);;All Files (*.*)"),
                   QStringLiteral("Q File (*.q);;All Files (*.*)"),
                   side.save ? QStringLiteral("IQ File (*.wv);;All Files (*.*)")
                             : QStringLiteral("IQ File (*.iqw);;All Files (*.*)")};
        ASSERT_EQ(dialogs->requests.size(), filters.size());
        for (int k = 0; k < filters.size(); ++k) {
            const ScriptedDialogs::Request &r = dialogs->requests[k];
            EXPECT_EQ(r.kind, QLatin1String(side.kind));
            EXPECT_EQ(r.title, QLatin1String(side.title));
            EXPECT_EQ(r.filter, filters[k]);
            if (k > 0) {
                EXPECT_EQ(r.folder, QDir(dataDir.path()).absolutePath());
            }
        }
    }
}

// The fields show the chosen names and a derived Q name; a cancelled dialog leaves them as
// they were; a new type empties them.
TEST_F(WorkflowChoiceTest, ThePathFieldsShowTheChosenNames)
{
    for (const Side &side : kSides) {
        SCOPED_TRACE(side.name);
        open();
        chooseType(side, kMathcadSingle);
        pick(side.iButton, file("sig.i"));
        EXPECT_EQ(field(side.iField), file("sig.i"));
        EXPECT_EQ(field(side.qField), file("sig.q"));
        pick(side.qButton, file("other.q"));
        EXPECT_EQ(field(side.qField), file("other.q"));
        pick(side.iButton, QString());
        pick(side.qButton, QString());
        EXPECT_EQ(field(side.iField), file("sig.i"));
        EXPECT_EQ(field(side.qField), file("other.q"));
        chooseType(side, side.oneFileRow);
        EXPECT_TRUE(field(side.iField).isEmpty());
        EXPECT_TRUE(field(side.qField).isEmpty());
    }
}

// On the Load tab the stored type is selected through its slot, which starts from no file and
// no data; the first type needs no slot. Nothing that needs data or a choice is offered.
TEST_F(WorkflowChoiceTest, StartupOnTheLoadTabSelectsTheStoredType)
{
    for (int stored : {kMathcadSingle, 0}) {
        SCOPED_TRACE(stored);
        storeKeys({{"Program/IQ Source", 0}, {"Program/Source File Type", stored}});
        MainWindow &w = open();
        EXPECT_EQ(child<QComboBox>("Load_Typ")->currentIndex(), stored);
        EXPECT_EQ(w.workspace().source().typeIndex, stored);
        EXPECT_TRUE(w.workspace().source().iFileName.isEmpty());
        EXPECT_FALSE(w.workspace().state().dataValid);
        EXPECT_EQ(w.workspace().state().newState, stored != 0);
        for (const char *b : {"Save_Sav", "Save_App", "Load_Cpy", "Spec", "GDel", "IvsQ"})
            EXPECT_FALSE(enabled(b)) << b;
        EXPECT_TRUE(enabled("Load_Lod"));
        EXPECT_FALSE(child<QCheckBox>("DVal")->isChecked());
    }
}

TEST_F(WorkflowChoiceTest, StartupOnTheTraceTabKeepsTheStoredTypeUntilTheLoadTabIsRefreshed)
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

TEST_F(WorkflowChoiceTest, TabChangeSetsTheSourceAndTakesTheTraceCount)
{
    MainWindow &w = open();
    child<QSpinBox>("Trace_Ana_Cnt")->setValue(4096);
    emit child<QSpinBox>("Trace_Ana_Cnt")->editingFinished();
    for (int tab : {1, 0}) {
        child<QTabWidget>("LodTrcIqr")->setCurrentIndex(tab);
        EXPECT_EQ(w.workspace().source().iqSource, tab);
        EXPECT_EQ(w.workspace().source().sampleCount, 4096);
    }
}
