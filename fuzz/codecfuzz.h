#pragma once

// Runs the streaming side of a type on fuzzed file(s), the way Load, Copy and Append read:
// the load loop over the codec, then reads at the edges into an interleaved buffer. A reader
// that claims frames it cannot give, or gives frames beyond its end, aborts the run.
#include "dispatch.h"
#include "framecodec.h"
#include "readerpromise.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>

inline QString codecFuzzFile(const char *name, const QByteArray &bytes)
{
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                     ? QStringLiteral("/dev/shm/trovik-codec-fuzz-XXXXXX")
                                     : QDir::tempPath() + "/trovik-codec-fuzz-XXXXXX");
    const QString path = dir.path() + '/' + QString::fromLatin1(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        std::abort();
    return path;
}

inline void checkCodecOn(const QString &first, const QString &second, int typeCode)
{
    IqBuffer r;
    r.iFileName = first;
    r.qFileName = second;
    checkReaderPromise(r, readFileOfType(r, typeCode));
    IqStatus status = IqStatus::Ok;
    const auto reader = frameCodecFor(typeCode)->openReader(first, second, typeCode, status);
    if (!reader) {
        if (status == IqStatus::Ok)
            std::abort();
        return;
    }
    const int64_t n = reader->frameCount();
    if (n < 0)
        std::abort();
    float frames[8];
    const int64_t k = std::min<int64_t>(n, 4);
    reader->read(n - k, k, FrameSpan{frames, frames + 1, 2});
    if (reader->read(n, 1, FrameSpan{frames, frames + 1, 2}) == IqStatus::Ok)
        std::abort();
}
