#include "helpdocument.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString helpDocumentName()
{
    return QStringLiteral("Trovik.pdf");
}

QString findHelpDocument(const QString &programDir, const QString &workingDir)
{
    const QStringList places
            = {workingDir, programDir, programDir + QStringLiteral("/../share/doc/trovik"),
               programDir + QStringLiteral("/../share/doc/Trovik")};
    for (const QString &dir : places) {
        if (dir.isEmpty())
            continue;
        const QFileInfo f(QDir(dir).filePath(helpDocumentName()));
        if (f.isFile())
            return QDir::cleanPath(f.absoluteFilePath());
    }
    return QString();
}

QString findHelpDocument()
{
    return findHelpDocument(QCoreApplication::applicationDirPath(), QDir::currentPath());
}
