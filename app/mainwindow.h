#pragma once

#include "kxremoteexception.h"
#include "linkprotocol.h"
#include "linksource.h"
#include "workspace.h"

#include <QMainWindow>
#include <QString>

#include <memory>

class LinkServer;
class QMessageBox;
class TraceDialogs;
class TracePanel;
class AcquisitionControl;
class WorkflowDialogs;
enum class FileOperation;

namespace Ui {
class MainWindow;
}

// The program's one window. It owns, for the whole run, the workspace (the three I/Q records,
// the settings, the VISA connection and the rules of what is enabled) and the generator link
// server; it shows the workspace's actions on its widgets and hands the user's choices to it.
// The settings file is read once in the constructor and written once in the destructor, from
// the position the window is at.
//
// Slots are declared in the order the meta-object exposes them. The instrument panel, the
// load/save workflow, the plot buttons and the link server add their slots at the places
// marked below; until they do, the window starts and runs without them.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    // Keeps the settings file in configDir instead of the per-user data folder.
    explicit MainWindow(const QString &configDir, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Replaces the file dialogs, message boxes and progress dialog of the load/save workflow.
    void setWorkflowDialogs(std::unique_ptr<WorkflowDialogs> dialogs);
    // Replaces the Trace tab's analog and digital I/Q dialogs.
    void setTraceDialogs(std::unique_ptr<TraceDialogs> dialogs);
    // Copy IQ's chunk; 0 (the default) is the conversion's own size.
    void setCopyChunkSamples(int64_t samples) { copyChunkSamples = samples; }

    // The state and rules the window shows.
    const Workspace &workspace() const { return work; }
    Workspace &workspace() { return work; }

signals:
    void remoteError(KxRemoteException *exception);

public slots:
    void FillComboBoxes();
    void BlkSignals(bool block);
    void UpdPnl(int tab);

private slots:
    void on_actionContents_triggered();
    void on_actionAbout_triggered();
    void on_ConnectTo_currentIndexChanged(int index);
    void on_Port_editingFinished();
    void on_Spec_clicked();
    void on_IvsQ_clicked();
    void on_GDel_clicked();
    // The Trace basics go here.
    void on_Save_Typ_currentIndexChanged(int index);
    void on_LodTrcIqr_currentChanged(int index);
    void LoadPostAction();
    void on_Load_Typ_currentIndexChanged(int index);
    void on_Load_I_clicked();
    void on_Load_Q_clicked();
    void on_Load_SRat_editingFinished();
    void on_Load_Lod_clicked();
    void CopyPostAction();
    void on_Load_Cpy_clicked();
    void SavePostAction();
    void on_Save_I_clicked();
    void on_Save_Q_clicked();
    void on_Save_App_clicked();
    void on_Save_Sav_clicked();
    // The Trace tab's controls are connected by TracePanel.
    // The link server's messages and connection events; the server runs them itself.
    void sendToLoomwave(SERVER_MESSAGE_HEADER_TYPE type, float value);
    void sendServerID();
    void sendNewState();
    void sendSymbolrate();
    void sendSequenceLength();
    void sendSymbols();
    void new_connection();
    void read_connection();
    void disconnected();
    void remoteErrorCalled(KxRemoteException *exception);

private:
    void construct(const QString &configDir);
    void keepLoadedValuesInRange();
    void fillTypeLists();
    void showSpectrogram();  // not a slot: the window's meta-object keeps its methods
    void showPlot(DisplayMode mode);
    void saveIPathTyped(const QString &text);  // not slots either: bound in construct()
    void saveQPathTyped(const QString &text);
    void tellHelpUnavailable(const QString &text);

    // Load tab and Save group (loadsaveworkflow.cpp).
    void refreshLoadTab();
    void refreshSaveGroup();
    // Mirrors the workspace's actions onto the widgets.
    void showActions();
    void showCount();
    void finishWrite(FileOperation operation, const SaveOutcome &outcome);
    SaveRun saveRunWithProgress();
    // The status's box: its headline, and beneath it the file and the reason last noted.
    void reportFileFailure(FileOperation operation, IqStatus status, const QString &fileName);
    IqStatus copyInChunks(bool &cancelled);
    IqStatus loadWithVerify();
    WorkflowDialogs &workflowDialogs();

    // Seams completed by the VISA layer and the link server.
    bool selectVisaLibrary();
    int32_t openResourceManager();
    void closeResourceManager();
    void startLinkServer();
    void connectLinkServer();
    void disconnectLinkServer();
    [[noreturn]] static void quitAtStartup(QMessageBox *parent, const QString &title,
                                           const QString &text);

    Ui::MainWindow *ui = nullptr;
    Workspace work;
    // From the settings file at start-up (its key table holds the defaults).
    int windowX = 0;
    int windowY = 0;
    int tcpPort = 0;
    int connectTo = 0;
    QString configDir;
    TracePanel *tracePanel = nullptr;           // a child of the window
    AcquisitionControl *acquisition = nullptr;  // Init and Trace; a child of the window
    LinkServer *server = nullptr;               // holds the current client connection itself
    // What the server serves: the workspace's record and flags, read where they live.
    BoundLinkSource linkSource{work.source(), work.state().newState, work.state().dataValid,
                               connectTo};
    std::unique_ptr<WorkflowDialogs> dialogs;
    int64_t copyChunkSamples = 0;  // 0: the conversion's own chunk size
};
