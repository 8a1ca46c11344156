// A capture the user can follow and stop, against the simulated instrument: a Trace of every
// family whose instrument stays silent ends within a second of the cancel, restores the
// instrument and leaves a session the next Trace works on without Init; trovik-cli capture
// does the same on SIGINT and SIGTERM, and reports the progress of every long step.

#include "instrumentcontrol.h"
#include "progresstracker.h"
#include "simulatorinstance.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <thread>

namespace {

// The fixture's session steers the simulator; the capture runs on a connection of its own.
class CaptureRunTest : public SimulatorSession
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(SimulatorSession::SetUp());
        if (IsSkipped())
            return;
        steer("SIM:OPT Q52");
        settings.recordLength = 2;
        settings.oscRecordLength = 1000;
        ASSERT_EQ(visa.open(), VI_SUCCESS);
    }

    // Applied before anything that follows, on any connection.
    void steer(const char *commands)
    {
        simulate(commands);
        sync();
    }

    VisaConnection visa;
};

struct FamilyCase
{
    const char *name;
    DeviceId row;
    const char *silence;  // makes the data never come (in time)
};

const FamilyCase kFamilies[] = {
        {"analyzer pairs", DeviceId::Olive, "SIM:BLOC:DEL 60000"},
        {"analyzer all I then all Q", DeviceId::Alder, "SIM:BLOC:DEL 60000"},
        {"oscilloscope", DeviceId::Nutmeg, "SIM:BLOC:DEL 60000"},
        // The handheld receiver records for as long as the record lasts (here 30 s).
        {"handheld receiver", DeviceId::Maple, ""},
};

TEST_P(CaptureRunTest, EveryFamilyStopsWithinASecondAndTheNextTraceNeedsNoInit)
{
    for (const FamilyCase &family : kFamilies) {
        SCOPED_TRACE(family.name);
        settings.deviceType = int(family.row);
        record = IqBuffer();
        InstrumentControl instrument(visa, settings, options);
        ASSERT_EQ(instrument.init(record), AcquisitionStatus::Success);
        if (family.row == DeviceId::Maple)
            settings.sampleCount = uint32_t(30 * settings.sampleRate);
        if (*family.silence)
            steer(family.silence);
        mark();
        ProgressTracker shown;
        AcquisitionStatus status = AcquisitionStatus::Success;
        std::thread run([&] { status = instrument.trace(record, shown); });
        const bool waited = waitFor(
                [&] {
                    const ProgressSnapshot now = shown.snapshot();
                    return now.waiting || now.title.startsWith("Recording");
                },
                5000);
        QElapsedTimer clock;
        clock.start();
        shown.cancel();
        run.join();
        const qint64 stoppedMs = clock.elapsed();
        ASSERT_TRUE(waited);
        EXPECT_EQ(status, AcquisitionStatus::Cancelled);
        EXPECT_LT(stoppedMs, 1000);
        EXPECT_EQ(record.heldCount(), 0);
        EXPECT_TRUE(receivedEndsWith(kRestoreCommands)) << receivedSoFar();

        steer("SIM:BLOC:DEL 0");
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
        steer("SIM:BLOC:DEL 60000");
        mark();
        const QString out = folder.filePath("capture.iqw");
        QProcess cli;
        cli.start(QStringLiteral(TROVIK_CLI),
                  captureArguments({"Analyzer/Type=1"}, "iqw-pairs", out));
        ASSERT_TRUE(cli.waitForStarted(10000));
        const auto sent = [&](const std::string &part) {
            return receivedSoFar().find(part) != std::string::npos;
        };
        ASSERT_TRUE(waitFor([&] { return sent("TRAC:IQ:DATA?\n"); }, 10000));
        QThread::msleep(300);  // well inside the silent wait
        QElapsedTimer clock;
        clock.start();
        ::kill(pid_t(cli.processId()), c.signal);
        ASSERT_TRUE(cli.waitForFinished(5000));
        EXPECT_LT(clock.elapsed(), 3000);
        EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(cli.exitCode(), c.exitCode);
        const QString errors = QString::fromLocal8Bit(cli.readAllStandardError());
        expectContains(errors, {"Waiting for the instrument", "\ntrovik-cli: cancelled"});
        EXPECT_FALSE(QFile::exists(out));
        EXPECT_TRUE(waitFor([&] { return sent(std::string("TRAC:IQ:DATA?\n") + kRestoreCommands); },
                            2000))
                << receivedSoFar();
        steer("SIM:BLOC:DEL 0");
    }
}

QString lastLineOf(const QString &errors, const QString &start)
{
    const QStringList lines = errors.split(QRegularExpression("[\r\n]"));
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
        const QString out = folder.filePath("capture.txt");
        QFile::remove(out);
        const CliRun run = capture({QLatin1String(c.type), QLatin1String(c.count)},
                                   "matlab-ascii-mixed", out);
        const QString &errors = run.errors;
        ASSERT_EQ(run.exitCode, 0) << errors.toStdString();
        const QString read = lastLineOf(errors, "Reading ");
        expectContains(read, {"100%", " samples"});
        const QString write = lastLineOf(errors, "Writing " + out);
        EXPECT_TRUE(write.startsWith("Writing " + out + "\u2026 100%")) << errors.toStdString();
        // Ends with the size of the file written, not with the estimate.
        QString size = QString::number(QFileInfo(out).size());
        for (int at = size.size() - 3; at > 0; at -= 3)
            size.insert(at, QLatin1Char(','));
        EXPECT_TRUE(write.contains(QStringLiteral(" of %1 bytes").arg(size)))
                << errors.toStdString();
        EXPECT_TRUE(errors.endsWith(QLatin1Char('\n')));
    }
}

INSTANTIATE_TEST_SUITE_P(Transport, CaptureRunTest, ::testing::Bool(), transportName);

}  // namespace
