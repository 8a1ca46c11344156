#pragma once

// trovik-cli run as the user runs it, for the tests of its commands: a fresh process with the
// given arguments (and standard input), its exit code and both output streams.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QStringList>

struct CliRun
{
    int exitCode = -1;  // -1 when it crashed or did not end within a minute
    QByteArray out;
    QByteArray err;
};

inline CliRun cli(const QStringList &arguments, const QByteArray &input = QByteArray())
{
    QProcess p;
    p.start(QStringLiteral(TROVIK_CLI), arguments);
    p.write(input);
    p.closeWriteChannel();
    CliRun r;
    if (!p.waitForFinished(60000))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}
