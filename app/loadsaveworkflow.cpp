// The Load tab and the Save group of the main window: choosing files and types, Load,
// Copy IQ, Save and Append, and the rules that enable their buttons.
#include "chunkedcopy.h"
#include "dispatch.h"
#include "filechoice.h"
#include "filestatustable.h"
#include "filetypes.h"
#include "mainwindow.h"
#include "saveprogress.h"
#include "tracerules.h"
#include "ui_mainwindow.h"
#include "verifyprogressdialog.h"
#include "workflowdialogs.h"

#include <QStatusBar>

#include <algorithm>

namespace {

// Samples a Save is offered for right after a load; Append and Copy are not limited.
constexpr int64_t kMaxSaveAfterLoad = 50000000;
constexpr int kStatusMs = 1000;

// "I" and "Q" on a two-file type; "IQ" and a disabled, empty Q button on a one-file type.
void showFileButtons(QPushButton *iButton, QPushButton *qButton, bool twoFile)
{
    iButton->setText(twoFile ? QStringLiteral("I") : QStringLiteral("IQ"));
    qButton->setEnabled(twoFile);
    qButton->setText(twoFile ? QStringLiteral("Q") : QString());
}

bool appendableSaveRow(int row)
{
    return FileTypeTable::saveRow(row).can(RowAbility::Append);
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

bool MainWindow::loadIsTwoFile() const
{
    return FileTypeTable::loadRow(sourceRecord.typeIndex).fileCount == 2;
}

bool MainWindow::saveIsTwoFile() const
{
    return FileTypeTable::saveRow(targetRecord.typeIndex).fileCount == 2;
}

bool MainWindow::sourceChosen() const
{
    return loadIChosen && (!loadIsTwoFile() || loadQChosen);
}

bool MainWindow::destinationChosen() const
{
    return saveIChosen && (!saveIsTwoFile() || saveQChosen);
}

void MainWindow::showDataValid()
{
    ui->DVal->setChecked(dataValid);
    ui->Spec->setEnabled(dataValid);
    ui->IvsQ->setEnabled(dataValid);
    ui->GDel->setEnabled(dataValid);
}

// ---------------------------------------------------------------------------------------
// Refresh (the Load tab part of UpdPnl, and the Save group for either tab)

void MainWindow::refreshLoadTab()
{
    // Not blocked: a changed index runs the type slot, which forgets the chosen files.
    ui->Load_Typ->setCurrentIndex(sourceRecord.typeIndex);
    ui->Load_SRat->setValue(sourceRecord.sampleRate);
    ui->Load_Cnt->setEnabled(dataValid);
    showFileButtons(ui->Load_I, ui->Load_Q, loadIsTwoFile());
    ui->Load_Di->setText(sourceRecord.iFileName);
    ui->Load_Dq->setText(sourceRecord.qFileName);
}

void MainWindow::refreshSaveGroup()
{
    showFileButtons(ui->Save_I, ui->Save_Q, saveIsTwoFile());
    ui->Save_Sav->setEnabled(destinationChosen() && dataValid && !outOfMemory);
    // Append and Copy follow their own rules here too, so a start-up that runs no type
    // slot does not leave them enabled with nothing chosen.
    ui->Save_App->setEnabled(appendIChosen && appendQChosen && dataValid
                             && appendableSaveRow(targetRecord.typeIndex));
    CopyPostAction();
    showDataValid();
    // The instrument's record length decides the count of a capture only; a loaded file
    // keeps its own.
    if (usesRecordLength(deviceType(settings.deviceType)) && sourceRecord.iqSource == 1)
        sourceRecord.sampleCount
                = TraceRules::recordLengthSamples(settings.recordLength, settings.sampleRate);
    ui->Load_Cnt->setValue(FileChoice::low32(sourceRecord.sampleCount));
}

void MainWindow::on_LodTrcIqr_currentChanged(int index)
{
    sourceRecord.iqSource = index;
    if (index == 1) {
        sourceRecord.sampleCount = ui->Trace_Ana_Cnt->value();
        UpdPnl(1);
    }
}

// ---------------------------------------------------------------------------------------
// Button rules

void MainWindow::LoadPostAction()
{
    ui->Load_Cnt->setEnabled(dataValid);
    ui->Save_Sav->setEnabled(destinationChosen() && dataValid
                             && sourceRecord.sampleCount <= kMaxSaveAfterLoad);
    CopyPostAction();
    ui->Load_Cnt->setValue(FileChoice::low32(sourceRecord.sampleCount));
    sourceRecord.sampleRate = ui->Load_SRat->value();
    showDataValid();
    newState = true;
    if (sourceRecord.iqSource == 1 && usesRecordLength(deviceType(settings.deviceType)))
        sourceRecord.sampleCount
                = TraceRules::recordLengthSamples(settings.recordLength, settings.sampleRate);
}

void MainWindow::SavePostAction()
{
    ui->Save_Sav->setEnabled(destinationChosen() && dataValid);
    ui->Save_App->setEnabled(appendIChosen && appendQChosen && dataValid
                             && appendableSaveRow(targetRecord.typeIndex));
    CopyPostAction();
}

// Copy converts only between the types the chunked conversion reads and writes; for any
// other pair the button stays disabled rather than write samples never read.
void MainWindow::CopyPostAction()
{
    const bool convertible
            = FileTypeTable::loadRow(sourceRecord.typeIndex).can(RowAbility::CopySource)
              && FileTypeTable::saveRow(targetRecord.typeIndex).can(RowAbility::CopyTarget);
    ui->Load_Cpy->setEnabled(sourceChosen() && destinationChosen() && convertible);
}

// ---------------------------------------------------------------------------------------
// Load tab

void MainWindow::on_Load_Typ_currentIndexChanged(int index)
{
    if (index < 0)
        return;  // the list is being emptied
    sourceRecord.typeIndex = index;
    showFileButtons(ui->Load_I, ui->Load_Q, loadIsTwoFile());
    sourceRecord.iFileName.clear();
    sourceRecord.qFileName.clear();
    ui->Load_Di->clear();
    ui->Load_Dq->clear();
    dataValid = false;
    loadIChosen = false;
    loadQChosen = false;
    sourceRecord.sampleCount = 0;
    newState = true;
    LoadPostAction();
}

void MainWindow::on_Load_I_clicked()
{
    loadIChosen = false;
    const FileTypeRow &row = FileTypeTable::loadRow(sourceRecord.typeIndex);
    sourceRecord.iFileName = workflowDialogs().openFileName(
            this, loadTitle(), sourceRecord.directory, FileChoice::dialogFilter(row, false));
    if (!sourceRecord.iFileName.isEmpty()) {
        ui->Load_Di->setText(sourceRecord.iFileName);
        loadIChosen = true;
        if (row.fileCount == 2) {
            const QString qName = FileTypeTable::loadQName(row, sourceRecord.iFileName);
            if (!qName.isEmpty()) {
                sourceRecord.qFileName = qName;
                ui->Load_Dq->setText(qName);
            }
        }
        dataValid = false;
        sourceRecord.sampleCount = 0;
    }
    LoadPostAction();
    sourceRecord.directory = FileChoice::folderOf(sourceRecord.iFileName);
}

void MainWindow::on_Load_Q_clicked()
{
    const FileTypeRow &row = FileTypeTable::loadRow(sourceRecord.typeIndex);
    sourceRecord.qFileName = workflowDialogs().openFileName(
            this, loadTitle(), sourceRecord.directory, FileChoice::dialogFilter(row, true));
    if (!sourceRecord.qFileName.isEmpty()) {
        ui->Load_Dq->setText(sourceRecord.qFileName);
        loadQChosen = true;
        dataValid = false;
        sourceRecord.sampleCount = 0;
    }
    LoadPostAction();
    sourceRecord.directory = FileChoice::folderOf(sourceRecord.qFileName);
}

// A rate typed into SRate/Hz is the record's rate at once: the plots and the generator
// software (told by newState) use it without a new load.
void MainWindow::on_Load_SRat_editingFinished()
{
    sourceRecord.sampleRate = ui->Load_SRat->value();
    LoadPostAction();
}

void MainWindow::reportFileFailure(FileOperation operation, IqStatus status,
                                   const QString &fileName, bool joinOutOfMemory)
{
    const FileFailureMessage m
            = fileFailureMessage(operation, status, fileName, lastFileFailure(), joinOutOfMemory);
    workflowDialogs().warning(this, m.title, m.headline, m.detail);
}

void MainWindow::on_Load_Lod_clicked()
{
    statusBar()->showMessage(sourceRecord.qFileName.isEmpty()
                                     ? QStringLiteral("Loading IQ file...")
                                     : QStringLiteral("Loading I and Q files..."),
                             kStatusMs);
    sourceRecord.sampleRate = ui->Load_SRat->value();
    sourceRecord.refLevel = static_cast<float>(ui->Load_RLev->value());
    clearFileFailure();
    IqStatus status;
    {
        const VerifyProgressDialog verifying(this, workflowDialogs());  // a long SigMF hash check
        status = loadIqFile(sourceRecord);
    }
    if (status != IqStatusCode::Ok) {
        reportFileFailure(FileOperation::Load, status, sourceRecord.iFileName);
        dataValid = false;
        newState = false;
    } else {
        dataValid = true;
        newState = true;
        ui->Load_Cnt->setValue(FileChoice::low32(sourceRecord.sampleCount));
        ui->Load_SRat->setValue(sourceRecord.sampleRate);
    }
    showDataValid();
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
    const int code = FileTypeTable::saveRow(targetRecord.typeIndex).typeCode;
    const VerifyProgressDialog verifying(this, workflowDialogs());  // a SigMF source's hash check
    return convertInChunks(sourceRecord, targetRecord.iFileName, targetRecord.qFileName, code, chunk,
                           progress, stop);
}

void MainWindow::on_Load_Cpy_clicked()
{
    statusBar()->showMessage(
            (sourceRecord.qFileName.isEmpty() ? QStringLiteral("Converting IQ file...")
                                              : QStringLiteral("Converting I and Q files..."))
            + QLatin1Char(' ')
            + (targetRecord.qFileName.isEmpty() ? QStringLiteral("to IQ file...")
                                                : QStringLiteral("to I and Q files...")));
    sourceRecord.sampleRate = ui->Load_SRat->value();
    sourceRecord.refLevel = static_cast<float>(ui->Load_RLev->value());
    bool cancelled = false;
    clearFileFailure();
    const IqStatus status = copyInChunks(cancelled);
    if (status == IqStatusCode::Ok) {
        ui->Load_Cnt->setValue(FileChoice::low32(sourceRecord.sampleCount));
        ui->Load_SRat->setValue(sourceRecord.sampleRate);
        // After more than one chunk the arrays hold the last chunk only: that is not the
        // file's data, so nothing may save, append, plot or serve it as such.
        if (sourceRecord.heldCount() < sourceRecord.sampleCount)
            dataValid = false;
    } else {
        if (!cancelled)
            reportFileFailure(FileOperation::Copy, status, sourceRecord.iFileName);
        dataValid = false;
        newState = false;
    }
    if (!dataValid) {
        ui->Save_Sav->setEnabled(false);
        ui->Save_App->setEnabled(false);
    }
    showDataValid();
    statusBar()->clearMessage();
    CopyPostAction();
}

// ---------------------------------------------------------------------------------------
// Save group

void MainWindow::on_Save_Typ_currentIndexChanged(int index)
{
    if (index < 0)
        return;  // the list is being emptied
    targetRecord.typeIndex = index;
    showFileButtons(ui->Save_I, ui->Save_Q, saveIsTwoFile());
    ui->Save_Di->clear();
    ui->Save_Dq->clear();
    saveIChosen = false;
    saveQChosen = false;
    SavePostAction();
}

void MainWindow::on_Save_I_clicked()
{
    saveIChosen = false;
    const FileTypeRow &row = FileTypeTable::saveRow(targetRecord.typeIndex);
    const QString name = workflowDialogs().saveFileName(this, saveTitle(), targetRecord.directory,
                                                        FileChoice::dialogFilter(row, false));
    targetRecord.iFileName = name;
    if (name.isEmpty()) {
        appendIChosen = false;
    } else {
        ui->Save_Di->setText(name);
        saveIChosen = true;
        scratchRecord.iFileName = name;
        appendIChosen = true;
        if (row.fileCount == 2 && row.qName == QNameRule::FromIName) {
            targetRecord.qFileName = FileTypeTable::saveQName(row, name);
            saveQChosen = true;
            ui->Save_Dq->setText(targetRecord.qFileName);
            scratchRecord.qFileName = targetRecord.qFileName;
            appendQChosen = true;
        }
    }
    SavePostAction();
    targetRecord.directory = FileChoice::folderOf(targetRecord.iFileName);
}

void MainWindow::on_Save_Q_clicked()
{
    targetRecord.qFileName.clear();
    saveQChosen = false;
    const FileTypeRow &row = FileTypeTable::saveRow(targetRecord.typeIndex);
    targetRecord.qFileName = workflowDialogs().saveFileName(
            this, saveTitle(), targetRecord.directory, FileChoice::dialogFilter(row, true));
    if (!targetRecord.qFileName.isEmpty()) {
        ui->Save_Dq->setText(targetRecord.qFileName);
        scratchRecord.qFileName = targetRecord.qFileName;
        saveQChosen = true;
        appendQChosen = true;
    }
    SavePostAction();
    targetRecord.directory = FileChoice::folderOf(targetRecord.qFileName);
}

void MainWindow::on_Save_Sav_clicked()
{
    statusBar()->showMessage(targetRecord.qFileName.isEmpty()
                                     ? QStringLiteral("Saving IQ file...")
                                     : QStringLiteral("Saving I and Q files..."),
                             kStatusMs);
    appendMode = false;
    guardCount = ui->Save_Grd->value();
    bool joinOutOfMemory = false;
    bool cancelled = false;
    clearFileFailure();
    const IqStatus status = saveWithProgress(workflowDialogs(), this, sourceRecord, scratchRecord,
                                             targetRecord, false, guardCount, joinOutOfMemory,
                                             cancelled);
    outOfMemory = outOfMemory || joinOutOfMemory;
    // A write that did not happen must not pass for one that did.
    if (cancelled)
        statusBar()->showMessage(QStringLiteral("The save was cancelled."), kStatusMs);
    else if (status != IqStatusCode::Ok)
        reportFileFailure(FileOperation::Save, status, targetRecord.iFileName);
    SavePostAction();
}

// Samples an Append adds: those the record holds (for a capture, what the instrument sent).
int64_t MainWindow::appendedCount() const
{
    return sourceRecord.heldCount();
}

void MainWindow::on_Save_App_clicked()
{
    appendMode = true;
    guardCount = ui->Save_Grd->value();
    // The guard repeats the end of the appended samples; there must be that many of them.
    if (guardCount > appendedCount()) {
        workflowDialogs().warning(this, QStringLiteral("Error"),
                                  QStringLiteral("Guard Samples exceed the samples to append."));
        SavePostAction();
        return;
    }
    bool joinOutOfMemory = false;
    bool cancelled = false;
    clearFileFailure();
    const IqStatus status = saveWithProgress(workflowDialogs(), this, sourceRecord, scratchRecord,
                                             targetRecord, true, guardCount, joinOutOfMemory,
                                             cancelled);
    outOfMemory = outOfMemory || joinOutOfMemory;
    if (cancelled)
        statusBar()->showMessage(QStringLiteral("The append was cancelled."), kStatusMs);
    else if (status != IqStatusCode::Ok)
        reportFileFailure(FileOperation::Append, status, targetRecord.iFileName, joinOutOfMemory);
    SavePostAction();
}
