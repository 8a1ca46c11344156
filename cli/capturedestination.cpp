#include "capturedestination.h"

#include "filetypes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

#include <unistd.h>

namespace {

constexpr int64_t kBinaryBytesPerPair = 8;
constexpr int64_t kTextBytesPerPair = 32;
constexpr double kMegabyte = 1e6;

// Save types that store numbers as bytes rather than text, by the key words of their keys.
bool isBinaryType(const QString &key)
{
    for (const char *word : {"binary", "wav", "iqw", "wv", "sigmf", "recordia", "loomwave"})
        if (key.contains(QLatin1String(word)))
            return true;
    return false;
}

bool writable(const QString &path)
{
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

bool checkFolder(const QString &file, int64_t bytes, QString &error)
{
    const QFileInfo target(file);
    // A device or pipe (/dev/null, a FIFO) takes what it is given: no folder, no disk.
    if (target.exists() && !target.isFile() && !target.isDir()) {
        if (writable(file))
            return true;
        error = QStringLiteral("cannot save %1: it is not writable").arg(file);
        return false;
    }
    const QString folder = target.absolutePath();
    const QFileInfo info(folder);
    if (!info.exists() || !info.isDir()) {
        error = QStringLiteral("cannot save %1: the folder %2 does not exist").arg(file, folder);
        return false;
    }
    // An existing file the user may write is replaced in place; else the folder takes a new one.
    const bool replaceable = target.isFile() && writable(file);
    if (!replaceable && !writable(folder)) {
        error = QStringLiteral("cannot save %1: the folder %2 is not writable").arg(file, folder);
        return false;
    }
    const QStorageInfo disk(folder);
    const int64_t freed = target.isFile() ? target.size() : 0;
    if (disk.isValid() && disk.bytesAvailable() + freed < bytes) {
        error = QStringLiteral("cannot save %1: the disk has %2 MB free, the capture needs about "
                               "%3 MB")
                        .arg(file)
                        .arg(double(disk.bytesAvailable()) / kMegabyte, 0, 'f', 1)
                        .arg(double(bytes) / kMegabyte, 0, 'f', 1);
        return false;
    }
    return true;
}

}  // namespace

int64_t savedBytesPerPair(int saveTypeIndex)
{
    const QString key = QLatin1String(FileTypeTable::saveRow(saveTypeIndex).key);
    return isBinaryType(key) ? kBinaryBytesPerPair : kTextBytesPerPair;
}

bool checkCaptureDestination(const IqBuffer &target, int64_t samples, QString &error)
{
    const int64_t bytes = std::max<int64_t>(samples, 0) * savedBytesPerPair(target.typeIndex);
    const bool twoFiles = !target.qFileName.isEmpty();
    // Two files share the bytes; on one disk they must fit together.
    if (!checkFolder(target.iFileName, twoFiles ? bytes / 2 : bytes, error))
        return false;
    if (!twoFiles)
        return true;
    const bool sameDisk = QStorageInfo(QFileInfo(target.iFileName).absolutePath()).rootPath()
                          == QStorageInfo(QFileInfo(target.qFileName).absolutePath()).rootPath();
    return checkFolder(target.qFileName, sameDisk ? bytes : bytes / 2, error);
}
