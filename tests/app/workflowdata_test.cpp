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

struct Samples
{
    std::vector<float> i, q;
};

Samples ramp(int n, float start)
{
    Samples s;
    for (int k = 0; k < n; ++k) {
        s.i.push_back(start + 0.25f * k);
        s.q.push_back(-start - 0.5f * k);
    }
    return s;
}

// IQW pairs: I0 Q0 I1 Q1 ... as little-endian floats, no header.
void writeIqw(const QString &path, const Samples &s)
{
    QByteArray bytes;
    for (size_t k = 0; k < s.i.size(); ++k)
        for (float v : {s.i[k], s.q[k]}) {
            char le[4];
            qToLittleEndian(v, le);
            bytes.append(le, 4);
        }
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Any savable type, through the program's own writer.
void writeWithSaveRow(const QString &path, int saveRow, const Samples &s, double rate,
                      const QString &qPath = QString())
{
    IqBuffer src, scratch, target;
    ASSERT_EQ(allocateSamples(src, static_cast<int64_t>(s.i.size())), IqStatus::Ok);
    std::copy(s.i.begin(), s.i.end(), src.iData.data());
    std::copy(s.q.begin(), s.q.end(), src.qData.data());
    src.sampleCount = static_cast<int64_t>(s.i.size());
    src.sampleRate = rate;
    target.typeIndex = saveRow;
    target.iFileName = path;
    target.qFileName = qPath;
    ASSERT_EQ(saveIqFile(src, scratch, target, false, 0), IqStatus::Ok);
}

IqBuffer readWithLoadRow(const QString &iPath, const QString &qPath, int loadRow)
{
    IqBuffer r;
    r.typeIndex = loadRow;
    r.iFileName = iPath;
    r.qFileName = qPath;
    EXPECT_EQ(loadIqFile(r), IqStatus::Ok) << iPath.toStdString();
    return r;
}

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
    const Samples s = ramp(3, 1.0f);
    writeWithSaveRow(file("in.wv"), kWvSave, s, 2.5e6);
    writeWithSaveRow(file("sig.i"), kMathcadSingle, s, 1e6, file("sig.q"));  // Q name derived
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
            EXPECT_EQ(w.workspace().source().qData[2], s.q[2]);
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
    const Samples s = ramp(5, 2.0f);
    writeIqw(file("in.iqw"), s);
    MainWindow &w = open();
    load(kIqwPairs, file("in.iqw"));
    chooseSaveType(kIqwPairs);
    pick("Save_I", file("out.iqw"));
    ASSERT_TRUE(enabled("Save_Sav"));
    child<QSpinBox>("Save_Grd")->setValue(2);
    click("Save_Sav");
    EXPECT_TRUE(dialogs->boxes.isEmpty());
    EXPECT_EQ(child<QStatusBar>("statusBar")->currentMessage(),
              QStringLiteral("Saving IQ file..."));
    EXPECT_FALSE(w.workspace().state().appendMode);
    EXPECT_EQ(w.workspace().state().guardCount, 2);
    EXPECT_EQ(readWithLoadRow(file("out.iqw"), QString(), kIqwPairs).sampleCount, 5);

    chooseSaveType(kMathcadSingle);
    pick("Save_I", file("out.i"));
    click("Save_Sav");
    EXPECT_TRUE(dialogs->boxes.isEmpty());
    EXPECT_EQ(child<QStatusBar>("statusBar")->currentMessage(),
              QStringLiteral("Saving I and Q files..."));
    const IqBuffer back = readWithLoadRow(file("out.i"), file("out.q"), kMathcadSingle);
    ASSERT_EQ(back.sampleCount, 5);
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(back.iData[k], s.i[k]);
        EXPECT_EQ(back.qData[k], s.q[k]);
    }
}

// ---------------------------------------------------------------------------------------
// Append

TEST_F(WorkflowDataTest, AppendWithGuardThreeRepeatsTheLastThreeSamples)
{
    const Samples existing = ramp(5, 10.0f);
    const Samples added = ramp(4, -3.0f);
    writeIqw(file("out.iqw"), existing);
    writeIqw(file("in.iqw"), added);
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
    const IqBuffer back = readWithLoadRow(file("out.iqw"), QString(), kIqwPairs);
    ASSERT_EQ(back.sampleCount, 5 + 3 + 4);
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(back.iData[k], existing.i[k]) << k;
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(back.iData[5 + k], added.i[1 + k]) << k;
        EXPECT_EQ(back.qData[5 + k], added.q[1 + k]) << k;
    }
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(back.iData[8 + k], added.i[k]) << k;
        EXPECT_EQ(back.qData[8 + k], added.q[k]) << k;
    }
}

