// Load, Save, Append and Copy IQ on real files, through the window's buttons: counts,
// button rules, status-bar texts and the messages shown.
#include "dispatch.h"
#include "filetypes.h"
#include "workflowfixture.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLineEdit>
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
    // Chooses the load type and file and presses Load IQ.
    void load(int row, const QString &path)
    {
        chooseLoadType(row);
        pick("Load_I", path);
        click("Load_Lod");
    }

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

TEST_F(WorkflowDataTest, SuccessfulLoadShowsCountAndRateAndEnablesSaveAndPlots)
{
    writeWithSaveRow(file("in.wv"), kWvSave, ramp(7, 0.0f), 2.5e6);
    MainWindow &w = open();
    chooseSaveType(kWvSave);
    pick("Save_I", file("out.wv"));
    EXPECT_FALSE(enabled("Save_Sav"));
    load(kWvLoad, file("in.wv"));

    EXPECT_TRUE(dialogs->boxes.isEmpty());
    EXPECT_TRUE(statusMessages.contains(QStringLiteral("Loading IQ file...")));
    EXPECT_TRUE(w.workspace().state().dataValid);
    EXPECT_TRUE(w.workspace().state().newState);
    EXPECT_EQ(loadCount(), 7);
    EXPECT_EQ(child<QDoubleSpinBox>("Load_SRat")->value(), 2.5e6);
    EXPECT_EQ(w.workspace().source().sampleRate, 2.5e6);
    EXPECT_TRUE(dataValidShown());
    for (const char *b : {"Spec", "GDel", "IvsQ", "Save_Sav", "Load_Cnt"})
        EXPECT_TRUE(child<QWidget>(b)->isEnabled()) << b;
}

TEST_F(WorkflowDataTest, TwoFileLoadSaysIAndQFiles)
{
    const Samples s = ramp(3, 1.0f);
    writeWithSaveRow(file("sig.i"), kMathcadSingle, s, 1e6, file("sig.q"));
    MainWindow &w = open();
    load(kMathcadSingle, file("sig.i"));  // the Q file is derived
    EXPECT_TRUE(dialogs->boxes.isEmpty());
    EXPECT_TRUE(statusMessages.contains(QStringLiteral("Loading I and Q files...")));
    EXPECT_EQ(child<QStatusBar>("statusBar")->currentMessage(),
              QStringLiteral("Loading I and Q files..."));
    ASSERT_EQ(w.workspace().source().sampleCount, 3);
    EXPECT_EQ(w.workspace().source().qData[2], s.q[2]);
}

