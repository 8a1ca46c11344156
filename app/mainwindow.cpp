#include "mainwindow.h"

#include "aboutwindow.h"
#include "acquisitioncontrol.h"
#include "appidentity.h"
#include "fftgraph.h"
#include "filetypes.h"
#include "helpdocument.h"
#include "linkserver.h"
#include "pdfviewer.h"
#include "pontil.h"
#include "settingsfile.h"
#include "spectrogramwindow.h"
#include "stylesheet.h"
#include "tracedialogs.h"
#include "tracepanel.h"
#include "tracerules.h"
#include "ui_mainwindow.h"
#include "viewinput.h"
#include "visasession.h"
#include "workflowdialogs.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QStatusBar>
#include <QUrl>

#include <cstdlib>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
{
    construct(defaultConfigDir());
}

MainWindow::MainWindow(const QString &configDir, QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
{
    construct(configDir);
}

// Start-up order matters: the VISA library is chosen before the settings are read, the
// lists are filled before the panel shows the settings, and the resource manager is opened
// last, so a missing VISA runtime quits without having touched anything.
void MainWindow::construct(const QString &dir)
{
    prepareCommonLook();
    ui->setupUi(this);
    setStyleSheet(commonStyleSheet());  // the one text the dialogs and the plot window use too
    connect(ui->menuView, &QMenu::aboutToShow, this,
            [this] { ui->actionSpectrogram->setEnabled(work.actions().plots); });
    connect(ui->actionSpectrogram, &QAction::triggered, this, &MainWindow::showSpectrogram);
    // A destination typed into the Save fields counts as one chosen in the file dialog.
    connect(ui->Save_Di, &QLineEdit::textEdited, this, &MainWindow::saveIPathTyped);
    connect(ui->Save_Dq, &QLineEdit::textEdited, this, &MainWindow::saveQPathTyped);

    QMessageBox startupBoxParent;  // parent of the start-up error boxes; never shown
    if (!selectVisaLibrary())
        quitAtStartup(&startupBoxParent, tr("VISA driver!"),
                      tr("VISA driver not installed. Program quits."));

    configDir = dir;
    QDir().mkdir(configDir);  // one level: a missing parent is left to the settings writer
    StoredSettings stored = readStoredSettings(settingsFilePath(configDir));
    const QString clamps = clampMessage(TraceRules::normaliseLoaded(stored));
    IqBuffer storedSource, storedTarget;
    takeStoredSettings(stored, work.settings(), storedSource, storedTarget, tcpPort, connectTo,
                       windowX, windowY);
    work.takeStoredRecords(storedSource, storedTarget);
    keepLoadedValuesInRange();
    move(windowX, windowY);

    tracePanel = new TracePanel(*ui, work, this);
    connect(tracePanel, &TracePanel::refreshRequested, this,
            [this] { UpdPnl(ui->LodTrcIqr->currentIndex()); });
    connect(tracePanel, &TracePanel::actionsChanged, this, &MainWindow::showActions);
    acquisition = new AcquisitionControl(*ui, work, this);
    connect(acquisition, &AcquisitionControl::changed, this, &MainWindow::showActions);
    connect(acquisition, &AcquisitionControl::initialized, this, [this] {
        tracePanel->initFinished();
        UpdPnl(ui->LodTrcIqr->currentIndex());
    });
    connect(tracePanel, &TracePanel::clamped, this,
            [this](const QString &message) { statusBar()->showMessage(message); });
    connect(acquisition, &AcquisitionControl::traced, this, &MainWindow::refreshSaveGroup);
    // Not blocked: when a selection changes the index, the control's slot brings the
    // panel in line with it.
    ui->LodTrcIqr->setCurrentIndex(work.source().iqSource);
    FillComboBoxes();
    work.clearNewState();
    UpdPnl(work.source().iqSource);
    if (!clamps.isEmpty())
        statusBar()->showMessage(clamps);

    startLinkServer();
    if (openResourceManager() < 0)
        quitAtStartup(&startupBoxParent, tr("VISA Error!"),
                      tr("Please install VISA Runtime driver. Program quits."));
    connectLinkServer();
    connect(this, &MainWindow::remoteError, this, &MainWindow::remoteErrorCalled);
}

MainWindow::~MainWindow()
{
    // A running Init or Trace ends (cancelled, the instrument restored) before the settings
    // are written and the VISA connection closes.
    acquisition->finish();
    disconnectLinkServer();
    disconnect(this, &MainWindow::remoteError, this, &MainWindow::remoteErrorCalled);
    // The position the user left the window at, not the one it was opened at.
    StoredSettings stored = storedSettingsOf(work.settings(), work.source(), work.target(),
                                             tcpPort, connectTo, pos().x(), pos().y());
    TraceRules::nameTriggerChoice(stored);
    writeStoredSettings(settingsFilePath(configDir), stored);
    closeResourceManager();
    delete ui;
}

// A hand-edited or damaged file can hold indices no control has. Such a value counts as
// missing (the settings key's default): the window would otherwise show no selection and
// later lookups would run off their tables. The device type, the input, the tab and the
// other keys' limits are brought in line by TraceRules::normaliseLoaded, as trovik-cli does;
// these lists are the window's own.
void MainWindow::keepLoadedValuesInRange()
{
    const ProgramSettings defaults;
    if (connectTo < 0 || connectTo >= ui->ConnectTo->count())
        connectTo = defaults.connectTo;
    work.keepTypeIndicesInRange(defaults.sourceTypeIndex, defaults.destinationTypeIndex);
}

[[noreturn]] void MainWindow::quitAtStartup(QMessageBox *parent, const QString &title,
                                            const QString &text)
{
    QMessageBox::warning(parent, title, text, QMessageBox::Ok);
    std::exit(1);
}

// ---------------------------------------------------------------------------------------
// VISA through Pontil, and the link server's seams.

bool MainWindow::selectVisaLibrary()
{
    return ::selectVisaLibrary();
}

int32_t MainWindow::openResourceManager()
{
    return work.visa().open();
}

void MainWindow::closeResourceManager()
{
    work.visa().close();
}

// The link server creates `server` here and listens on the loopback port; without its
// request handling a listening socket would only leave clients hanging, so none is opened.
void MainWindow::startLinkServer()
{
    server = new LinkServer(linkSource, this);
    // A port that cannot be bound leaves the window running without a server, as before.
    server->listen(tcpPort);
    connect(server, &LinkServer::connectedChanged, ui->Conn, &QCheckBox::setChecked);
}

void MainWindow::connectLinkServer()
{
    if (server)
        server->acceptConnections();
}

void MainWindow::disconnectLinkServer()
{
    if (server)
        server->stopAcceptingConnections();
}

// ---------------------------------------------------------------------------------------
// Panel refresh. The Trace panel adds its lists and rules to these two.

void MainWindow::FillComboBoxes()
{
    BlkSignals(true);
    fillTypeLists();
    tracePanel->fillLists();
    BlkSignals(false);
}

// Refilling a list changes its current index; blocking keeps that from looking like a
// choice of the user.
void MainWindow::BlkSignals(bool block)
{
    QWidget *const lists[] = {ui->Load_Typ,         ui->Save_Typ,         ui->Trace_Ana_Rbw,
                              ui->Trace_Ana_RbwTxt, ui->Trace_Ana_SRat,   ui->Trace_Ana_SRatTxt,
                              ui->Trace_Ana_TrgMod, ui->Trace_Ana_TrgSlp, ui->Trace_Ana_IQInp};
    for (QWidget *w : lists)
        w->blockSignals(block);
}

void MainWindow::fillTypeLists()
{
    ui->Load_Typ->clear();
    for (int i = 0; i < FileTypeTable::loadCount(); ++i)
        ui->Load_Typ->addItem(FileTypeTable::label(FileTypeTable::loadRow(i)), i);
    ui->Save_Typ->clear();
    for (int i = 0; i < FileTypeTable::saveCount(); ++i)
        ui->Save_Typ->addItem(FileTypeTable::label(FileTypeTable::saveRow(i)), i);
    ui->Save_Typ->setCurrentIndex(ui->Save_Typ->findData(work.target().typeIndex));
}

void MainWindow::UpdPnl(int tab)
{
    ui->Port->setValue(tcpPort);
    ui->ConnectTo->setCurrentIndex(connectTo);
    if (tab == 0)
        refreshLoadTab();
    else
        tracePanel->refresh();
    refreshSaveGroup();
}

// The Save group's fields take what the user types as the dialog's answer would be taken:
// the destination, Append's target and, on a two-file type, the Q name that follows the I one.
void MainWindow::saveIPathTyped(const QString &text)
{
    if (work.typeSaveI(text))
        ui->Save_Dq->setText(work.target().qFileName);
    SavePostAction();
}

void MainWindow::saveQPathTyped(const QString &text)
{
    work.typeSaveQ(text);
    SavePostAction();
}

// ---------------------------------------------------------------------------------------
// Slots

void MainWindow::on_actionContents_triggered()
{
    // The working directory first, then the program's own folder and its installed docs.
    const QString found = findHelpDocument();
    if (found.isEmpty()) {
        const QString installed = QDir::cleanPath(QCoreApplication::applicationDirPath()
                                                  + QStringLiteral("/../share/doc/trovik"));
        tellHelpUnavailable(
                QStringLiteral("The manual %1 was not found in the working folder, beside the "
                               "program or in %2.")
                        .arg(QString::fromLatin1(AppIdentity::helpFile),
                             QDir::toNativeSeparators(installed)));
        return;
    }
    if (desktopHasPdfViewer() && QDesktopServices::openUrl(QUrl::fromLocalFile(found)))
        return;
    tellHelpUnavailable(QStringLiteral("No program to show PDF files is installed, so the manual "
                                       "cannot be opened here. Open it with any PDF reader:\n\n%1")
                                .arg(QDir::toNativeSeparators(found)));
}

// Not modal, and the text can be selected: the user copies the path and goes on working.
void MainWindow::tellHelpUnavailable(const QString &text)
{
    auto *box = new QMessageBox(QMessageBox::Information, QStringLiteral("Help"), text,
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

void MainWindow::on_actionAbout_triggered()
{
    using namespace AppIdentity;
    AboutWindow about(QString::fromLatin1(applicationName), QString::fromLatin1(productName),
                      QString::fromLatin1(version), QString::fromLatin1(releaseDate),
                      QString::fromLatin1(applicationNote));
    about.exec();
}

// The generator link's controls. Both leave the connection open; the new port is saved
// with the settings and used from the next start.
void MainWindow::on_ConnectTo_currentIndexChanged(int index)
{
    work.clearNewState();
    ui->Conn->setChecked(false);
    connectTo = index;
}

void MainWindow::on_Port_editingFinished()
{
    work.clearNewState();
    ui->Conn->setChecked(false);
    tcpPort = ui->Port->value();
}

// The spectrogram shares the record's samples and stops its worker when closed; like the
// plot window it is offered only while the data are valid.
void MainWindow::showSpectrogram()
{
    if (!work.actions().plots)
        return;
    prepareCommonLook();
    const ViewInput in = chooseViewInput(work.source(), DisplayMode::Spectrum);
    SpectrogramWindow window(work.source(), in.sampleRate);
    window.setStyleSheet(commonStyleSheet());
    window.exec();
}

void MainWindow::on_Spec_clicked()
{
    showPlot(DisplayMode::Spectrum);
}

void MainWindow::on_IvsQ_clicked()
{
    showPlot(DisplayMode::IvsQ);
}

void MainWindow::on_GDel_clicked()
{
    showPlot(DisplayMode::Phase);
}

// The plot window reads sourceRecord in place; being modal, it keeps the record unchanged
// while it is open.
void MainWindow::showPlot(DisplayMode mode)
{
    work.source().displayMode = mode;
    prepareCommonLook();
    FftGraph graph(&work.source(), nullptr, commonStyleSheet());
    graph.exec();
}

void MainWindow::setTraceDialogs(std::unique_ptr<TraceDialogs> dialogs)
{
    tracePanel->setDialogs(std::move(dialogs));
}

void MainWindow::remoteErrorCalled(KxRemoteException *exception)
{
    QMessageBox::critical(this, tr("Error"), exception->message(), QMessageBox::Ok);
}

// ---------------------------------------------------------------------------------------
// Generator link: the server answers its client by itself; these run the same steps on demand.

void MainWindow::sendToLoomwave(SERVER_MESSAGE_HEADER_TYPE type, float value)
{
    server->sendToLoomwave(type, value);
}

void MainWindow::sendServerID()
{
    server->sendServerID();
}

void MainWindow::sendNewState()
{
    server->sendNewState();
}

void MainWindow::sendSymbolrate()
{
    server->sendSymbolrate();
}

void MainWindow::sendSequenceLength()
{
    server->sendSequenceLength();
}

void MainWindow::sendSymbols()
{
    server->sendSymbols();
}

void MainWindow::new_connection()
{
    server->new_connection();
}

void MainWindow::read_connection()
{
    server->read_connection();
}

void MainWindow::disconnected()
{
    server->disconnected();
}
