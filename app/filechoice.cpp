#include "filechoice.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace FileChoice {

QString dialogFilter(const FileTypeRow &row, bool qButton)
{
    QString prefix;
    if (qButton)
        prefix = QStringLiteral("Q File (");
    else
        prefix = row.fileCount == 2 ? QStringLiteral("I File (") : QStringLiteral("IQ File (");
    const char *pattern = qButton ? row.extension2 : row.extension1;
    return prefix + QString::fromLatin1(pattern) + QStringLiteral(");;All Files (*.*)");
}

bool sharesOneExtension(int row)
{
    return row == 10 || row == 13;
}

QString loadQName(const QString &iName)
{
    if (QFileInfo(iName).suffix() != QLatin1String("i"))
        return QString();
    return iName.left(iName.size() - 1) + QLatin1Char('q');
}

QString saveQName(const QString &iName)
{
    // Only a dot in the file's own name counts: "/data/run.1/out" gives "/data/run.1/out.q".
    const int fileStart = std::max(iName.lastIndexOf(QLatin1Char('/')),
                                   iName.lastIndexOf(QLatin1Char('\\'))) + 1;
    const int dot = iName.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot >= fileStart ? iName.left(dot) : iName;
    return stem + QStringLiteral(".q");
}

QString folderOf(const QString &fileName)
{
    if (fileName.isEmpty())
        return QDir::currentPath();
    return QFileInfo(fileName).absolutePath();
}

int32_t low32(int64_t count)
{
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(count)));
}

}  // namespace FileChoice
