// Pictures of a capture for the documentation, against the simulated instrument: the Trace
// waiting for a silent instrument, the Trace reading its block, the window after Cancel, and
// the box of a failed Init with what happened beneath its headline.
// Usage: trovik_captureshots <output folder>   (under a display with a window manager, so the
// dialog's title bar shows: xvfb-run -a sh -c 'twm -f tests/app/shots.twmrc & ...')
#include "acquisitioncontrol.h"
#include "appidentity.h"
#include "mainwindow.h"
#include "settingsfile.h"
#include "simulatorinstance.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <functional>

namespace {

bool runUntil(const std::function<bool()> &done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    return done();
}

void settle(int ms)
{
    runUntil([] { return false; }, ms);
}

QProgressDialog *shownDialog(QWidget &window)
{
    for (QProgressDialog *d : window.findChildren<QProgressDialog *>())
        if (d->isVisible())
            return d;
    return nullptr;
}

// The screen around the window and its dialog, frames included.
void shootScreen(QWidget &window, const QString &path)
{
    settle(300);
    QRect area = window.frameGeometry();
    if (QProgressDialog *d = shownDialog(window))
        area |= d->frameGeometry();
    if (QWidget *modal = QApplication::activeModalWidget())
        area |= modal->frameGeometry();
    area.adjust(-8, -8, 8, 8);
    QApplication::primaryScreen()
            ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
            .save(path);
}

bool command(ViSession control, const char *text)
{
    QString done;
    return queryText(control, QString::fromLatin1(text) + QStringLiteral(";*OPC?\n"), done)
           == VI_SUCCESS;
}

void pressCancel(QWidget &window)
{
    if (QProgressDialog *d = shownDialog(window))
        for (QPushButton *b : d->findChildren<QPushButton *>())
            b->click();
}

}  // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QString out = QString::fromLocal8Bit(argv[1]);
    Simulator &simulator = Simulator::instance();
    ViSession control = 0;
    if (!simulator.started()
        || openSession(simulator.resourceManager, simulator.resource(false), control) != VI_SUCCESS)
        return 1;
    QTemporaryDir config;
    {
        QSettings ini(settingsFilePath(config.path()), QSettings::IniFormat);
        ini.setValue(QStringLiteral("Analyzer/Type"), 15);
        ini.setValue(QStringLiteral("Analyzer/VISA Resource String"), simulator.resource(false));
        ini.setValue(QStringLiteral("Analyzer/Sample Count"), 20000000);
        ini.setValue(QStringLiteral("Program/IQ Source"), 1);
    }
    MainWindow window(config.path());
    window.setWindowTitle(AppIdentity::windowTitle());
    window.move(40, 40);
    window.show();
    auto *acquisition = window.findChild<AcquisitionControl *>();
    const auto idle = [acquisition] { return !acquisition->busy(); };
    auto *init = window.findChild<QPushButton *>(QStringLiteral("Trace_Init"));
    auto *trace = window.findChild<QPushButton *>(QStringLiteral("Trace_Trc"));

    init->click();
    runUntil(idle, 10000);

    // A silent instrument: the data come a minute late.
    command(control, "SIM:BLOC:DEL 60000");
    trace->click();
    runUntil(
            [&] {
                return shownDialog(window)
                       && shownDialog(window)->labelText().contains(QLatin1String("Waiting"));
            },
            3000);
    settle(1200);
    shootScreen(window, out + QStringLiteral("/trace-waiting.png"));
    pressCancel(window);
    runUntil(idle, 5000);
    shootScreen(window, out + QStringLiteral("/trace-cancelled.png"));

    // A slow line: 20 M pairs in 4 MB pieces, 100 ms apart.
    command(control, "SIM:BLOC:DEL 0;:SIM:CHUN 4194304,100");
    trace->click();
    runUntil([&] { return shownDialog(window) && shownDialog(window)->value() >= 40; }, 30000);
    shootScreen(window, out + QStringLiteral("/trace-reading.png"));
    runUntil(idle, 60000);
    command(control, "SIM:RES");
    viClose(control);

    // Nothing listens at this port: the box says so beneath its headline.
    {
        QSettings ini(settingsFilePath(config.path()), QSettings::IniFormat);
        ini.setValue(QStringLiteral("Analyzer/VISA Resource String"),
                     QStringLiteral("TCPIP::127.0.0.1::1::SOCKET"));
    }
    window.close();
    MainWindow refused(config.path());
    refused.setWindowTitle(AppIdentity::windowTitle());
    refused.move(40, 40);
    refused.show();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            poll.stop();
            settle(500);
            shootScreen(refused, out + QStringLiteral("/init-error.png"));
            box->accept();
        }
    });
    poll.start(50);
    refused.findChild<QPushButton *>(QStringLiteral("Trace_Init"))->click();
    auto *refusedRun = refused.findChild<AcquisitionControl *>();
    runUntil([refusedRun] { return !refusedRun->busy(); }, 10000);
    settle(300);
    std::printf("done\n");
    return 0;
}