// ---------------------------------------------------------------------------------------
// Copy IQ

TEST_F(WorkflowDataTest, SingleChunkCopyConvertsAndLeavesDataValidAsItWas)
{
    writeWithSaveRow(file("in.wv"), kWvSave, ramp(6, 0.0f), 1e6);
    MainWindow &w = open();
    load(kWvLoad, file("in.wv"));
    ASSERT_TRUE(w.workspace().state().dataValid);
    child<QDoubleSpinBox>("Load_SRat")->setValue(5.0);
    chooseSaveType(kRawRecording);
    pick("Save_I", file("out.wvd"));
    ASSERT_TRUE(enabled("Load_Cpy"));
    click("Load_Cpy");

    EXPECT_TRUE(dialogs->boxes.isEmpty());
    EXPECT_TRUE(dialogs->progressSteps.isEmpty()) << "one chunk needs no progress dialog";
    EXPECT_TRUE(statusMessages.contains(QStringLiteral("Converting IQ file... to IQ file...")));
    EXPECT_TRUE(child<QStatusBar>("statusBar")->currentMessage().isEmpty());
    EXPECT_EQ(loadCount(), 6);
    EXPECT_EQ(child<QDoubleSpinBox>("Load_SRat")->value(), 1e6) << "the file's rate is shown";
    EXPECT_TRUE(w.workspace().state().dataValid);
    EXPECT_EQ(w.workspace().source().heldCount(), 6) << "the whole file is held";
    EXPECT_TRUE(enabled("Save_Sav"));
    const IqBuffer back = readWithLoadRow(file("out.wvd"), QString(), kRawRecording);
    EXPECT_EQ(back.sampleCount, 6);
    EXPECT_EQ(back.sampleRate, 1e6);
}

TEST_F(WorkflowDataTest, MultiChunkCopyShowsProgressAndLeavesNoConsumerAPartialRecord)
{
    writeWithSaveRow(file("in.wv"), kWvSave, ramp(10, 0.0f), 1e6);
    writeIqw(file("valid.iqw"), ramp(3, 0.0f));
    MainWindow &w = open();
    load(kIqwPairs, file("valid.iqw"));
    ASSERT_TRUE(w.workspace().state().dataValid);
    w.setCopyChunkSamples(4);
    chooseLoadType(kWvLoad);
    pick("Load_I", file("in.wv"));
    chooseSaveType(kWavMixed);
    pick("Save_I", file("out.wav"));
    click("Load_Cpy");

    EXPECT_TRUE(dialogs->boxes.isEmpty());
    EXPECT_EQ(dialogs->progressTotal, 10);
    EXPECT_EQ(dialogs->progressText, QStringLiteral("Converting IQ file... to IQ file..."));
    ASSERT_FALSE(dialogs->progressSteps.isEmpty());
    EXPECT_EQ(dialogs->progressSteps.last(), 10);
    const IqBuffer &src = w.workspace().source();
    EXPECT_EQ(src.sampleCount, 10);
    EXPECT_EQ(src.heldCount(), 2) << "the last chunk";
    EXPECT_EQ(loadCount(), 10);
    EXPECT_FALSE(w.workspace().state().dataValid);
    for (const char *b : {"Save_Sav", "Save_App", "Spec", "GDel", "IvsQ"})
        EXPECT_FALSE(child<QWidget>(b)->isEnabled()) << b;
    EXPECT_FALSE(dataValidShown());
    EXPECT_EQ(readWithLoadRow(file("out.wav"), QString(), kWavMixed).sampleCount, 10);
}

TEST_F(WorkflowDataTest, CancelledCopyRemovesItsTargetAndSaysNothing)
{
    writeWithSaveRow(file("in.wv"), kWvSave, ramp(10, 0.0f), 1e6);
    MainWindow &w = open();
    w.setCopyChunkSamples(4);
    chooseLoadType(kWvLoad);
    pick("Load_I", file("in.wv"));
    chooseSaveType(kRawRecording);
    pick("Save_I", file("out.wvd"));
    dialogs->cancelAtStep = 0;
    click("Load_Cpy");

    EXPECT_TRUE(dialogs->boxes.isEmpty());
    EXPECT_EQ(dialogs->progressSteps.size(), 1);
    EXPECT_FALSE(QFile::exists(file("out.wvd")));
    EXPECT_FALSE(QFile::exists(file("out.wvh")));
    EXPECT_FALSE(w.workspace().state().dataValid);
    EXPECT_TRUE(child<QStatusBar>("statusBar")->currentMessage().isEmpty());
}
