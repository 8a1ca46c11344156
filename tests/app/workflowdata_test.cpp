// Load, Save, Append and Copy IQ on real files, through the window's buttons: what the files
// then hold, the counts and the status-bar texts. The failures are in fileerrorbox_test.cpp.
#include "dispatch.h"
#include "filetypes.h"
#include "workflowfixture.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QSpinBox>
#include <QtEndian>

#include <vector>

namespace {

constexpr int kMathcadSingle = 4;
constexpr int kIqwPairs = 18;      // load and save row
constexpr int kWavMixed = 15;      // load and save row
constexpr int kRawRecording = 24;  // load and save row
constexpr int kWvLoad = 32;
constexpr int kWvSave = 25;

}  // namespace

class WorkflowDataTest : public WorkflowTest
{
protected:
    // A one-file destination on which Append is offered: the Q append target is chosen on a
    // two-file type first, because the flag outlives the type change.
    void chooseAppendableOneFileDestination(int row, const QString &path)
    {
        chooseSaveType(kMathcadSingle);
        pick("Save_I", file("unused.i"));
        chooseSaveType(row);
        pick("Save_I", path);
    }

    int loadCount() const { return child<QSpinBox>("Load_Cnt")->value(); }
    bool dataValidShown() const { return child<QCheckBox>("DVal")->isChecked(); }
};

// ---------------------------------------------------------------------------------------
// Load

TEST_F(WorkflowDataTest, ALoadShowsWhatItReadsThenTheCountAndRate)
{
    const IqBuffer s = rampRecord(3, 1.0f, 2.5e6);
    saveRecord(s, kWvSave, file("in.wv"));
    saveRecord(s, kMathcadSingle, file("sig.i"), file("sig.q"));  // the Q name is derived
    const struct
    {
        int row;
        const char *name, *status;
        double rate;  // 0: the file keeps none, and its text keeps the floats as they were
    } cases[] = {{kWvLoad, "in.wv", "Loading IQ file...", 2.5e6},
                 {kMathcadSingle, "sig.i", "Loading I and Q files...", 0}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        MainWindow &w = open();
        w.workspace().clearNewState();
        load(c.row, file(QLatin1String(c.name)));
        EXPECT_TRUE(dialogs->boxes.isEmpty());
        EXPECT_TRUE(statusMessages.contains(QLatin1String(c.status)));
        EXPECT_TRUE(w.workspace().state().dataValid);
        EXPECT_TRUE(w.workspace().state().newState);
        EXPECT_EQ(loadCount(), 3);
        ASSERT_EQ(w.workspace().source().sampleCount, 3);
        if (c.rate == 0) {
            EXPECT_EQ(w.workspace().source().qData[2], s.qData[2]);
        } else {
            EXPECT_EQ(w.workspace().source().sampleRate, c.rate);
            EXPECT_EQ(child<QDoubleSpinBox>("Load_SRat")->value(), c.rate);
        }
        EXPECT_TRUE(dataValidShown());
    }
}

// ---------------------------------------------------------------------------------------
// Save

TEST_F(WorkflowDataTest, SaveWritesTheRecordAndSaysWhatItSaves)
{
    writeBytes(file("in.iqw"), iqwPairs(5, 2.0f));
    MainWindow &w = open();
    load(kIqwPairs, file("in.iqw"));
    const struct
    {
        int row;
        const char *i, *q, *status;
    } cases[] = {{kIqwPairs, "out.iqw", nullptr, "Saving IQ file..."},
                 {kMathcadSingle, "out.i", "out.q", "Saving I and Q files..."}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.i);
        chooseSaveType(c.row);
        pick("Save_I", file(QLatin1String(c.i)));
        ASSERT_TRUE(enabled("Save_Sav"));
        child<QSpinBox>("Save_Grd")->setValue(2);
        click("Save_Sav");
        EXPECT_TRUE(dialogs->boxes.isEmpty());
        EXPECT_EQ(w.statusBar()->currentMessage(), QLatin1String(c.status));
        EXPECT_FALSE(w.workspace().state().appendMode);
        EXPECT_EQ(w.workspace().state().guardCount, 2);
        const IqBuffer back
                = loadRecord(c.row, file(QLatin1String(c.i)), c.q ? file(QLatin1String(c.q)) : "");
        ASSERT_EQ(back.sampleCount, 5);
        for (int k = 0; k < 5; ++k) {
            EXPECT_EQ(back.iData[k], w.workspace().source().iData[k]);
            EXPECT_EQ(back.qData[k], w.workspace().source().qData[k]);
        }
    }
    EXPECT_EQ(contents(file("out.iqw")), iqwPairs(5, 2.0f));
}

