#pragma once

// trovik-cli run as a program from the display tests, on IQW files written here.
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <gtest/gtest.h>

#include <complex>
#include <vector>

struct CliRun
{
    int exitCode = -1;  // -1 when it did not end within two minutes, -2 when it crashed
    QString out, err;
};

// A fresh trovik-cli process for one command, without a display: the plots need none.
inline CliRun cli(const QString &command, const QStringList &args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TROVIK_CLI), QStringList{command} + args);
    CliRun r;
    if (!p.waitForFinished(120000))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// Interleaved little-endian float pairs, the IQW pairs layout.
inline void writeIqw(const QString &path, const std::vector<std::complex<float>> &z)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(reinterpret_cast<const char *>(z.data()), qint64(z.size() * sizeof z[0]));
}
