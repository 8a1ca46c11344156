// A capture the user can follow and stop, against the simulated instrument: a Trace of every
// family whose instrument stays silent ends within a second of the cancel, restores the
// instrument and leaves a session the next Trace works on without Init; trovik-cli capture
// does the same on SIGINT and SIGTERM, and reports the progress of every long step.

#include "instrumentcontrol.h"
#include "progresstracker.h"
#include "simulatorinstance.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <thread>

namespace {

bool waitFor(const std::function<bool()> &done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QThread::msleep(5);
    return done();
}

class CaptureRunTest : public ::testing::TestWithParam<bool>
{
protected:
    void SetUp() override
    {
        Simulator &simulator = Simulator::instance();
        ASSERT_TRUE(simulator.started()) << "scpisim did not start";
        if (GetParam() && !simulator.hasVxi11())
            GTEST_SKIP() << "VXI-11 runs only inside a private network namespace";
        settings.resourceString = simulator.resource(GetParam());
        ASSERT_EQ(openSession(simulator.resourceManager, settings.resourceString, control),
                  VI_SUCCESS);
        simulate("*RST;:SIM:RES;:SIM:BLOC:SKEW 0;MODE TONE;:SIM:OPT Q52;:SIM:NSEL 1;"
                 ":SIM:IQ:LAY AUTO;:SIM:REC:SAMP 1000");
        settings.resolutionBandwidth = 10e6;
        settings.sampleRate = 32e6;
        settings.sampleCount = 1000;
        settings.recordLength = 2;
        settings.oscRecordLength = 1000;
        settings.rawIq = true;
        ASSERT_EQ(visa.open(), VI_SUCCESS);
    }

    void TearDown() override
    {
        if (control != 0) {
            simulate("SIM:RES");
            viClose(control);
        }
    }

    void simulate(const char *commands)
    {
        QString done;
        ASSERT_EQ(queryText(control, QString::fromLatin1(commands) + QStringLiteral(";*OPC?\n"),
                            done),
                  VI_SUCCESS);
    }

    int logSize() const { return Simulator::instance().wireLog().size(); }

