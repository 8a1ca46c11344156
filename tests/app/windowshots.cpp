// Saves pictures of the main window for the documentation: both tabs, the Trace tab once
// with the analyzer and once with the oscilloscope group, and the window at its smallest.
// Usage: trovik_windowshots <output folder>   (run under a display, e.g. xvfb-run -a)
#include "appidentity.h"
#include "mainwindow.h"

#include <QApplication>
#include <QGroupBox>
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
    tabs->setCurrentIndex(1);
    shoot(window, out + QStringLiteral("/trace-tab-analyzer.png"));
    window.findChild<QGroupBox *>(QStringLiteral("Ana"))->hide();
    window.findChild<QGroupBox *>(QStringLiteral("Osc"))->show();
    shoot(window, out + QStringLiteral("/trace-tab-oscilloscope.png"));
    window.resize(window.width(), window.minimumHeight());
    shoot(window, out + QStringLiteral("/trace-tab-oscilloscope-smallest.png"));
    return 0;
}
