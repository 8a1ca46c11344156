// The file-type table through the window: Append offered exactly where trovik-cli
// append accepts it (and there the file then holds n + g + m samples), and the SigMF hash check's
// progress.
#include "dispatch.h"
#include "filefailure.h"
#include "filetypes.h"
#include "sigmf.h"
#include "verifyprogressdialog.h"
#include "workflowfixture.h"

#include <QProcess>
#include <QSpinBox>

namespace {

constexpr int kN = 5, kG = 2, kM = 4;
constexpr int kIqwPairs = 18;
constexpr int kMathcadSingle = 4;

int loadRowOf(int saveIndex)
{
    for (int i = 0; i < FileTypeTable::loadCount(); ++i)
        if (FileTypeTable::loadRow(i).typeCode == FileTypeTable::saveRow(saveIndex).typeCode)
            return i;
    return -1;
}

struct Destination
{
    QString i, q;
};

void saveExisting(int saveIndex, const Destination &d)
{
    saveRecord(rampRecord(kN, 1.0f), saveIndex, d.i, d.q);
}

int64_t countIn(int saveIndex, const Destination &d)
{
    return loadRecord(loadRowOf(saveIndex), d.i, d.q).sampleCount;
}

class FileTypeWorkflow : public WorkflowTest
{
protected:
    Destination destination(const char *prefix, int s) const
    {
        const FileTypeRow &row = FileTypeTable::saveRow(s);
        const QString i = file(QStringLiteral("%1%2.i").arg(QLatin1String(prefix)).arg(s));
        return {i, row.fileCount == 2
                           ? file(QStringLiteral("%1%2.qq").arg(QLatin1String(prefix)).arg(s))
                           : QString()};
    }

    bool cliAppends(int s, const Destination &d)
    {
        QStringList args = {QStringLiteral("append"),
                            QStringLiteral("--from"),
                            QStringLiteral("iqw-pairs"),
                            QStringLiteral("--in"),
                            file(QStringLiteral("in.iqw")),
                            QStringLiteral("--to"),
                            QLatin1String(FileTypeTable::saveRow(s).key),
                            QStringLiteral("--out"),
                            d.i,
                            QStringLiteral("--guard"),
                            QString::number(kG)};
        if (!d.q.isEmpty())
            args << QStringLiteral("--out-q") << d.q;
        QProcess p;
        p.start(QStringLiteral(TROVIK_CLI), args);
        return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit
               && p.exitCode() == 0;
    }

    // Chooses the destination on the Save group the way a user would; true when Append is offered.
    bool windowOffersAppend(int s, const Destination &d)
    {
        chooseSaveType(kMathcadSingle);  // a Q append target, which outlives the type change
        pick("Save_I", file(QStringLiteral("unused.i")));
        chooseSaveType(s);
        pick("Save_I", d.i);
        if (!d.q.isEmpty())
            pick("Save_Q", d.q);
        return enabled("Save_App");
    }
};

}  // namespace

TEST_F(FileTypeWorkflow, WindowCliAndFileAgreeOnEverySaveRow)
{
    saveRecord(rampRecord(kM, -2.0f), kIqwPairs, file(QStringLiteral("in.iqw")));

    open();
    chooseLoadType(kIqwPairs);
    pick("Load_I", file(QStringLiteral("in.iqw")));
    click("Load_Lod");
    child<QSpinBox>("Save_Grd")->setValue(kG);
    for (int s = 0; s < FileTypeTable::saveCount(); ++s) {
        const FileTypeRow &row = FileTypeTable::saveRow(s);
        SCOPED_TRACE(row.key);
        const Destination byWindow = destination("w", s), byCli = destination("c", s);
        saveExisting(s, byWindow);
        saveExisting(s, byCli);
        ASSERT_EQ(countIn(s, byWindow), kN);

        const bool offered = windowOffersAppend(s, byWindow);
        if (offered) {
            click("Save_App");
            EXPECT_TRUE(dialogs->boxes.isEmpty());
        }
        const bool accepted = cliAppends(s, byCli);
        EXPECT_EQ(offered, row.can(RowAbility::Append));
        EXPECT_EQ(accepted, offered);
        const int64_t expected = offered ? kN + kG + kM : kN;
        EXPECT_EQ(countIn(s, byWindow), expected);
        EXPECT_EQ(countIn(s, byCli), expected);
    }
}

// The hash check of a SigMF load shows the window's progress dialog once it runs long (here at
// once), and its Cancel stops the load.
TEST_F(FileTypeWorkflow, SigmfHashCheckShowsProgressAndCancelStopsTheLoad)
{
    IqBuffer r;
    ASSERT_EQ(allocateSamples(r, 1000000), IqStatus::Ok);
    r.sampleCount = 1000000;  // two of the check's blocks
    const QString meta = file(QStringLiteral("big.sigmf-meta"));
    ASSERT_EQ(writeFileOfType(r, TypeCode::Sigmf, meta, QString()), IqStatus::Ok);
    open();
    IqBuffer load;
    load.typeIndex = 33;
    load.iFileName = meta;
    {
        const VerifyProgressDialog verifying(window.get(), *dialogs, 0);
        ASSERT_EQ(loadIqFile(load), IqStatus::Ok);
    }
    EXPECT_EQ(dialogs->progressText,
              QStringLiteral("Checking the SigMF data against its SHA-512..."));
    EXPECT_EQ(dialogs->progressTotal, 8000000);
    ASSERT_FALSE(dialogs->progressSteps.isEmpty());
    EXPECT_EQ(dialogs->progressSteps.back(), 8000000);

    dialogs->progressSteps.clear();
    dialogs->cancelAtStep = 0;
    {
        const VerifyProgressDialog verifying(window.get(), *dialogs, 0);
        clearFileFailure();
        EXPECT_EQ(loadIqFile(load), IqStatus::FirstFile);
    }
    EXPECT_EQ(dialogs->progressSteps.size(), 1);
    EXPECT_EQ(lastFileFailure().reason, QStringLiteral("the SHA-512 check was cancelled"));
    EXPECT_TRUE(load.iData.isNull());
}
