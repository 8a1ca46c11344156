// The Trace tab's Init and Trace buttons against the simulated instrument (raw SCPI socket,
// through Pontil and kxvisa): the captured record is then shown and saved like a loaded one.

#include "acquisitioncontrol.h"
#include "fftgraph.h"
#include "filetypes.h"
#include "simulatorinstance.h"
#include "workflowfixture.h"

#include <qwt_plot.h>

#include <QApplication>
#include <QLineEdit>
#include <QProgressDialog>
#include <QTimer>

#include <cstring>

namespace {

// Records the boxes; the progress is the real window-modal dialog.
class ScriptedAcquisitionDialogs : public StandardAcquisitionDialogs
{
public:
    void warning(QWidget *, const QString &title, const QString &text) override
    {
        boxes << title + ": " + text;
    }
    QStringList boxes;
};

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

    MainWindow &openOnTraceTab(int deviceRow)
    {
        storeKeys({{QStringLiteral("Analyzer/Type"), deviceRow},
                   {QStringLiteral("Analyzer/VISA Resource String"),
                    Simulator::instance().resource(false)},
                   {QStringLiteral("Analyzer/Sample Count"), 1000},
                   {QStringLiteral("Analyzer/Record Length"), 2.0},
                   {QStringLiteral("Analyzer/Sample Rate"), 32e6},
                   {QStringLiteral("Program/IQ Source"), 1}});
        MainWindow &w = open();
        auto scripted = std::make_unique<ScriptedAcquisitionDialogs>();
        boxes = &scripted->boxes;
        w.findChild<AcquisitionControl *>()->setDialogs(std::move(scripted));
        return w;
    }

    ViSession control = 0;
    QStringList *boxes = nullptr;
};

TEST_F(AcquisitionControlTest, InitTraceThenSpectrumAndSave)
{
    MainWindow &w = openOnTraceTab(1);
    EXPECT_FALSE(enabled("Trace_Trc"));
    click("Trace_Init");
    EXPECT_TRUE(boxes->isEmpty()) << boxes->join('\n').toStdString();
    EXPECT_EQ(child<QLineEdit>("Trace_DevMsg")->text().trimmed(),
              QStringLiteral("Vantorp,SCPISIM,000001,1.0"));
    ASSERT_TRUE(enabled("Trace_Trc"));

    click("Trace_Trc");
    EXPECT_TRUE(boxes->isEmpty()) << boxes->join('\n').toStdString();
    ASSERT_TRUE(MainWindowProbe::dataValid(w));
    EXPECT_EQ(MainWindowProbe::source(w).heldCount(), 1000);
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
    MainWindow &w = openOnTraceTab(0);  // Alder: all I then all Q, a hundred updates each
    click("Trace_Init");
    ASSERT_TRUE(enabled("Trace_Trc"));
    bool sawDialog = false;
    QTimer::singleShot(0, [&w, &sawDialog] {
        if (auto *dialog = w.findChild<QProgressDialog *>()) {
            sawDialog = dialog->windowModality() == Qt::WindowModal;
            dialog->cancel();
        }
    });
    click("Trace_Trc");
    EXPECT_TRUE(sawDialog);
    EXPECT_TRUE(boxes->isEmpty());
    EXPECT_FALSE(MainWindowProbe::dataValid(w));
    EXPECT_FALSE(enabled("Spec"));
    EXPECT_TRUE(enabled("Trace_Trc"));
    EXPECT_EQ(MainWindowProbe::source(w).heldCount(), 0);
}

TEST_F(AcquisitionControlTest, FailuresShowTheirMessages)
{
    QString done;
    ASSERT_EQ(queryText(control, QStringLiteral("SIM:OPT 0;*OPC?\n"), done), VI_SUCCESS);
    MainWindow &w = openOnTraceTab(0);
    click("Trace_Init");
    EXPECT_EQ(*boxes, QStringList{QStringLiteral("Alder Error: No Alder-Q52 option installed.")});
    EXPECT_FALSE(enabled("Trace_Trc"));

    boxes->clear();
    MainWindowProbe::settings(w).resourceString = QStringLiteral("TCPIP::127.0.0.1::1::SOCKET");
    click("Trace_Init");
    EXPECT_EQ(*boxes, QStringList{QStringLiteral(
                              "Error: Initialization error. Check your connections and make "
                              "sure\nyou have the correct GPIB or LAN address.")});
}

}  // namespace