TEST_F(WorkflowDataTest, AppendWithGuardThreeRepeatsTheLastThreeSamples)
{
    const QByteArray existing = iqwPairs(5, 10.0f), added = iqwPairs(4, -3.0f);
    writeBytes(file("out.iqw"), existing);
    writeBytes(file("in.iqw"), added);
    MainWindow &w = open();
    chooseAppendableOneFileDestination(kIqwPairs, file("out.iqw"));
    load(kIqwPairs, file("in.iqw"));
    pick("Save_I", file("out.iqw"));
    ASSERT_TRUE(enabled("Save_App"));
    child<QSpinBox>("Save_Grd")->setValue(3);
    click("Save_App");
    EXPECT_TRUE(dialogs->boxes.isEmpty());
    EXPECT_TRUE(w.workspace().state().appendMode);
    EXPECT_EQ(w.workspace().state().guardCount, 3);
    EXPECT_EQ(contents(file("out.iqw")), existing + added.right(3 * 8) + added);
}

// Copy converts in chunks: one chunk leaves the whole file loaded and the data as valid as they
// were; more chunks show their progress and leave only the last chunk, which no consumer may
// take for the record; a cancelled copy leaves no target and says nothing.
TEST_F(WorkflowDataTest, CopyConvertsInChunks)
{
    saveRecord(rampRecord(10, 0.0f), kWvSave, file("in.wv"));
    const struct
    {
        const char *name;
        int64_t chunk;
        int cancelAt;  // -1: not cancelled
        int saveRow;
        const char *target, *header;  // header: the second file a raw recording writes
        bool validAfter;
        int64_t heldAfter;
    } cases[] = {{"one chunk", 1 << 20, -1, kRawRecording, "out.wvd", nullptr, true, 10},
                 {"three chunks", 4, -1, kWavMixed, "out.wav", nullptr, false, 2},
                 {"cancelled", 4, 0, kRawRecording, "out.wvd", "out.wvh", false, -1}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        for (const char *name : {"out.wvd", "out.wvh"})
            QFile::remove(file(QLatin1String(name)));
        MainWindow &w = open();
        load(kWvLoad, file("in.wv"));  // valid data, which the copy replaces
        ASSERT_TRUE(w.workspace().state().dataValid);
        child<QDoubleSpinBox>("Load_SRat")->setValue(5.0);
        w.setCopyChunkSamples(c.chunk);
        chooseSaveType(c.saveRow);
        pick("Save_I", file(QLatin1String(c.target)));
        dialogs->cancelAtStep = c.cancelAt;
        ASSERT_TRUE(enabled("Load_Cpy"));
        click("Load_Cpy");

        EXPECT_TRUE(dialogs->boxes.isEmpty());
        EXPECT_TRUE(w.statusBar()->currentMessage().isEmpty());
        EXPECT_EQ(w.workspace().state().dataValid, c.validAfter);
        EXPECT_EQ(enabled("Spec"), c.validAfter);
        EXPECT_EQ(dataValidShown(), c.validAfter);
        EXPECT_EQ(enabled("Save_Sav"), c.validAfter);
        if (c.cancelAt >= 0) {
            EXPECT_EQ(dialogs->progressSteps.size(), 1);
            for (const char *name : {c.target, c.header})
                EXPECT_FALSE(QFile::exists(file(QLatin1String(name)))) << name;
            continue;
        }
        if (c.chunk < 10) {
            EXPECT_EQ(dialogs->progressText, QStringLiteral("Converting IQ file... to IQ file..."));
            EXPECT_EQ(dialogs->progressTotal, 10);
            ASSERT_FALSE(dialogs->progressSteps.isEmpty());
            EXPECT_EQ(dialogs->progressSteps.last(), 10);
        } else {
            EXPECT_TRUE(dialogs->progressSteps.isEmpty()) << "one chunk needs no progress dialog";
            EXPECT_TRUE(
                    statusMessages.contains(QStringLiteral("Converting IQ file... to IQ file...")));
        }
        EXPECT_EQ(w.workspace().source().sampleCount, 10);
        EXPECT_EQ(w.workspace().source().heldCount(), c.heldAfter);
        EXPECT_EQ(loadCount(), 10);
        EXPECT_EQ(child<QDoubleSpinBox>("Load_SRat")->value(), 1e6) << "the file's rate is shown";
        const IqBuffer back = loadRecord(c.saveRow, file(QLatin1String(c.target)));
        EXPECT_EQ(back.sampleCount, 10);
        EXPECT_EQ(back.sampleRate, 1e6);
    }
}
