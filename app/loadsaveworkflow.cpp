// The Load tab and the Save group of the main window: choosing files and types, Load,
// Copy IQ, Save and Append, and the rules that enable their buttons.
#include "filechoice.h"
#include "filestatustable.h"
#include "filetypes.h"
#include "mainwindow.h"
#include "saveprogress.h"
#include "ui_mainwindow.h"
#include "verifyprogressdialog.h"
#include "workflowdialogs.h"

#include <QStatusBar>

namespace {

constexpr int kStatusMs = 1000;

// "I" and "Q" on a two-file type; "IQ" and an empty Q button on a one-file type.
void showFileButtons(QPushButton *iButton, QPushButton *qButton, bool twoFile)
{
    iButton->setText(twoFile ? QStringLiteral("I") : QStringLiteral("IQ"));
    qButton->setEnabled(twoFile);
    qButton->setText(twoFile ? QStringLiteral("Q") : QString());
}

QString loadTitle()
{
    return QStringLiteral("Load File");
}

QString saveTitle()
{
    return QStringLiteral("Save File");
}

}  // namespace

void MainWindow::setWorkflowDialogs(std::unique_ptr<WorkflowDialogs> replacement)
{
    dialogs = std::move(replacement);
}

WorkflowDialogs &MainWindow::workflowDialogs()
{
    if (!dialogs)
        dialogs = std::make_unique<StandardWorkflowDialogs>();
    return *dialogs;
}

// ---------------------------------------------------------------------------------------
// The workspace's actions on the widgets: the only place they are enabled.

void MainWindow::showActions()
{
    const WorkspaceActions a = work.actions();
    ui->Load->setEnabled(a.loadTab);
    ui->Trace->setEnabled(a.traceTab);
    showFileButtons(ui->Load_I, ui->Load_Q, a.loadTwoFile);
    showFileButtons(ui->Save_I, ui->Save_Q, a.saveTwoFile);
    ui->Load_Cnt->setEnabled(a.loadCount);
    ui->Load_Lod->setEnabled(a.load);
    ui->Load_Cpy->setEnabled(a.copy);
    ui->Save_Sav->setEnabled(a.save);
    ui->Save_App->setEnabled(a.append);
    for (QWidget *plot : {static_cast<QWidget *>(ui->Spec), static_cast<QWidget *>(ui->IvsQ),
                          static_cast<QWidget *>(ui->GDel)})
        plot->setEnabled(a.plots);
    ui->actionSpectrogram->setEnabled(a.plots);
    ui->DVal->setChecked(a.dataValid);
    ui->DVal->setEnabled(a.dataValidBox);
    ui->Trace_Init->setEnabled(a.init);
    ui->Trace_Trc->setEnabled(a.trace);
}

void MainWindow::showCount()
{
    ui->Load_Cnt->setValue(FileChoice::low32(work.source().sampleCount));
}

// ---------------------------------------------------------------------------------------
// Refresh (the Load tab part of UpdPnl, and the Save group for either tab)

void MainWindow::refreshLoadTab()
{
    // Not blocked: a changed index runs the type slot, which forgets the chosen files.
    ui->Load_Typ->setCurrentIndex(work.source().typeIndex);
    ui->Load_SRat->setValue(work.source().sampleRate);
    ui->Load_Di->setText(work.source().iFileName);
    ui->Load_Dq->setText(work.source().qFileName);
    showActions();
}

void MainWindow::refreshSaveGroup()
{
    work.releaseWrites();
    work.followRecordLength();
    showActions();
    showCount();
}

void MainWindow::on_LodTrcIqr_currentChanged(int index)
{
    work.showTab(index, ui->Trace_Ana_Cnt->value());
    if (index == 1)
        UpdPnl(1);
}

// ---------------------------------------------------------------------------------------
// After a change: the Load side takes the rate shown in SRate/Hz; each shows the actions.

void MainWindow::LoadPostAction()
{
    work.setSampleRate(ui->Load_SRat->value());
    showActions();
    showCount();
}

void MainWindow::SavePostAction()
{
    showActions();
}

void MainWindow::CopyPostAction()
{
    showActions();
}

// ---------------------------------------------------------------------------------------
// Load tab

void MainWindow::on_Load_Typ_currentIndexChanged(int index)
{
    if (index < 0)
        return;  // the list is being emptied
    work.chooseLoadType(index);
    ui->Load_Di->clear();
    ui->Load_Dq->clear();
    LoadPostAction();
}

void MainWindow::on_Load_I_clicked()
{
    const FileTypeRow &row = FileTypeTable::loadRow(work.source().typeIndex);
    const QString name = workflowDialogs().openFileName(this, loadTitle(), work.source().directory,
                                                        FileChoice::dialogFilter(row, false));
    // A cancelled dialog leaves the field showing the previous path.
    if (!name.isEmpty())
        ui->Load_Di->setText(name);
    if (work.chooseLoadI(name))
        ui->Load_Dq->setText(work.source().qFileName);
    LoadPostAction();
}

void MainWindow::on_Load_Q_clicked()
{
    const FileTypeRow &row = FileTypeTable::loadRow(work.source().typeIndex);
    const QString name = workflowDialogs().openFileName(this, loadTitle(), work.source().directory,
                                                        FileChoice::dialogFilter(row, true));
    if (!name.isEmpty())
        ui->Load_Dq->setText(name);
    work.chooseLoadQ(name);
    LoadPostAction();
}

// A rate typed into SRate/Hz is the record's rate at once: the plots and the generator
// software (told by newState) use it without a new load.
void MainWindow::on_Load_SRat_editingFinished()
{
    LoadPostAction();
}

