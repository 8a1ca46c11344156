#pragma once

// One simulated instrument (scpisim) and one resource manager for a whole test program,
// reached through Pontil and kxvisa: over a raw SCPI socket, and over VXI-11 when the
// program runs inside a private network namespace (TROVIK_SIM_VXI11 set). The simulator
// logs every received message byte for byte into wireLog().

#include "pontil.h"
#include "visasession.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdlib>

inline constexpr const char *kVxi11Variable = "TROVIK_SIM_VXI11";

// One simulator and one resource manager for the whole run, shared by every test file.
class Simulator
{
public:
    static Simulator &instance()
    {
        static Simulator simulator;
        return simulator;
    }

    bool started() const { return socketPort > 0; }
    QString wireLogPath() const { return emptyTree.filePath(QStringLiteral("wire.log")); }
    // Everything received so far.
    QByteArray wireLog() const
    {
        QFile file(wireLogPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString resource(bool useVxi11) const
    {
        return useVxi11 ? QStringLiteral("TCPIP::127.0.0.1::INSTR")
                        : QStringLiteral("TCPIP::127.0.0.1::%1::SOCKET").arg(socketPort);
    }
    bool hasVxi11() const { return vxi11; }
    ViSession resourceManager = 0;
    ViStatus openStatus = VI_ERROR;
    uint16_t chosenCode = 0;
    int socketPort = -1;

private:
    Simulator()
    {
        // Only the kxvisa beside libpontil.so counts: nothing of the system's.
        setenv("PONTIL_ROOT", QFile::encodeName(emptyTree.path()).constData(), 1);
        setenv("PONTIL_LIBRARY_PATH", QFile::encodeName(emptyTree.path()).constData(), 1);
        chosenCode = firstInstalledVisaLibrary();
        if (!selectVisaLibrary())
            return;
        QStringList arguments{QStringLiteral("--socket-port"), QStringLiteral("0"),
                              QStringLiteral("--wire-log"), wireLogPath()};
        const bool wantVxi11 = std::getenv(kVxi11Variable) != nullptr;
        if (!wantVxi11)
            arguments << QStringLiteral("--no-vxi11");
        process.start(QStringLiteral(SCPISIM_FILE), arguments);
        if (!process.waitForStarted(10000))
            return;
        QByteArray line;
        while (!line.contains('\n') && process.waitForReadyRead(10000))
            line += process.readAllStandardOutput();
        const QRegularExpressionMatch ready
                = QRegularExpression(
                          QStringLiteral("READY socket=(\\d+) vxi11=(-?\\d+) portmapper=(-?\\d+)"))
                          .match(QString::fromLatin1(line));
        if (!ready.hasMatch())
            return;
        socketPort = ready.captured(1).toInt();
        vxi11 = wantVxi11 && ready.captured(2).toInt() > 0 && ready.captured(3).toInt() == 111;
        openStatus = viOpenDefaultRM(&resourceManager);
    }

    ~Simulator()
    {
        if (openStatus >= VI_SUCCESS)
            viClose(resourceManager);
        process.terminate();
        process.waitForFinished(5000);
    }

    QTemporaryDir emptyTree;
    QProcess process;
    bool vxi11 = false;
};
