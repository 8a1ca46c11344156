// The window shows what its workspace offers, and nothing else: a few states reached through
// the window's own controls, each checked control by control against Workspace::actions().
#include "filetypes.h"
#include "workflowfixture.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>

namespace {

class WindowMirrorTest : public WorkflowTest
{
protected:
    void expectMirrored(const char *state)
    {
        SCOPED_TRACE(state);
        const WorkspaceActions a = window->workspace().actions();
        const std::pair<const char *, bool> enabledAs[]
                = {{"Load", a.loadTab},       {"Trace", a.traceTab},     {"Load_Q", a.loadTwoFile},
                   {"Save_Q", a.saveTwoFile}, {"Load_Cnt", a.loadCount}, {"Load_Lod", a.load},
                   {"Load_Cpy", a.copy},      {"Save_Sav", a.save},      {"Save_App", a.append},
                   {"Spec", a.plots},         {"GDel", a.plots},         {"IvsQ", a.plots},
                   {"DVal", a.dataValidBox},  {"Trace_Init", a.init},    {"Trace_Trc", a.trace}};
        for (const auto &c : enabledAs)
            EXPECT_EQ(child<QWidget>(c.first)->isEnabled(), c.second) << c.first;
        EXPECT_EQ(child<QAction>("actionSpectrogram")->isEnabled(), a.plots);
        EXPECT_EQ(child<QCheckBox>("DVal")->isChecked(), a.dataValid);
        EXPECT_EQ(child<QPushButton>("Load_I")->text(),
                  a.loadTwoFile ? QStringLiteral("I") : QStringLiteral("IQ"));
        EXPECT_EQ(child<QPushButton>("Save_I")->text(),
                  a.saveTwoFile ? QStringLiteral("I") : QStringLiteral("IQ"));
    }
};

TEST_F(WindowMirrorTest, EveryControlFollowsTheWorkspace)
{
    writeBytes(file("in.iqw"), iqwPairs(4));
    open();
    expectMirrored("at start-up");
    chooseSaveType(FileTypeTable::findSave(QStringLiteral("mathcad-single")));
    expectMirrored("a two-file save type");
    pick("Save_I", file("out.i"));
    expectMirrored("a two-file destination");
    const int iqw = FileTypeTable::findLoad(QStringLiteral("iqw-pairs"));
    load(iqw, file("in.iqw"));
    ASSERT_TRUE(window->workspace().state().dataValid);
    expectMirrored("after a load");
    EXPECT_TRUE(enabled("Save_Sav"));
    chooseLoadType(FileTypeTable::findLoad(QStringLiteral("mathcad-single")));
    expectMirrored("after a new load type");
    EXPECT_FALSE(enabled("Save_Sav"));
}

// A Trace setting that changes after a load holds Save and Append back; the window shows
// that hold as the workspace states it, and using the Save group again ends it.
TEST_F(WindowMirrorTest, ATraceSettingChangeIsShownAsTheWorkspaceHoldsIt)
{
    writeBytes(file("in.iqw"), iqwPairs(4));
    open();
    load(FileTypeTable::findLoad(QStringLiteral("iqw-pairs")), file("in.iqw"));
    chooseSaveType(FileTypeTable::findSave(QStringLiteral("iqw-pairs")));
    pick("Save_I", file("out.iqw"));
    ASSERT_TRUE(enabled("Save_Sav"));
    auto *resource = child<QLineEdit>("Trace_VisaRS");
    resource->setText(QStringLiteral("GPIB0::20::INSTR"));
    emit resource->textEdited(resource->text());
    expectMirrored("after a new resource string");
    EXPECT_FALSE(enabled("Save_Sav"));
    pick("Save_I", file("out.iqw"));
    expectMirrored("after the Save group is used again");
    EXPECT_TRUE(enabled("Save_Sav"));
    child<QCheckBox>("Trace_Raw")->click();
    expectMirrored("after Raw IQ");
    EXPECT_FALSE(enabled("Save_Sav"));
}

// The window keeps its width; the guard count stays within 0 to 99.
TEST_F(WindowMirrorTest, FixedWidthAndGuardRange)
{
    MainWindow &w = open();
    w.show();
    const int width = w.width();
    for (QSize size : {QSize(800, 600), QSize(300, 200)}) {
        w.resize(size);
        EXPECT_EQ(w.width(), width);
    }
    QSpinBox *guard = child<QSpinBox>("Save_Grd");
    guard->setValue(150);
    EXPECT_EQ(guard->value(), 99);
    guard->setValue(-3);
    EXPECT_EQ(guard->value(), 0);
}

}  // namespace
