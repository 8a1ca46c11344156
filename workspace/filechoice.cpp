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