TEST_F(WorkflowDataTest, ScrambledWvIsRefusedNamingTheFile)
{
    QFile f(file("secret.wv"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("{TYPE: SMU-WV, 0}{SAMPLES: 2}{WWAVEFORM-9:#");
    f.write(QByteArray(8, '\x11'));
    f.close();
    MainWindow &w = open();
    load(kWvLoad, file("secret.wv"));

    ASSERT_EQ(dialogs->boxes.size(), 1);
    EXPECT_EQ(dialogs->boxes[0].title, QStringLiteral("Warning"));
    EXPECT_EQ(dialogs->boxes[0].text, QStringLiteral("The file ") + file("secret.wv")
                                              + QStringLiteral(" is scrambled. Load aborted."));
    EXPECT_FALSE(w.workspace().state().dataValid);
    EXPECT_FALSE(dataValidShown());
    EXPECT_FALSE(enabled("Spec"));
}

TEST_F(WorkflowDataTest, UnreadableFileSaysFileLoadError)
{
    MainWindow &w = open();
    load(kIqwPairs, file("missing.iqw"));
    ASSERT_EQ(dialogs->boxes.size(), 1);
    EXPECT_EQ(dialogs->boxes[0].title, QStringLiteral("Error"));
    EXPECT_EQ(dialogs->boxes[0].text, QStringLiteral("File Load Error."));
    EXPECT_FALSE(w.workspace().state().dataValid);
    EXPECT_EQ(w.workspace().source().sampleCount, 0);
}

// Save is offered for at most 50,000,000 samples right after a load; choosing the
// destination again offers it (and Append) for any count.
TEST_F(WorkflowDataTest, FiftyMillionAndOneSamplesKeepSaveDisabledUntilTheDestinationIsChosenAgain)
{
    constexpr int64_t kCount = 50000001;
    {
        QFile f(file("big.iqw"));  // zeros, sparse on disk
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(kCount * 8));
    }
    MainWindow &w = open();
    chooseAppendableOneFileDestination(kIqwPairs, file("out.iqw"));
    load(kIqwPairs, file("big.iqw"));
    ASSERT_TRUE(w.workspace().state().dataValid);
    EXPECT_EQ(w.workspace().source().sampleCount, kCount);
    EXPECT_EQ(loadCount(), kCount);
    EXPECT_FALSE(enabled("Save_Sav"));

    pick("Save_I", file("out.iqw"));
    EXPECT_TRUE(enabled("Save_Sav"));
    EXPECT_TRUE(enabled("Save_App"));
    releaseSamples(w.workspace().source());  // 400 MB less for the tests after this one
    w.workspace().source().sampleCount = 0;
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

TEST_F(WorkflowDataTest, FailedSaveSaysFileSaveError)
{
    writeIqw(file("in.iqw"), ramp(4, 0.0f));
    open();
    load(kIqwPairs, file("in.iqw"));
    chooseSaveType(kIqwPairs);
    pick("Save_I", file("no/such/folder/out.iqw"));
    click("Save_Sav");
    ASSERT_EQ(dialogs->boxes.size(), 1);
    EXPECT_EQ(dialogs->boxes[0].title, QStringLiteral("Error"));
    EXPECT_EQ(dialogs->boxes[0].text, QStringLiteral("File Save Error."));
}

TEST_F(WorkflowDataTest, WvDestinationWithAnIqFileIsSavableAfterALoad)
{
    writeIqw(file("in.iqw"), ramp(4, 0.0f));
    open();
    chooseSaveType(kWvSave);
    pick("Save_I", file("out.wv"));
    EXPECT_FALSE(enabled("Save_Sav"));
    load(kIqwPairs, file("in.iqw"));
    EXPECT_TRUE(enabled("Save_Sav"));
}

// ---------------------------------------------------------------------------------------
// Append

TEST_F(WorkflowDataTest, AppendIsOfferedOnAOneFileTypeOnlyWithAnEarlierQTarget)
{
    writeIqw(file("in.iqw"), ramp(4, 0.0f));
    MainWindow &w = open();
    load(kIqwPairs, file("in.iqw"));
    chooseSaveType(kIqwPairs);
    pick("Save_I", file("out.iqw"));
    EXPECT_TRUE(enabled("Save_Sav"));
    EXPECT_FALSE(enabled("Save_App")) << "no Q append target yet";

    chooseSaveType(kMathcadSingle);
    pick("Save_I", file("out.i"));
    EXPECT_TRUE(enabled("Save_App"));
    chooseSaveType(kIqwPairs);
    EXPECT_TRUE(w.workspace().state().appendQChosen);
    EXPECT_TRUE(enabled("Save_App")) << "the Q flag survives the type change";

    // The hexadecimal files are read back too, so they can be appended to.
    for (int hexRow : {20, 21, 22}) {
        chooseSaveType(hexRow);
        EXPECT_TRUE(enabled("Save_App")) << hexRow;
    }
}

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

TEST_F(WorkflowDataTest, GuardLongerThanTheAppendedRecordIsRefused)
{
    writeIqw(file("out.iqw"), ramp(5, 10.0f));
    writeIqw(file("in.iqw"), ramp(2, 0.0f));
    open();
    chooseAppendableOneFileDestination(kIqwPairs, file("out.iqw"));
    load(kIqwPairs, file("in.iqw"));
    pick("Save_I", file("out.iqw"));
    child<QSpinBox>("Save_Grd")->setValue(3);
    click("Save_App");
    ASSERT_EQ(dialogs->boxes.size(), 1);
    EXPECT_EQ(dialogs->boxes[0].title, QStringLiteral("Error"));
    EXPECT_EQ(dialogs->boxes[0].text,
              QStringLiteral("Guard Samples exceed the samples to append."));
    EXPECT_EQ(QFile(file("out.iqw")).size(), 5 * 8) << "the destination is untouched";

    dialogs->boxes.clear();
    child<QSpinBox>("Save_Grd")->setValue(2);
    click("Save_App");
    EXPECT_TRUE(dialogs->boxes.isEmpty());
    EXPECT_EQ(QFile(file("out.iqw")).size(), (5 + 2 + 2) * 8);
}

TEST_F(WorkflowDataTest, AppendThatCannotReadTheDestinationSaysSoNotMemory)
{
    writeIqw(file("in.iqw"), ramp(3, 0.0f));
    MainWindow &w = open();
    chooseAppendableOneFileDestination(kIqwPairs, file("absent.iqw"));
    load(kIqwPairs, file("in.iqw"));
    pick("Save_I", file("absent.iqw"));
    click("Save_App");
    ASSERT_EQ(dialogs->boxes.size(), 1);
    EXPECT_EQ(dialogs->boxes[0].title, QStringLiteral("Error"));
    EXPECT_EQ(dialogs->boxes[0].text, QStringLiteral("File Append Error."));
    EXPECT_FALSE(w.workspace().state().outOfMemory);
    EXPECT_FALSE(QFile::exists(file("absent.iqw")));
}

// ---------------------------------------------------------------------------------------
// Copy IQ

TEST_F(WorkflowDataTest, CopyIsOfferedOnlyBetweenTheConvertibleTypes)
{
    writeIqw(file("in.iqw"), ramp(3, 0.0f));
    open();
    chooseLoadType(kIqwPairs);
    pick("Load_I", file("in.iqw"));
    chooseSaveType(kWvSave);
    pick("Save_I", file("out.wv"));
    EXPECT_TRUE(enabled("Load_Cpy")) << "IQW converts in chunks";
    chooseSaveType(kMathcadSingle);
    pick("Save_I", file("out.i"));
    EXPECT_FALSE(enabled("Load_Cpy")) << "a text type is written only whole";
    chooseSaveType(kWvSave);
    pick("Save_I", file("out.wv"));

    chooseLoadType(kWvLoad);
    EXPECT_FALSE(enabled("Load_Cpy")) << "the type change forgot the source file";
    pick("Load_I", file("in.wv"));
    EXPECT_TRUE(enabled("Load_Cpy"));
    for (int row : {kWavMixed, kRawRecording, kWvSave}) {
        chooseSaveType(row);
        pick("Save_I", file("out.x"));
        EXPECT_TRUE(enabled("Load_Cpy")) << row;
    }
    chooseSaveType(kMathcadSingle);
    pick("Save_I", file("out.i"));
    EXPECT_FALSE(enabled("Load_Cpy"));
}

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

TEST_F(WorkflowDataTest, CopyFailuresUseTheLoadMessages)
{
    QFile f(file("secret.wv"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("{TYPE: SMU-WV, 0}{SAMPLES: 2}{WWAVEFORM-9:#");
    f.write(QByteArray(8, '\x11'));
    f.close();
    MainWindow &w = open();
    chooseLoadType(kWvLoad);
    pick("Load_I", file("secret.wv"));
    chooseSaveType(kWavMixed);
    pick("Save_I", file("out.wav"));
    click("Load_Cpy");
    ASSERT_EQ(dialogs->boxes.size(), 1);
    EXPECT_EQ(dialogs->boxes[0].title, QStringLiteral("Warning"));
    EXPECT_EQ(dialogs->boxes[0].text, QStringLiteral("The file ") + file("secret.wv")
                                              + QStringLiteral(" is scrambled. Load aborted."));
    EXPECT_FALSE(QFile::exists(file("out.wav")));

    pick("Load_I", file("missing.wv"));
    click("Load_Cpy");
    ASSERT_EQ(dialogs->boxes.size(), 2);
    EXPECT_EQ(dialogs->boxes[1].title, QStringLiteral("Error"));
    EXPECT_EQ(dialogs->boxes[1].text, QStringLiteral("File Load Error."));
    EXPECT_FALSE(w.workspace().state().dataValid);
    EXPECT_FALSE(w.workspace().state().newState);
}
