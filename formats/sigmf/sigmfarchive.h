#pragma once

#include "iqstatus.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <cstdint>

// Where a SigMF recording's two parts are: the metadata text, and the file and byte range
// that hold the samples.
struct SigmfParts
{
    QByteArray meta;
    QString metaPath;    // the metadata file, or the archive
    QString dataMember;  // the data's member name inside an archive; empty for a data file
    QString dataPath;
    int64_t dataOffset = 0;  // where the data part begins in dataPath
    int64_t dataBytes = 0;
};

// Finds the parts from any of a recording's names: "x.sigmf-meta" or "x.sigmf-data" (the
// other file beside it, or the file the metadata's core:dataset names beside it), or "x.sigmf",
// a tar archive holding both. -1 when a part is
// missing, cannot be read, or the metadata is larger than any real one; the file failure
// (filefailure.h) then names the file and the reason.
IqStatus locateSigmf(const QString &name, SigmfParts &parts);

// The parts inside a tar archive read from the device: the first member ending in
// ".sigmf-meta" and the first ending in ".sigmf-data". False when either is missing or a
// header or member runs past the end, with the reason in words when asked for.
bool findSigmfInTar(QIODevice &tar, QByteArray &meta, int64_t &dataOffset, int64_t &dataBytes,
                    QString *reason = nullptr, QString *dataMember = nullptr);

// The name of the recording without its ".sigmf-meta", ".sigmf-data" or ".sigmf" ending.
QString sigmfBaseName(const QString &name);

// The tar header (512 bytes, ustar) of a regular file member, preceded by a pax extended header
// when the name or the size does not fit the ustar fields.
QByteArray sigmfTarHeader(const QByteArray &memberName, int64_t size, int64_t mtime);

// Zero bytes that round a member of size bytes up to whole 512-byte blocks.
int64_t tarPadding(int64_t size);
