#pragma once

// Turns one fuzz input into the file(s) a binary-format reader opens by name, and checks what
// every reader promises afterwards.
// Framing: byte 0 selects the variant (bit 0). For two-file readers with bit 0 set, bytes 1-2
// hold the first file's size (little-endian, clamped to what follows) and the second file is
// the rest; with bit 0 clear, the rest is the first file and also the second.

#include "codecfuzz.h"
#include "readerpromise.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

struct FuzzFiles
{
    QString first;
    QString second;
    bool variant = false;  // bit 0 of the selector byte
};

inline QString fuzzScratchDir()
{
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                     ? QStringLiteral("/dev/shm/trovik-fuzz-XXXXXX")
                                     : QDir::tempPath() + "/trovik-fuzz-XXXXXX");
    return dir.path();
}

inline QString writeFuzzFile(const char *name, const uint8_t *data, size_t size)
{
    const QString path = fuzzScratchDir() + '/' + QString::fromLatin1(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || f.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        std::abort();
    return path;
}

// One file after the selector byte.
inline FuzzFiles oneFuzzFile(const uint8_t *data, size_t size)
{
    FuzzFiles f;
    f.variant = size > 0 && (data[0] & 1);
    const size_t skip = size > 0 ? 1 : 0;
    f.first = writeFuzzFile("first", data + skip, size - skip);
    return f;
}

inline FuzzFiles twoFuzzFiles(const uint8_t *data, size_t size)
{
    FuzzFiles f;
    f.variant = size > 0 && (data[0] & 1);
    if (!f.variant || size < 3) {
        const size_t skip = size > 0 ? 1 : 0;
        f.first = writeFuzzFile("first", data + skip, size - skip);
        f.second = writeFuzzFile("second", data + skip, size - skip);
        return f;
    }
    size_t split = size_t(data[1]) | (size_t(data[2]) << 8);
    const size_t rest = size - 3;
    if (split > rest)
        split = rest;
    f.first = writeFuzzFile("first", data + 3, split);
    f.second = writeFuzzFile("second", data + 3 + split, rest - split);
    return f;
}

// Runs a reader of the given type on the input's file(s) and checks its promise.
inline void checkReaderOn(const FuzzFiles &files, IqStatus (*read)(IqBuffer &, int), int typeCode)
{
    IqBuffer r;
    r.iFileName = files.first;
    r.qFileName = files.second;
    checkReaderPromise(r, read(r, typeCode));
    checkCodecOn(files.first, files.second, typeCode);
}
