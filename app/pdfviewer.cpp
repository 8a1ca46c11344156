#include "pdfviewer.h"

#include <QGuiApplication>
#include <QProcess>

bool desktopHasPdfViewer()
{
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("xcb") && !platform.startsWith(QLatin1String("wayland")))
        return true;
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                             QStringLiteral("application/pdf")});
    if (!query.waitForFinished(3000) || query.exitCode() != 0)
        return false;  // no xdg-mime: no xdg-open to hand the manual to either
    return !query.readAllStandardOutput().trimmed().isEmpty();
}
