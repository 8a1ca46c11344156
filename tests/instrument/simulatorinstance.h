#pragma once

// One simulated instrument (scpisim) and one resource manager for a whole test program,
// reached through Pontil and kxvisa: over a raw SCPI socket, and over VXI-11 when the
// program runs inside a private network namespace (TROVIK_SIM_VXI11 set). The simulator
// logs every received message byte for byte into wireLog(). Below it, the fixture every
// simulator test shares: a session of its own, the instrument as it starts, and trovik-cli.

#include "acquisition.h"
#include "pontil.h"
#include "visasession.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>

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
    QString wireLogPath() const { return emptyTree.filePath("wire.log"); }
    // Everything received so far.
    QByteArray wireLog() const
    {
        QFile file(wireLogPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString resource(bool useVxi11) const
    {
        return useVxi11 ? "TCPIP::127.0.0.1::INSTR"
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
        QStringList arguments{"--socket-port", "0", "--wire-log", wireLogPath()};
        const bool wantVxi11 = std::getenv(kVxi11Variable) != nullptr;
        if (!wantVxi11)
            arguments << "--no-vxi11";
        process.start(QStringLiteral(SCPISIM_FILE), arguments);
        if (!process.waitForStarted(10000))
            return;
        QByteArray line;
        while (!line.contains('\n') && process.waitForReadyRead(10000))
            line += process.readAllStandardOutput();
        const QRegularExpressionMatch ready
                = QRegularExpression("READY socket=(\\d+) vxi11=(-?\\d+) portmapper=(-?\\d+)")
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

// The simulator's analyzer and oscilloscope tone, I = 0.5 cos(2 pi 37 n / 1024) and Q the
// sine, as float32; the handheld receiver records the same tone as 16000-scaled integers.
inline float simulatorTone(int64_t n, bool q)
{
    const double phase = 2.0 * std::acos(-1.0) * 37.0 * double(n % 1024) / 1024.0;
    return float(0.5 * (q ? std::sin(phase) : std::cos(phase)));
}

inline float simulatorRecording(int64_t n, bool q)
{
    const double phase = 2.0 * std::acos(-1.0) * 37.0 * double(n % 1024) / 1024.0;
    return float(std::lround(16000 * (q ? std::sin(phase) : std::cos(phase))));
}

// trovik-cli run to its end (a minute at most): exit code (-1: crashed or hung), stderr, stdout.
struct CliRun
{
    int exitCode = -1;
    QString errors;
    QByteArray output;
};

inline CliRun runCli(const QStringList &arguments)
{
    QProcess cli;
    cli.start(QStringLiteral(TROVIK_CLI), arguments);
    CliRun run;
    if (!cli.waitForFinished(60000))
        return run;
    run.exitCode = cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
    run.errors = QString::fromLocal8Bit(cli.readAllStandardError());
    run.output = cli.readAllStandardOutput();
    return run;
}

// Whether done() comes true within ms (looked at every 5 ms).
inline bool waitFor(const std::function<bool()> &done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QThread::msleep(5);
    return done();
}

// The commands a cancelled capture's restore ends with.
inline constexpr const char *kRestoreCommands = "TRAC:IQ OFF;*OPC?\n*RST;*CLS\nINIT:CONT ON\n";

// Every part is in the text; a missing one is shown with the whole text.
inline void expectContains(const QString &text, const QStringList &parts)
{
    for (const QString &part : parts)
        EXPECT_TRUE(text.contains(part))
                << "wanted: " << part.toStdString() << "\n    in: " << text.toStdString();
}

// A session to the simulator over the raw socket (parameter false) or VXI-11 (true), the
// instrument reset to how it starts, settings for a small analyzer capture, and the wire log
// from a mark on.
class SimulatorSession : public ::testing::TestWithParam<bool>
{
protected:
    void SetUp() override
    {
        Simulator &simulator = Simulator::instance();
        ASSERT_TRUE(simulator.started()) << "scpisim did not start";
        ASSERT_EQ(simulator.openStatus, VI_SUCCESS);
        if (GetParam() && !simulator.hasVxi11())
            GTEST_SKIP() << "VXI-11 runs only inside a private network namespace ("
                         << kVxi11Variable << ")";
        settings.resourceString = simulator.resource(GetParam());
        ASSERT_NO_FATAL_FAILURE(reconnect());
        ASSERT_NO_FATAL_FAILURE(resetInstrument());
        settings.resolutionBandwidth = 10e6;
        settings.sampleRate = 32e6;
        settings.sampleCount = 1000;
        settings.rawIq = true;
    }

    void TearDown() override
    {
        if (session != 0)
            viClose(session);
    }

    // A fresh session, as after a connection the instrument dropped.
    void reconnect()
    {
        if (session != 0)
            viClose(session);
        ASSERT_EQ(openSession(Simulator::instance().resourceManager, settings.resourceString,
                              session),
                  VI_SUCCESS);
        ASSERT_EQ(setTimeout(session, 5000), VI_SUCCESS);
    }

    // The instrument as it starts: no options, no faults, the tone, a 1000-sample recording.
    void resetInstrument()
    {
        simulate("*RST;:SIM:RES;:SIM:BLOC:SKEW 0;MODE TONE;:SIM:OPT 0;:SIM:NSEL 1;:SIM:IQ:LAY AUTO;"
                 ":SIM:REC:SAMP 1000;:SIM:IDN \"Vantorp,SIM,1,1.0\"");
        sync();  // applied before what follows (connections are served side by side)
    }

    // Sends without waiting: a command that silences the instrument must not be waited for.
    void simulate(const std::string &commands)
    {
        ASSERT_EQ(writeCommand(session, QString::fromStdString(commands) + QLatin1Char('\n')),
                  VI_SUCCESS);
    }

    // A round trip: everything sent before has been received and logged.
    void sync()
    {
        QString reply;
        ASSERT_EQ(queryText(session, "*OPC?\n", reply), VI_SUCCESS);
    }

    // What the instrument received from a mark on, up to the round trip that ends it.
    void mark()
    {
        sync();
        logStart = Simulator::instance().wireLog().size();
    }
    std::string received()
    {
        sync();
        QByteArray log = Simulator::instance().wireLog().mid(logStart);
        log.chop(int(sizeof "*OPC?\n") - 1);
        return log.toStdString();
    }
    // Without a round trip, for a session that may still be receiving.
    std::string receivedSoFar() const
    {
        return Simulator::instance().wireLog().mid(logStart).toStdString();
    }
    // Whether what was received so far ends with tail, within ms: commands without a reply
    // sent on another session are logged a moment later.
    bool receivedEndsWith(const std::string &tail, int ms = 2000) const
    {
        return waitFor(
                [&] {
                    const std::string wire = receivedSoFar();
                    return wire.size() >= tail.size()
                           && wire.compare(wire.size() - tail.size(), tail.size(), tail) == 0;
                },
                ms);
    }

    void useRow(DeviceId id) { settings.deviceType = int(id); }

    AcquisitionStatus init()
    {
        InstrumentContext context{session, settings, options, progress};
        return identifyInstrument(context);
    }
    AcquisitionStatus trace(AcquisitionProgress &shown)
    {
        InstrumentContext context{session, settings, options, shown};
        return acquireTrace(context, record);
    }
    AcquisitionStatus trace() { return trace(progress); }

    // trovik-cli capture into out (of save type to) against the simulator, with --set
    // overrides and further arguments.
    QStringList captureArguments(const QStringList &sets, const QString &to, const QString &out,
                                 const QStringList &more = {}) const
    {
        QStringList arguments{"capture",
                              "--settings",
                              folder.filePath("Trovik.ini"),
                              "--set",
                              "Analyzer/VISA Resource String=" + settings.resourceString,
                              "--to",
                              to,
                              "--out",
                              out};
        for (const QString &set : sets)
            arguments << "--set" << set;
        return arguments + more;
    }
    CliRun capture(const QStringList &sets, const QString &to, const QString &out,
                   const QStringList &more = {})
    {
        return runCli(captureArguments(sets, to, out, more));
    }

    AppSettings settings;
    InstrumentOptions options;
    SilentProgress progress;
    IqBuffer record;
    ViSession session = 0;
    int logStart = 0;
    QTemporaryDir folder;
};

inline std::string transportName(const ::testing::TestParamInfo<bool> &info)
{
    return info.param ? "Vxi11" : "RawSocket";
}
