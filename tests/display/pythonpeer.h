#pragma once

// Runs an implementation written independently of ours, in Python with numpy and scipy, on a
// record: the script gets a file of the record's I then Q samples (little-endian float32), the
// given arguments, and last the path where it writes its results as little-endian float64.
#include "iqbuffer.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

// The results, empty when the script failed; printed takes what it wrote to standard output.
inline std::vector<double> runPythonPeer(const IqBuffer &r, const char *script,
                                         const QStringList &args, QByteArray *printed = nullptr)
{
    QTemporaryDir dir;
    const QString src = dir.filePath(QStringLiteral("iq.f32"));
    const QString dst = dir.filePath(QStringLiteral("out.f64"));
    QFile in(src);
    if (!in.open(QIODevice::WriteOnly))
        return {};
    const qint64 bytes = r.heldCount() * qint64(sizeof(float));
    in.write(reinterpret_cast<const char *>(r.iData.data()), bytes);
    in.write(reinterpret_cast<const char *>(r.qData.data()), bytes);
    in.close();
    QProcess p;
    p.start(QStringLiteral(TROVIK_TEST_PYTHON),
            QStringList{QStringLiteral("-c"), QString::fromLatin1(script), src} + args
                    + QStringList{dst});
    if (!p.waitForFinished(120000) || p.exitCode() != 0) {
        ADD_FAILURE() << p.readAllStandardError().toStdString();
        return {};
    }
    if (printed)
        *printed = p.readAllStandardOutput();
    QFile res(dst);
    if (!res.open(QIODevice::ReadOnly))
        return {};
    std::vector<double> values(size_t(res.size()) / sizeof(double));
    res.read(reinterpret_cast<char *>(values.data()), qint64(values.size() * sizeof(double)));
    return values;
}
