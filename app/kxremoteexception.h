#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// A remote-control failure, carried by MainWindow::remoteError to the message box that
// reports it. Only its text matters.
class KxRemoteException : public std::exception
{
public:
    explicit KxRemoteException(const QString &message);

    const QString &message() const noexcept { return text; }
    const char *what() const noexcept override { return utf8.constData(); }

private:
    QString text;
    QByteArray utf8;
};
