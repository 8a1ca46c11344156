#pragma once

#include "appsettings.h"
#include "iqbuffer.h"
#include "kxremoteexception.h"

#include <QMainWindow>
#include <QString>

class QMessageBox;
class QTcpServer;
class QTcpSocket;

namespace Ui {
class MainWindow;
}

// The program's one window. It owns, for the whole run, the three I/Q records, the settings
// with the VISA handles, and the generator link server. The settings file is read once in
// the constructor and written once in the destructor, from the position the window is at.
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

signals:
    void remoteError(KxRemoteException *exception);

public slots:
    void FillComboBoxes();
    void BlkSignals(bool block);
    void UpdPnl(int tab);

private slots:
    void on_actionContents_triggered();
    void on_actionAbout_triggered();
    // Link server controls, plot buttons and the Trace basics go here.
    void on_Save_Typ_currentIndexChanged(int index);
    void on_LodTrcIqr_currentChanged(int index);
    void on_Load_Typ_currentIndexChanged(int index);
    // Remaining load/save workflow slots go here.
    void on_Trace_DevTyp_currentIndexChanged(int index);
    void on_Trace_VisaRS_textEdited(const QString &text);
    // Remaining Trace panel slots, then the link server's message and connection slots.
    void remoteErrorCalled(KxRemoteException *exception);

private:
    void construct(const QString &configDir);
    void keepLoadedValuesInRange();
    void fillTypeLists();

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
    bool appendIChosen = false;
    bool appendQChosen = false;
    bool newState = false;
    bool outOfMemory = false;
    bool dataValid = false;
    bool loadIChosen = false;
    bool loadQChosen = false;
    bool saveIChosen = false;
    bool saveQChosen = false;
    bool appendMode = false;
    int windowX = 100;
    int windowY = 100;
    int tcpPort = 1000;
    int connectTo = 1;
    QString configDir;
    int guardCount = 0;
    IqBuffer sourceRecord;
    IqBuffer targetRecord;
    IqBuffer scratchRecord;
    AppSettings settings;
    QTcpServer *server = nullptr;
    QTcpSocket *client = nullptr;
};
