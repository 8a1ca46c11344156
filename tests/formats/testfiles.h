#pragma once

#include "iqbuffer.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <vector>

// Small helpers shared by the format tests: files in and out, records from value lists.
namespace testfiles {

inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline IqBuffer record(const std::vector<float> &i, const std::vector<float> &q, double rate = 1e6)
{
    IqBuffer r;
    allocateSamples(r, int64_t(i.size()));
    for (size_t k = 0; k < i.size(); ++k) {
        r.iData[int64_t(k)] = i[k];
        r.qData[int64_t(k)] = q[k];
    }
    r.sampleCount = int64_t(i.size());
    r.sampleRate = rate;
    return r;
}

inline std::vector<float> column(const SampleArray &a, int64_t count)
{
    return std::vector<float>(a.data(), a.data() + count);
}

// A test with a folder of its own.
class FolderTest : public ::testing::Test
{
protected:
    QString path(const char *name) const { return dir.filePath(QLatin1String(name)); }
    QTemporaryDir dir;
};

}  // namespace testfiles
