#pragma once

#include "dispatch.h"
#include "iqbuffer.h"

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

namespace containertest {

inline IqBuffer makeRecord(int64_t n, const std::function<float(int64_t)> &i,
                           const std::function<float(int64_t)> &q, double rate = 1e6)
{
    IqBuffer r;
    allocateSamples(r, n);
    for (int64_t k = 0; k < n; ++k) {
        r.iData[k] = i(k);
        r.qData[k] = q(k);
    }
    r.sampleCount = n;
    r.sampleRate = rate;
    return r;
}

// A record of the given values.
inline IqBuffer record(const std::vector<float> &i, const std::vector<float> &q, double rate = 1e6)
{
    return makeRecord(
            int64_t(i.size()), [&i](int64_t k) { return i[size_t(k)]; },
            [&q](int64_t k) { return q[size_t(k)]; }, rate);
}

inline std::vector<float> column(const SampleArray &a, int64_t count)
{
    return std::vector<float>(a.data(), a.data() + count);
}

// A test signal with both extremes of [-1, 1] present on I.
inline IqBuffer sineRecord(int64_t n, double rate = 1e6)
{
    return makeRecord(
            n,
            [n](int64_t k) {
                return k == 0 ? 1.0f : k == 1 ? -1.0f : float(0.9 * std::sin(0.01 * double(k)));
            },
            [](int64_t k) { return float(0.5 * std::cos(0.013 * double(k))); }, rate);
}

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

// Little-endian 16-bit codes, as WAV, WV and raw recordings hold them.
inline QByteArray le16Codes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values) {
        b += char(v & 0xff);
        b += char((v >> 8) & 0xff);
    }
    return b;
}

// The record's floats as little-endian float32 for a peer: all I values, then all Q values.
inline bool writeFloats(const IqBuffer &r, const QString &path)
{
    QByteArray b(reinterpret_cast<const char *>(r.iData.data()), int(r.sampleCount * 4));
    b.append(reinterpret_cast<const char *>(r.qData.data()), int(r.sampleCount * 4));
    return writeAll(path, b);
}

// The dates in WV and raw headers depend on the clock; everything else must match.
inline QByteArray stripDate(const QByteArray &b)
{
    const int at = b.indexOf("{DATE:");
    return at < 0 ? b : b.left(at) + b.mid(b.indexOf('}', at) + 1);
}

inline int16_t le16At(const QByteArray &b, int64_t at)
{
    return int16_t(uint8_t(b[int(at)]) | (uint8_t(b[int(at + 1)]) << 8));
}

inline uint32_t le32At(const QByteArray &b, int at)
{
    return uint32_t(uint8_t(b[at])) | (uint32_t(uint8_t(b[at + 1])) << 8)
           | (uint32_t(uint8_t(b[at + 2])) << 16) | (uint32_t(uint8_t(b[at + 3])) << 24);
}

// Reads files holding the given bytes the way a load reads them (readFileOfType): the I file,
// and for a two-file type the Q file too. The record starts empty.
inline IqStatus loadBytes(int typeCode, const QByteArray &iBytes, IqBuffer &r,
                          const QByteArray &qBytes = QByteArray())
{
    static QTemporaryDir dir;
    r = IqBuffer();
    r.iFileName = dir.filePath(QStringLiteral("load-i"));
    r.qFileName = dir.filePath(QStringLiteral("load-q"));
    if (!writeAll(r.iFileName, iBytes) || !writeAll(r.qFileName, qBytes))
        return IqStatus::FirstFile;
    return readFileOfType(r, typeCode);
}

// Reads files through the type code into a fresh record.
inline IqStatus readFiles(IqBuffer &r, int typeCode, const QString &i, const QString &q = {})
{
    r = IqBuffer();
    r.iFileName = i;
    r.qFileName = q;
    return readFileOfType(r, typeCode);
}

// Loads files as the window does, through the load list's index, into a fresh record.
inline IqStatus loadFiles(IqBuffer &r, int loadIndex, const QString &i, const QString &q = {})
{
    r = IqBuffer();
    r.typeIndex = loadIndex;
    r.iFileName = i;
    r.qFileName = q;
    return loadIqFile(r);
}

// Saves as the window does, through the save list's index.
inline IqStatus saveFiles(IqBuffer &source, int saveIndex, const QString &i, const QString &q = {})
{
    IqBuffer scratch, target;
    target.typeIndex = saveIndex;
    target.iFileName = i;
    target.qFileName = q;
    return saveIqFile(source, scratch, target, false, 0);
}

// Runs a program; returns its exit code (-1 when it cannot start) and its standard output.
inline int run(const QString &program, const QStringList &args, QByteArray *out = nullptr,
               QByteArray *err = nullptr)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted(10000))
        return -1;
    p.waitForFinished(120000);
    if (out)
        *out = p.readAllStandardOutput();
    if (err)
        *err = p.readAllStandardError();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

inline bool havePython(const char *modules)
{
    return run(QStringLiteral(TROVIK_TEST_PYTHON),
               {QStringLiteral("-c"), QStringLiteral("import %1").arg(QLatin1String(modules))})
           == 0;
}

inline int python(const QString &script, const QStringList &args, QByteArray *out = nullptr)
{
    QStringList all{QStringLiteral("-c"), script};
    all += args;
    QByteArray err;
    const int rc = run(QStringLiteral(TROVIK_TEST_PYTHON), all, out, &err);
    if (rc != 0)
        fprintf(stderr, "%s\n", err.constData());
    return rc;
}

// Runs a Python check that prints "ok" when all it asserts holds.
inline bool pythonSaysOk(const char *script, const QStringList &args)
{
    QByteArray out;
    return python(QLatin1String(script), args, &out) == 0 && out.trimmed() == "ok";
}

inline bool haveProgram(const char *name)
{
    return !QStandardPaths::findExecutable(QLatin1String(name)).isEmpty();
}

// A test with a folder of its own.
class TempDirTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }
    QString path(const char *name) const { return dir.filePath(QLatin1String(name)); }
};

// A folder of its own and numpy to write and check the files; skipped without numpy.
class NumpyTest : public TempDirTest
{
protected:
    void SetUp() override
    {
        if (!havePython("numpy"))
            GTEST_SKIP() << TROVIK_TEST_PYTHON << " with numpy is not available";
    }

    // The record holds the values numpy wrote to expectFile: float64, all I then all Q.
    void expectValues(const IqBuffer &r, const QString &expectFile)
    {
        const QByteArray e = readAll(path(expectFile));
        ASSERT_EQ(int64_t(e.size()), r.sampleCount * 16);
        const auto *x = reinterpret_cast<const double *>(e.constData());
        for (int64_t k = 0; k < r.sampleCount; ++k) {
            ASSERT_EQ(r.iData[k], float(x[k])) << k;
            ASSERT_EQ(r.qData[k], float(x[r.sampleCount + k])) << k;
        }
    }
};

}  // namespace containertest
