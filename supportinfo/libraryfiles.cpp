#include "libraryfiles.h"

#include "osinfo.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

QString versionInName(const QString &name)
{
    static const QRegularExpression re(QStringLiteral("\\.so\\.(\\d+(?:\\.\\d+)*)$"));
    const QRegularExpressionMatch m = re.match(name);
    return m.hasMatch() ? m.captured(1) : QString();
}

}  // namespace

QString libraryFileVersion(const QString &file)
{
    const QFileInfo info(file);
    QString best = versionInName(info.fileName());
    const QString target = info.canonicalFilePath();
    const QString resolved
            = target.isEmpty() ? QString() : versionInName(QFileInfo(target).fileName());
    if (resolved.count(QLatin1Char('.')) >= best.count(QLatin1Char('.')) && !resolved.isEmpty())
        best = resolved;
    return best;
}

QString findLibraryFile(const LinuxProbe &probe, const QStringList &dirs, const QString &baseName)
{
    for (const QString &dir : dirs) {
        const QDir d(probe.path(dir));
        if (!d.exists())
            continue;
        if (QFileInfo::exists(d.filePath(baseName)))
            return d.filePath(baseName);
        QStringList hits = d.entryList({baseName + QStringLiteral(".*")},
                                       QDir::Files | QDir::System, QDir::Name);
        if (!hits.isEmpty())
            return d.filePath(hits.first());
    }
    return QString();
}

QString loadedLibraryFile(const LinuxProbe &probe, const QString &baseName)
{
    for (const QString &file : probe.loadedLibraries) {
        const QString name = QFileInfo(file).fileName();
        if (name == baseName || name.startsWith(baseName + QLatin1Char('.')))
            return file;
    }
    return QString();
}

QString reportedVersion(const QString &file)
{
    if (file.isEmpty())
        return notFound();
    const QString v = libraryFileVersion(file);
    return v.isEmpty() ? QStringLiteral("unknown version") : v;
}
