#include "appidentity.h"
#include "mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    MainWindow window;
    window.setWindowTitle(AppIdentity::windowTitle());
    window.show();
    return app.exec();
}
