#include "failuredetail.h"

#include <QFileInfo>

#include <cerrno>

QString deviceFailureReason(const QFileDevice &file, int error)
{
    // Qt words a directory in its own way; the system's text is the one users search for.
    if (QFileInfo(file.fileName()).isDir())
        return systemErrorText(EISDIR);
    const QString text = file.errorString();
    if (file.error() != QFileDevice::NoError && !text.isEmpty()
        && text != QLatin1String("Unknown error"))
        return text;
    return error != 0 ? systemErrorText(error) : QStringLiteral("cannot be read or written");
}

QString deviceName(const QIODevice &device)
{
    const auto *file = qobject_cast<const QFileDevice *>(&device);
    return file ? file->fileName() : QString();
}

IqStatus failReading(IqStatus status, const QIODevice &device, const QString &whenShort)
{
    const auto *file = qobject_cast<const QFileDevice *>(&device);
    if (file && file->error() != QFileDevice::NoError)
        return failDevice(status, *file);
    return failOn(status, device, whenShort);
}

QString endsEarlyReason(int64_t fileSize, int64_t needed)
{
    return QStringLiteral("the file holds %1 bytes, %2 are needed").arg(fileSize).arg(needed);
}

IqStatus namedFailure(IqStatus status, const QString &iFile, const QString &qFile)
{
    if (status == IqStatus::Ok)
        return status;
    const FileFailure noted = lastFileFailure();
    if (!noted.path.isEmpty())
        return status;
    const QString path = status == IqStatus::SecondFile && !qFile.isEmpty() ? qFile : iFile;
    return failFile(status, path,
                    noted.reason.isEmpty() ? QLatin1String(iqStatusText(status)) : noted.reason);
}

IqStatus readFixedHeader(QIODevice &device, unsigned char *h, int bytes, IqStatus status)
{
    if (device.seek(0) && device.read(reinterpret_cast<char *>(h), bytes) == bytes)
        return IqStatus::Ok;
    return failReading(status, device,
                       QStringLiteral("the file (%1 bytes) ends inside the %2-byte header")
                               .arg(device.size())
                               .arg(bytes));
}
