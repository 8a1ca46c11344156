// The Trace tab's Init and Trace buttons against the simulated instrument (raw SCPI socket,
// through Pontil and kxvisa): the captured record is then shown and saved like a loaded one.

#include "acquisitioncontrol.h"
#include "fftgraph.h"
#include "filetypes.h"
#include "simulatorinstance.h"
#include "workflowfixture.h"

#include <qwt_plot.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QProgressDialog>
#include <QTabWidget>
#include <QThread>
#include <QTimer>

#include <cstring>
#include <functional>

namespace {

// Records the boxes; the progress is the real window-modal dialog.
class ScriptedAcquisitionDialogs : public StandardAcquisitionDialogs
{
public:
    void warning(QWidget *, const QString &title, const QString &text,
                 const QString &detail) override
    {
        boxes << title + ": " + text;
        details << detail;
    }
    QStringList boxes;
    QStringList details;
};

// Lets the window run (its events, the worker's end) until done() holds or ms have passed.
bool runUntil(const std::function<bool()> &done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return done();
}

class AcquisitionControlTest : public WorkflowTest
{
protected:
    void SetUp() override
    {
        Simulator &simulator = Simulator::instance();  // before the window chooses its VISA
        ASSERT_TRUE(simulator.started());
        ASSERT_EQ(openSession(simulator.resourceManager, simulator.resource(false), control),
                  VI_SUCCESS);
        QString done;  // a round trip: the reset is in force before the window talks
        ASSERT_EQ(queryText(control,
                            QStringLiteral("*RST;:SIM:RES;:SIM:OPT Q52;:SIM:BLOC:SKEW 0;*OPC?\n"),
                            done),
                  VI_SUCCESS);
    }
    void TearDown() override { viClose(control); }

    MainWindow &openOnTraceTab(int deviceRow, int sampleCount = 1000)
    {
        storeKeys({{QStringLiteral("Analyzer/Type"), deviceRow},
                   {QStringLiteral("Analyzer/VISA Resource String"),
                    Simulator::instance().resource(false)},
                   {QStringLiteral("Analyzer/Sample Count"), sampleCount},
                   {QStringLiteral("Analyzer/Record Length"), 2.0},
                   {QStringLiteral("Analyzer/Sample Rate"), 32e6},
                   {QStringLiteral("Program/IQ Source"), 1}});
        MainWindow &w = open();
        auto scripted = std::make_unique<ScriptedAcquisitionDialogs>();
        boxes = &scripted->boxes;
        details = &scripted->details;
        w.findChild<AcquisitionControl *>()->setDialogs(std::move(scripted));
        return w;
    }

    AcquisitionControl &acquisition() const { return *window->findChild<AcquisitionControl *>(); }
    // Presses the button and lets the run it starts end.
    void press(const char *button)
    {
        click(button);
        ASSERT_TRUE(runUntil([this] { return !acquisition().busy(); }, 30000));
    }
    // As the user does it: the dialog's own Cancel button.
    void pressCancel() const
    {
        QProgressDialog *dialog = progressDialog();
        ASSERT_NE(dialog, nullptr);
        for (QPushButton *b : dialog->findChildren<QPushButton *>())
            if (b->text() == QStringLiteral("Cancel"))
                b->click();
    }
    QProgressDialog *progressDialog() const
    {
        for (QProgressDialog *d : window->findChildren<QProgressDialog *>())
            if (d->isVisible())
                return d;
        return nullptr;
    }
    void simulate(const char *commands)
    {
        QString done;
        ASSERT_EQ(queryText(control, QString::fromLatin1(commands) + QStringLiteral(";*OPC?\n"),
                            done),
                  VI_SUCCESS);
    }

