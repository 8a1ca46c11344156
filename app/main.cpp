#include "appidentity.h"
#include "mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    MainWindow window;
    window.setWindowTitle(QStringLiteral("%1 v%2").arg(QLatin1String(AppIdentity::applicationName),
                                                        QLatin1String(AppIdentity::version)));
    window.show();
    return app.exec();
}