    AppSettings settings;
    InstrumentOptions options;
    VisaConnection visa;
    ViSession control = 0;
};

struct FamilyCase
{
    const char *name;
    DeviceId row;
    const char *silence;  // makes the data never come (in time)
    const char *restore;  // the family's last restore commands on the wire
};

const FamilyCase kFamilies[] = {
        {"analyzer pairs", DeviceId::Olive, "SIM:BLOC:DEL 60000",
         "TRAC:IQ OFF;*OPC?\n*RST;*CLS\nINIT:CONT ON\n"},
        {"analyzer all I then all Q", DeviceId::Alder, "SIM:BLOC:DEL 60000",
         "TRAC:IQ OFF;*OPC?\n*RST;*CLS\nINIT:CONT ON\n"},
        {"oscilloscope", DeviceId::Nutmeg, "SIM:BLOC:DEL 60000",
         "TRAC:IQ OFF;*OPC?\n*RST;*CLS\nINIT:CONT ON\n"},
        // The handheld receiver records for as long as the record lasts (here 30 s).
        {"handheld receiver", DeviceId::Maple, "", "TRAC:IQ OFF;*OPC?\n*RST;*CLS\nINIT:CONT ON\n"},
};

TEST_P(CaptureRunTest, EveryFamilyStopsWithinASecondAndTheNextTraceNeedsNoInit)
{
    for (const FamilyCase &family : kFamilies) {
        SCOPED_TRACE(family.name);
        settings.deviceType = int(family.row);
        IqBuffer record;
        InstrumentControl instrument(visa, settings, options);
        ASSERT_EQ(instrument.init(record), AcquisitionStatus::Success);
        if (family.row == DeviceId::Maple)
            settings.sampleCount = uint32_t(30 * settings.sampleRate);
        if (*family.silence)
            simulate(family.silence);
        const int logStart = logSize();

        ProgressTracker progress;
        AcquisitionStatus status = AcquisitionStatus::Success;
        std::thread run([&] { status = instrument.trace(record, progress); });
        const bool waited = waitFor(
                [&] {
                    const ProgressSnapshot now = progress.snapshot();
                    return now.waiting || now.title.startsWith(QLatin1String("Recording"));
                },
                5000);
        QElapsedTimer clock;
        clock.start();
        progress.cancel();
        run.join();
        const qint64 stoppedMs = clock.elapsed();
        ASSERT_TRUE(waited);
        EXPECT_EQ(status, AcquisitionStatus::Cancelled);
        EXPECT_LT(stoppedMs, 1000);
        EXPECT_EQ(record.heldCount(), 0);
        // Commands without a reply: the simulator logs them a moment later.
        const auto wire = [logStart] { return Simulator::instance().wireLog().mid(logStart); };
        EXPECT_TRUE(waitFor([&] { return wire().endsWith(family.restore); }, 2000))
                << wire().toStdString();

        simulate("SIM:BLOC:DEL 0");
        settings.sampleCount = 1000;
        SilentProgress quiet;
        ASSERT_EQ(instrument.trace(record, quiet), AcquisitionStatus::Success);
        EXPECT_GT(record.heldCount(), 0);
    }
}

struct SignalCase
{
    int signal;
    int exitCode;
};

// trovik-cli capture with the instrument silent on its data: the signal stops it within a
// few seconds, after the restore, and nothing is written.
TEST_P(CaptureRunTest, CaptureStopsOnSigintAndSigtermAfterRestoringTheInstrument)
{
    for (const SignalCase c : {SignalCase{SIGINT, 130}, SignalCase{SIGTERM, 143}}) {
        SCOPED_TRACE(c.signal);
        simulate("SIM:BLOC:DEL 60000");
        const int logStart = logSize();
        QTemporaryDir folder;
        const QString out = folder.filePath(QStringLiteral("capture.iqw"));
        QProcess cli;
        cli.start(QStringLiteral(TROVIK_CLI),
                  {QStringLiteral("capture"), QStringLiteral("--settings"),
                   folder.filePath(QStringLiteral("Trovik.ini")), QStringLiteral("--set"),
                   QStringLiteral("Analyzer/VISA Resource String=") + settings.resourceString,
                   QStringLiteral("--set"), QStringLiteral("Analyzer/Type=1"),
                   QStringLiteral("--to"), QStringLiteral("iqw-pairs"), QStringLiteral("--out"),
                   out});
        ASSERT_TRUE(cli.waitForStarted(10000));
        ASSERT_TRUE(waitFor(
                [&] {
                    return Simulator::instance().wireLog().mid(logStart).contains(
                            "TRAC:IQ:DATA?\n");
                },
                10000));
        QThread::msleep(300);  // well inside the silent wait
        QElapsedTimer clock;
        clock.start();
        ::kill(pid_t(cli.processId()), c.signal);
        ASSERT_TRUE(cli.waitForFinished(5000));
        EXPECT_LT(clock.elapsed(), 3000);
        EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(cli.exitCode(), c.exitCode);
        const QString errors = QString::fromLocal8Bit(cli.readAllStandardError());
        EXPECT_TRUE(errors.contains(QLatin1String("Waiting for the instrument")))
                << errors.toStdString();
        EXPECT_TRUE(errors.contains(QLatin1String("\ntrovik-cli: cancelled")))
                << errors.toStdString();
        EXPECT_FALSE(QFile::exists(out));
        const auto wire = [logStart] { return Simulator::instance().wireLog().mid(logStart); };
        EXPECT_TRUE(waitFor(
                [&] {
                    return wire().contains(
                            "TRAC:IQ:DATA?\nTRAC:IQ OFF;*OPC?\n*RST;*CLS\nINIT:CONT ON\n");
                },
                2000))
                << wire().toStdString();
        simulate("SIM:BLOC:DEL 0");
    }
}

QString lastLineOf(const QString &errors, const QString &start)
{
    const QStringList lines = errors.split(QRegularExpression(QStringLiteral("[\r\n]")));
    QString last;
    for (const QString &line : lines)
        if (line.startsWith(start))
            last = line.trimmed();
    return last;
}

// The read of every family and the file write report their progress up to 100%, and the
// progress line is ended before the next message.
TEST_P(CaptureRunTest, CaptureReportsTheReadOfEveryFamilyAndTheWrite)
{
    struct Case
    {
        const char *type;
        const char *count;
    };
    for (const Case c : {Case{"Analyzer/Type=15", "Analyzer/Sample Count=300000"},
                         Case{"Analyzer/Type=0", "Analyzer/Record Length=2"},
                         Case{"Analyzer/Type=17", "Analyzer/Osc. Rec Len=300000"}}) {
        SCOPED_TRACE(c.type);
        QTemporaryDir folder;
        const QString out = folder.filePath(QStringLiteral("capture.txt"));
        QProcess cli;
        cli.start(QStringLiteral(TROVIK_CLI),
                  {QStringLiteral("capture"), QStringLiteral("--settings"),
                   folder.filePath(QStringLiteral("Trovik.ini")), QStringLiteral("--set"),
                   QStringLiteral("Analyzer/VISA Resource String=") + settings.resourceString,
                   QStringLiteral("--set"), QString::fromLatin1(c.type), QStringLiteral("--set"),
                   QString::fromLatin1(c.count), QStringLiteral("--to"),
                   QStringLiteral("matlab-ascii-mixed"), QStringLiteral("--out"), out});
        ASSERT_TRUE(cli.waitForFinished(60000));
        const QString errors = QString::fromUtf8(cli.readAllStandardError());
        ASSERT_EQ(cli.exitCode(), 0) << errors.toStdString();
        const QString read = lastLineOf(errors, QStringLiteral("Reading "));
        EXPECT_TRUE(read.contains(QLatin1String("100%"))) << errors.toStdString();
        EXPECT_TRUE(read.contains(QLatin1String(" samples"))) << errors.toStdString();
        const QString write = lastLineOf(errors, QStringLiteral("Writing ") + out);
        EXPECT_TRUE(
                write.startsWith(QStringLiteral("Writing ") + out + QStringLiteral("\u2026 100%")))
                << errors.toStdString();
        // Ends with the size of the file written, not with the estimate.
        QString size = QString::number(QFileInfo(out).size());
        for (int at = size.size() - 3; at > 0; at -= 3)
            size.insert(at, QLatin1Char(','));
        EXPECT_TRUE(write.contains(QStringLiteral(" of %1 bytes").arg(size)))
                << errors.toStdString();
        EXPECT_TRUE(errors.endsWith(QLatin1Char('\n')));
    }
}

INSTANTIATE_TEST_SUITE_P(Transport, CaptureRunTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool> &info) {
                             return info.param ? "Vxi11" : "RawSocket";
                         });

}  // namespace