    ViSession control = 0;
    QStringList *boxes = nullptr;
    QStringList *details = nullptr;
};

TEST_F(AcquisitionControlTest, InitTraceThenSpectrumAndSave)
{
    MainWindow &w = openOnTraceTab(1);
    EXPECT_FALSE(enabled("Trace_Trc"));
    press("Trace_Init");
    EXPECT_TRUE(boxes->isEmpty()) << boxes->join('\n').toStdString();
    EXPECT_EQ(child<QLineEdit>("Trace_DevMsg")->text().trimmed(),
              QStringLiteral("Vantorp,SCPISIM,000001,1.0"));
    ASSERT_TRUE(enabled("Trace_Trc"));

    press("Trace_Trc");
    EXPECT_TRUE(boxes->isEmpty()) << boxes->join('\n').toStdString();
    ASSERT_TRUE(w.workspace().state().dataValid);
    EXPECT_EQ(w.workspace().source().heldCount(), 1000);
    EXPECT_TRUE(enabled("Spec"));

    QString plotTitle;
    QTimer::singleShot(0, [&plotTitle] {
        if (auto *graph = qobject_cast<FftGraph *>(QApplication::activeModalWidget())) {
            plotTitle = graph->shownPlot()->title().text();
            graph->accept();
        }
    });
    click("Spec");
    EXPECT_EQ(plotTitle, QStringLiteral("Spectrum"));

    const int iqw = FileTypeTable::findSave(QStringLiteral("iqw-pairs"));
    chooseSaveType(iqw);
    pick("Save_I", file("capture.iqw"));
    ASSERT_TRUE(enabled("Save_Sav"));
    click("Save_Sav");
    EXPECT_TRUE(dialogs->boxes.isEmpty());
    QFile saved(file("capture.iqw"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    ASSERT_EQ(bytes.size(), 1000 * 8);  // the captured samples, as they came (Raw IQ)
    float first;
    std::memcpy(&first, bytes.constData(), 4);
    EXPECT_EQ(first, 0.5f);
}

TEST_F(AcquisitionControlTest, CancelInTheProgressDialogLeavesNoDataAndNoMessage)
{
    MainWindow &w = openOnTraceTab(0);  // Alder: all I then all Q
    press("Trace_Init");
    ASSERT_TRUE(enabled("Trace_Trc"));
    simulate("SIM:BLOC:DEL 400");
    click("Trace_Trc");
    QProgressDialog *dialog = progressDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowModality(), Qt::NonModal);
    pressCancel();
    ASSERT_TRUE(runUntil([this] { return !acquisition().busy(); }, 5000));
    EXPECT_TRUE(boxes->isEmpty());
    EXPECT_FALSE(w.workspace().state().dataValid);
    EXPECT_FALSE(enabled("Spec"));
    EXPECT_TRUE(enabled("Trace_Trc"));
    EXPECT_EQ(w.workspace().source().heldCount(), 0);
}

// The window must never freeze on an instrument that does not answer: the dialog shows at
// once and says what it waits for, the window keeps working, Cancel ends the Trace within a
// second whatever the instrument does, and the next Trace needs no Init.
TEST_F(AcquisitionControlTest, SilentInstrumentShowsTheWaitAndCancelEndsItAtOnce)
{
    MainWindow &w = openOnTraceTab(1);
    press("Trace_Init");
    ASSERT_TRUE(enabled("Trace_Trc"));
    simulate("SIM:BLOC:DEL 60000");
    const int logStart = Simulator::instance().wireLog().size();

    QElapsedTimer clock;
    clock.start();
    click("Trace_Trc");
    ASSERT_TRUE(runUntil([this] { return progressDialog() != nullptr; }, 200));
    EXPECT_LT(clock.elapsed(), 200);
    ASSERT_TRUE(runUntil(
            [this] {
                return progressDialog()->labelText().contains(
                        QStringLiteral("Waiting for the instrument (timeout in"));
            },
            3000))
            << progressDialog()->labelText().toStdString();
    EXPECT_TRUE(progressDialog()->labelText().contains(QStringLiteral("Reading IQ values...")));

    // What does not touch the record stays usable; what does waits.
    EXPECT_TRUE(child<QComboBox>("Save_Typ")->isEnabled());
    EXPECT_FALSE(child<QWidget>("Load_Lod")->isEnabled());
    EXPECT_FALSE(child<QWidget>("Trace_DevTyp")->isEnabled());
    child<QTabWidget>("LodTrcIqr")->setCurrentIndex(0);
    child<QTabWidget>("LodTrcIqr")->setCurrentIndex(1);
    EXPECT_TRUE(acquisition().busy());

    clock.restart();
    pressCancel();
    ASSERT_TRUE(runUntil([this] { return !acquisition().busy(); }, 1000))
            << "still busy " << clock.elapsed() << " ms after Cancel";
    EXPECT_TRUE(boxes->isEmpty()) << boxes->join('\n').toStdString();
    EXPECT_EQ(w.statusBar()->currentMessage(), QStringLiteral("The trace was cancelled."));
    EXPECT_FALSE(w.workspace().state().dataValid);
    ASSERT_TRUE(enabled("Trace_Trc"));
    // Commands without a reply: the simulator logs them a moment later.
    const auto restored = [logStart] { return Simulator::instance().wireLog().mid(logStart); };
    EXPECT_TRUE(runUntil(
            [&] { return restored().contains("TRAC:IQ OFF;*OPC?\n*RST;*CLS\nINIT:CONT ON\n"); },
            2000))
            << restored().toStdString();

    simulate("SIM:BLOC:DEL 0");
    press("Trace_Trc");
    EXPECT_TRUE(boxes->isEmpty()) << boxes->join('\n').toStdString();
    EXPECT_TRUE(w.workspace().state().dataValid);
    EXPECT_EQ(w.workspace().source().heldCount(), 1000);
}

TEST_F(AcquisitionControlTest, InitOfASilentInstrumentCanBeCancelled)
{
    MainWindow &w = openOnTraceTab(1);
    w.workspace().settings().resourceString = Simulator::instance().resource(false);
    // Not a query: its own reply would wait as well.
    ASSERT_EQ(writeCommand(control, QStringLiteral("SIM:DEL 30000\n")), VI_SUCCESS);
    QThread::msleep(100);
    click("Trace_Init");
    ASSERT_TRUE(runUntil(
            [this] {
                return progressDialog()
                       && progressDialog()->labelText().contains(QStringLiteral("Waiting"));
            },
            3000));
    QElapsedTimer clock;
    clock.start();
    pressCancel();
    ASSERT_TRUE(runUntil([this] { return !acquisition().busy(); }, 1000));
    EXPECT_TRUE(boxes->isEmpty()) << boxes->join('\n').toStdString();
    EXPECT_FALSE(enabled("Trace_Trc"));
    EXPECT_LT(clock.elapsed(), 1000);
    ASSERT_EQ(writeCommand(control, QStringLiteral("SIM:DEL 0\n")), VI_SUCCESS);
}

// Closing the window during a silent Trace must neither hang nor leave the instrument in its
// I/Q mode.
TEST_F(AcquisitionControlTest, ClosingTheWindowDuringATraceStopsItAndRestoresTheInstrument)
{
    openOnTraceTab(1);
    press("Trace_Init");
    simulate("SIM:BLOC:DEL 60000");
    const int logStart = Simulator::instance().wireLog().size();
    click("Trace_Trc");
    ASSERT_TRUE(runUntil([this] { return acquisition().busy(); }, 1000));
    QThread::msleep(300);
    QElapsedTimer clock;
    clock.start();
    window.reset();
    EXPECT_LT(clock.elapsed(), 2000);
    const auto restored = [logStart] { return Simulator::instance().wireLog().mid(logStart); };
    EXPECT_TRUE(runUntil(
            [&] { return restored().contains("TRAC:IQ OFF;*OPC?\n*RST;*CLS\nINIT:CONT ON\n"); },
            2000))
            << restored().toStdString();
}

// Writing a long record takes seconds: the save shows how far it is. A cancelled save is the
// user's choice, not a fault: no box, the old file stays.
TEST_F(AcquisitionControlTest, SavingACaptureShowsTheWriteAndCanBeCancelled)
{
    MainWindow &w = openOnTraceTab(1, 100000);
    press("Trace_Init");
    press("Trace_Trc");
    ASSERT_EQ(w.workspace().source().heldCount(), 100000);
    chooseSaveType(FileTypeTable::findSave(QStringLiteral("matlab-ascii-mixed")));
    pick("Save_I", file("capture.txt"));
    click("Save_Sav");
    EXPECT_TRUE(dialogs->boxes.isEmpty());
    EXPECT_EQ(
            dialogs->progressText,
            QStringLiteral("Writing %1\u2026").arg(QDir::toNativeSeparators(file("capture.txt"))));
    ASSERT_FALSE(dialogs->progressSteps.isEmpty());
    EXPECT_EQ(dialogs->progressSteps.back(), dialogs->progressTotal);
    EXPECT_NEAR(double(dialogs->progressTotal), double(QFileInfo(file("capture.txt")).size()),
                0.001 * double(dialogs->progressTotal));

    writeBytes(file("capture.txt"), "old");
    dialogs->cancelAtStep = int(dialogs->progressSteps.size());
    click("Save_Sav");
    EXPECT_TRUE(dialogs->boxes.isEmpty());
    EXPECT_EQ(w.statusBar()->currentMessage(), QStringLiteral("The save was cancelled."));
    EXPECT_EQ(contents(file("capture.txt")), QByteArray("old"));
}

// The box keeps the headline the user knows and says beneath it what happened.
TEST_F(AcquisitionControlTest, FailuresShowTheirMessages)
{
    QString done;
    ASSERT_EQ(queryText(control, QStringLiteral("SIM:OPT 0;*OPC?\n"), done), VI_SUCCESS);
    MainWindow &w = openOnTraceTab(0);
    press("Trace_Init");
    EXPECT_EQ(*boxes, QStringList{QStringLiteral("Alder Error: No Alder-Q52 option installed.")});
    EXPECT_FALSE(enabled("Trace_Trc"));

    boxes->clear();
    w.workspace().settings().resourceString = QStringLiteral("TCPIP::127.0.0.1::1::SOCKET");
    press("Trace_Init");
    EXPECT_EQ(*boxes, QStringList{QStringLiteral(
                              "Error: Initialization error. Check your connections and make "
                              "sure\nyou have the correct GPIB or LAN address.")});
    ASSERT_EQ(details->size(), 2);
    for (const char *part : {"TCPIP::127.0.0.1::1::SOCKET", "connection refused"})
        EXPECT_TRUE(details->at(1).contains(QLatin1String(part))) << details->at(1).toStdString();
}

}  // namespace
