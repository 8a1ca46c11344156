#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// Where LinuxOSInfo looks. live() describes this process on this machine; tests build a probe
// over a made-up file tree instead, so every fact read from files can be checked.
struct LinuxProbe
{
    QString root = QStringLiteral("/");  // every absolute path below is read under this folder
    QStringList libraryDirs;             // absolute, searched in order
    QString programDir;                  // folder of the running program (not under root)
    QMap<QString, QString> environment;  // LANG, LC_ALL, LC_MESSAGES, VXIPNPPATH
    unsigned uid = 0;
    QStringList groups;           // names of the user's groups
    QStringList loadedLibraries;  // files this process has mapped (absolute, not under root)

    static LinuxProbe live();
    static QStringList standardLibraryDirs();

    // The absolute path p as seen under root.
    QString path(const QString &p) const;
    // Whole text of a file under root; empty when it cannot be read.
    QByteArray read(const QString &p) const;
    // First line of a file under root, trimmed; empty when it cannot be read.
    QString readLine(const QString &p) const;
};
