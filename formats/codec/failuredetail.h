#pragma once

#include "filefailure.h"

// Helpers that give a file failure its detail: the file and the reason.

#include <QFile>
#include <QFileDevice>

// Why a file device failed, in the system's words ("No such file or directory", "Is a
// directory", "No space left on device"). A write that stopped short leaves no error on the
// device; error is then the errno taken right after it.
QString deviceFailureReason(const QFileDevice &file, int error = 0);

// Notes the device's file and its failure as the detail of status, and returns status.
inline IqStatus failDevice(IqStatus status, const QFileDevice &file, int error = 0)
{
    return failFile(status, file.fileName(), deviceFailureReason(file, error));
}

// Opens the I and Q files of a two-file type for reading: FirstFile or SecondFile with the
// system's reason when one cannot be opened.
inline IqStatus openIqFiles(QFileDevice &iFile, QFileDevice &qFile)
{
    if (!iFile.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return failDevice(IqStatus::FirstFile, iFile);
    if (!qFile.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return failDevice(IqStatus::SecondFile, qFile);
    return IqStatus::Ok;
}

// Opens the I and Q files of a two-file type and reads each one's header with
// read(device, header, status), status being FirstFile for the I file and SecondFile for the Q
// file: Ok, or the first failure (noted).
template<typename Header, typename Read>
IqStatus readIqHeaders(const QString &iPath, const QString &qPath, Header &hi, Header &hq,
                       Read read)
{
    QFile i(iPath), q(qPath);
    if (const IqStatus s = openIqFiles(i, q); failed(s))
        return s;
    if (const IqStatus s = read(i, hi, IqStatus::FirstFile); failed(s))
        return s;
    return read(q, hq, IqStatus::SecondFile);
}

// The file behind a device (a QFile or QSaveFile); empty for other devices.
QString deviceName(const QIODevice &device);

// Notes the device's file and the format's reason as the detail of status, and returns status.
inline IqStatus failOn(IqStatus status, const QIODevice &device, const QString &reason)
{
    return failFile(status, deviceName(device), reason);
}

// A read of device that came back short: the system's reason where the device has one (an
// I/O error), otherwise whenShort (the file ends early). Returns status.
IqStatus failReading(IqStatus status, const QIODevice &device, const QString &whenShort);

// Reads the first bytes bytes of device into h: Ok, or status with the reason noted ("the file
// (N bytes) ends inside the B-byte header", or the system's).
IqStatus readFixedHeader(QIODevice &device, unsigned char *h, int bytes, IqStatus status);

// "the file holds 100 bytes, 400 are needed": a read past the end of the file.
QString endsEarlyReason(int64_t fileSize, int64_t needed);

// Every failure names a file: a detail noted without one (an allocation knows no file) gets
// iFile (qFile for the second-file status), and a failure no one explained gets the status's
// own description. Returns status.
IqStatus namedFailure(IqStatus status, const QString &iFile, const QString &qFile = QString());
