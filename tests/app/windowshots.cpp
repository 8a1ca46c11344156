// Saves pictures of the main window for the documentation: both tabs, the Trace tab for an
// analyzer, for the record-length analyzer and for the oscilloscope, the window at its
// smallest, the status bar with a message, the open device list, and the two I/Q input dialogs.
// Usage: trovik_windowshots <output folder>   (run under a display, e.g. xvfb-run -a)
#include "analogiqdialog.h"
#include "appidentity.h"
#include "devicetype.h"
#include "digitaliqdialog.h"
#include "mainwindow.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>

namespace {

void shoot(QWidget &window, const QString &path)
{
    QApplication::processEvents();
    window.grab().save(path);
}

}  // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QString out = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir config;
    MainWindow window(config.path());
    window.setWindowTitle(AppIdentity::windowTitle());
    window.show();
    auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("LodTrcIqr"));
    tabs->setCurrentIndex(0);
    shoot(window, out + QStringLiteral("/load-tab.png"));
    window.statusBar()->showMessage(QStringLiteral("Loading I and Q files..."));
    shoot(window, out + QStringLiteral("/status-bar.png"));
    window.statusBar()->clearMessage();
    tabs->setCurrentIndex(1);
    auto *devices = window.findChild<QComboBox *>(QStringLiteral("Trace_DevTyp"));
    devices->showPopup();
    QApplication::processEvents();
    shoot(*devices->view()->window(), out + QStringLiteral("/device-list.png"));
    devices->hidePopup();
    devices->setCurrentIndex(static_cast<int>(DeviceId::Rowan));
    shoot(window, out + QStringLiteral("/trace-tab-analyzer.png"));
    devices->setCurrentIndex(static_cast<int>(DeviceId::Alder));
    shoot(window, out + QStringLiteral("/trace-tab-alder.png"));
    devices->setCurrentIndex(static_cast<int>(DeviceId::Nutmeg));
    shoot(window, out + QStringLiteral("/trace-tab-oscilloscope.png"));
    window.resize(window.width(), window.minimumHeight());
    shoot(window, out + QStringLiteral("/trace-tab-oscilloscope-smallest.png"));

    AppSettings settings;
    AnalogIqDialog analog(&settings, &window);
    analog.show();
    shoot(analog, out + QStringLiteral("/aiq-dialog.png"));
    DigitalIqDialog digital(&settings, &window);
    digital.show();
    shoot(digital, out + QStringLiteral("/diq-dialog.png"));
    return 0;
}