void MainWindow::reportFileFailure(FileOperation operation, IqStatus status,
                                   const QString &fileName)
{
    const FileFailureMessage m = fileFailureMessage(operation, status, fileName, lastFileFailure());
    workflowDialogs().warning(this, m.title, m.headline, m.detail);
}

IqStatus MainWindow::loadWithVerify()
{
    const VerifyProgressDialog verifying(this, workflowDialogs());  // a long SigMF hash check
    return work.load(ui->Load_SRat->value(), static_cast<float>(ui->Load_RLev->value()));
}

void MainWindow::on_Load_Lod_clicked()
{
    statusBar()->showMessage(work.source().qFileName.isEmpty()
                                     ? QStringLiteral("Loading IQ file...")
                                     : QStringLiteral("Loading I and Q files..."),
                             kStatusMs);
    const IqStatus status = loadWithVerify();
    if (status != IqStatus::Ok) {
        reportFileFailure(FileOperation::Load, status, work.source().iFileName);
    } else {
        showCount();
        ui->Load_SRat->setValue(work.source().sampleRate);
    }
    LoadPostAction();
}

// Shows a cancellable progress dialog once a conversion needs more than one chunk.
IqStatus MainWindow::copyInChunks(bool &cancelled)
{
    const int64_t chunk = copyChunkSamples > 0 ? copyChunkSamples : kDefaultChunkSamples;
    const QString text = statusBar()->currentMessage();
    std::unique_ptr<CopyProgressView> view;
    const CopyProgress progress = [&](int64_t done, int64_t total) {
        if (total <= chunk || cancelled)
            return;
        if (!view)
            view = workflowDialogs().copyProgress(this, text, total);
        cancelled = !view->advance(done, total);
    };
    const CopyCancelled stop = [&cancelled] { return cancelled; };
    const VerifyProgressDialog verifying(this, workflowDialogs());  // a SigMF source's hash check
    return work.copy(ui->Load_SRat->value(), static_cast<float>(ui->Load_RLev->value()), chunk,
                     progress, stop);
}

void MainWindow::on_Load_Cpy_clicked()
{
    statusBar()->showMessage(
            (work.source().qFileName.isEmpty() ? QStringLiteral("Converting IQ file...")
                                               : QStringLiteral("Converting I and Q files..."))
            + QLatin1Char(' ')
            + (work.target().qFileName.isEmpty() ? QStringLiteral("to IQ file...")
                                                 : QStringLiteral("to I and Q files...")));
    bool cancelled = false;
    const IqStatus status = copyInChunks(cancelled);
    if (status == IqStatus::Ok) {
        showCount();
        ui->Load_SRat->setValue(work.source().sampleRate);
    } else if (!cancelled) {
        reportFileFailure(FileOperation::Copy, status, work.source().iFileName);
    }
    statusBar()->clearMessage();
    CopyPostAction();
}

// ---------------------------------------------------------------------------------------
// Save group

void MainWindow::on_Save_Typ_currentIndexChanged(int index)
{
    if (index < 0)
        return;  // the list is being emptied
    work.chooseSaveType(index);
    ui->Save_Di->clear();  // the stored names stay
    ui->Save_Dq->clear();
    SavePostAction();
}

void MainWindow::on_Save_I_clicked()
{
    const FileTypeRow &row = FileTypeTable::saveRow(work.target().typeIndex);
    const QString name = workflowDialogs().saveFileName(this, saveTitle(), work.target().directory,
                                                        FileChoice::dialogFilter(row, false));
    if (!name.isEmpty())
        ui->Save_Di->setText(name);
    if (work.chooseSaveI(name))
        ui->Save_Dq->setText(work.target().qFileName);
    SavePostAction();
}

void MainWindow::on_Save_Q_clicked()
{
    const FileTypeRow &row = FileTypeTable::saveRow(work.target().typeIndex);
    const QString name = workflowDialogs().saveFileName(this, saveTitle(), work.target().directory,
                                                        FileChoice::dialogFilter(row, true));
    if (!name.isEmpty())
        ui->Save_Dq->setText(name);
    work.chooseSaveQ(name);
    SavePostAction();
}

SaveRun MainWindow::saveRunWithProgress()
{
    return [this](IqBuffer &source, IqBuffer &scratch, IqBuffer &target, bool append,
                  int32_t guardCount) {
        return saveWithProgress(workflowDialogs(), this, source, scratch, target, append,
                                guardCount);
    };
}

// A write that did not happen must not pass for one that did.
void MainWindow::finishWrite(FileOperation operation, const SaveOutcome &outcome)
{
    if (outcome.guardTooLong)
        workflowDialogs().warning(this, QStringLiteral("Error"),
                                  QStringLiteral("Guard Samples exceed the samples to append."));
    else if (outcome.status == IqStatus::Cancelled)
        statusBar()->showMessage(operation == FileOperation::Append
                                         ? QStringLiteral("The append was cancelled.")
                                         : QStringLiteral("The save was cancelled."),
                                 kStatusMs);
    else if (outcome.status != IqStatus::Ok)
        reportFileFailure(operation, outcome.status, work.target().iFileName);
    SavePostAction();
}

void MainWindow::on_Save_Sav_clicked()
{
    statusBar()->showMessage(work.target().qFileName.isEmpty()
                                     ? QStringLiteral("Saving IQ file...")
                                     : QStringLiteral("Saving I and Q files..."),
                             kStatusMs);
    const SaveOutcome outcome = work.save(ui->Save_Grd->value(), saveRunWithProgress());
    finishWrite(FileOperation::Save, outcome);
}

void MainWindow::on_Save_App_clicked()
{
    const SaveOutcome outcome = work.append(ui->Save_Grd->value(), saveRunWithProgress());
    finishWrite(FileOperation::Append, outcome);
}
