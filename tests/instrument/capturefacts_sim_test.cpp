// What a capture tells beyond its samples, against the simulated instrument: the record's
// own metadata and the files that carry it, the detail beneath a failure, the short-read
// warning, every row's samples with the instrument's default layout, and the handheld
// receiver's wait for a pushed recording.

#include "acquisition.h"
#include "instrumentcontrol.h"
#include "simulatorinstance.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Cancels as soon as the step titled like prefix reports progress.
class CancelAt : public AcquisitionProgress
{
public:
    explicit CancelAt(const QString &prefix)
        : prefix(prefix)
    {}
    void begin(const QString &title) override { current = title; }
    bool update(int) override { return !current.startsWith(prefix); }
    void end() override {}

private:
    QString prefix;
    QString current;
};

class CaptureFactsTest : public SimulatorSession
{};

// ---------------------------------------------------------------------------------------
// Every row against the instrument's default layout

struct RowSetup
{
    DeviceId id;
    const char *options;  // the simulator's *OPT? reply
    float divisor;        // Alder's values are millivolts
};

TEST_P(CaptureFactsTest, EveryRowCapturesTheSignalTheSimulatorSends)
{
    const RowSetup rows[] = {
            {DeviceId::Alder, "Q52", 1000.0f}, {DeviceId::Birch, "0", 1.0f},
            {DeviceId::Pine, "0", 1.0f},       {DeviceId::Cedar, "0", 1.0f},
            {DeviceId::Dogwood, "0", 1.0f},    {DeviceId::Rowan, "Q31,Q53", 1.0f},
            {DeviceId::ElmFirGum, "0", 1.0f},  {DeviceId::Spruce, "0", 1.0f},
            {DeviceId::Teak, "0", 1.0f},       {DeviceId::Hazel, "0", 1.0f},
            {DeviceId::Walnut, "Q31", 1.0f},   {DeviceId::Juniper, "Q31", 1.0f},
            {DeviceId::Willow, "0", 1.0f},     {DeviceId::KapokLarch, "0", 1.0f},
            {DeviceId::Yew, "0", 1.0f},        {DeviceId::Olive, "0", 1.0f},
            {DeviceId::Maple, "0", 1.0f},      {DeviceId::Nutmeg, "0", 1.0f},
    };
    ASSERT_EQ(std::size(rows), size_t(deviceTypeCount));
    for (const RowSetup &row : rows) {
        SCOPED_TRACE(deviceType(row.id).name);
        // Each row meets the instrument as it comes out of a reset, on a session with the
        // timeout of a fresh one (an analyzer's data read leaves a minute behind).
        simulate(std::string("*RST;:SIM:OPT ") + row.options);
        ASSERT_EQ(setTimeout(session, 2000), VI_SUCCESS);
        settings.deviceType = int(row.id);
        settings.recordLength = 0.03125;  // Alder: 1000 samples at 32 MHz
        settings.sampleRate = row.id == DeviceId::Maple ? 640000 : 32e6;
        settings.sampleCount = row.id == DeviceId::Maple ? 6400 : 1000;
        settings.oscRecordLength = 1000;
        settings.iqInputType = 1;  // Nutmeg: complex baseband
        ASSERT_EQ(init(), AcquisitionStatus::Success);
        ASSERT_EQ(trace(), AcquisitionStatus::Success);
        ASSERT_EQ(record.sampleCount, 1000);
        int wrong = 0;
        for (int64_t n = 0; n < record.sampleCount; ++n) {
            const bool recording = row.id == DeviceId::Maple;
            const float i = recording ? simulatorRecording(n, false) : simulatorTone(n, false);
            const float q = recording ? simulatorRecording(n, true) : simulatorTone(n, true);
            const float d = row.divisor;
            if (record.iData[n] != (d == 1.0f ? i : float(double(i) / d))
                || record.qData[n] != (d == 1.0f ? q : float(double(q) / d)))
                ++wrong;
        }
        EXPECT_EQ(wrong, 0) << "samples that differ from the simulator's signal";
    }
}

// ---------------------------------------------------------------------------------------
// The record keeps what the instrument said

TEST_P(CaptureFactsTest, AnalyzerCaptureIsStampedWithWhatTheInstrumentSaid)
{
    simulate("FREQ:CENT 2.4e9;:DISP:TRAC:Y:RLEV -7.5;:SIM:IDN \"Vantorp,SIM,1,1.0  \"");
    useRow(DeviceId::Olive);
    settings.centerFrequency = 1e6;
    settings.referenceLevel = 0;
    record.extra.insert("from a file", 1);
    ASSERT_EQ(init(), AcquisitionStatus::Success);
    const QDateTime before = QDateTime::currentDateTimeUtc();
    ASSERT_EQ(trace(), AcquisitionStatus::Success);
    const QDateTime after = QDateTime::currentDateTimeUtc();
    EXPECT_EQ(record.sampleRate, 32e6);
    EXPECT_EQ(record.sampleCount, 1000);
    EXPECT_EQ(record.refLevel, -7.5f);
    EXPECT_TRUE(record.centerFrequencyKnown);
    EXPECT_EQ(record.centerFrequency, 2.4e9);
    EXPECT_EQ(record.instrument, "Vantorp,SIM,1,1.0");
    ASSERT_TRUE(record.captureTime.isValid());
    EXPECT_EQ(record.captureTime.timeSpec(), Qt::UTC);
    EXPECT_TRUE(record.captureTime >= before && record.captureTime <= after);
    EXPECT_TRUE(record.extra.isEmpty());
}

TEST_P(CaptureFactsTest, CentreFrequencyIsKnownOnlyWhereTheRowAsksOrSendsIt)
{
    // Rowan on its analog baseband input asks for no levels: no centre frequency.
    simulate("SIM:OPT Q31,Q53");
    useRow(DeviceId::Rowan);
    settings.iqInput = InputCode::analogIq;
    ASSERT_EQ(init(), AcquisitionStatus::Success);
    ASSERT_EQ(trace(), AcquisitionStatus::Success);
    EXPECT_FALSE(record.centerFrequencyKnown);
    EXPECT_EQ(record.centerFrequency, 0.0);

    // The oscilloscope works at the frequency it was sent, as sent (six digits).
    useRow(DeviceId::Nutmeg);
    settings.iqInputType = 0;
    settings.centerFrequency = 1234567890;
    settings.oscRecordLength = 100;
    ASSERT_EQ(init(), AcquisitionStatus::Success);
    ASSERT_EQ(trace(), AcquisitionStatus::Success);
    EXPECT_TRUE(record.centerFrequencyKnown);
    EXPECT_EQ(record.centerFrequency, 1.23457e9);
    settings.iqInputType = 1;  // complex baseband: none sent
    ASSERT_EQ(trace(), AcquisitionStatus::Success);
    EXPECT_FALSE(record.centerFrequencyKnown);

    // The handheld receiver is sent none; its rate comes from its file.
    ASSERT_EQ(setTimeout(session, 2000), VI_SUCCESS);
    useRow(DeviceId::Maple);
    settings.sampleRate = 640000;
    settings.sampleCount = 640;
    ASSERT_EQ(init(), AcquisitionStatus::Success);
    ASSERT_EQ(trace(), AcquisitionStatus::Success);
    EXPECT_FALSE(record.centerFrequencyKnown);
    EXPECT_EQ(record.sampleRate, 640000.0);
    EXPECT_TRUE(record.captureTime.isValid());
}

TEST_P(CaptureFactsTest, RawRecordingOfACaptureCarriesTheInstrumentsCentreFrequency)
{
    simulate("FREQ:CENT 2.4e9;:DISP:TRAC:Y:RLEV -7.5");
    const QString out = folder.filePath("c.wvd");
    const CliRun run = capture(
            {"Analyzer/Type=1", "Analyzer/Sample Count=1000", "Analyzer/Center Frequency=1000000"},
            "recordia-raw", out);
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    QFile header(folder.filePath("c.wvh"));
    ASSERT_TRUE(header.open(QIODevice::ReadOnly));
    expectContains(QString::fromLatin1(header.readAll()),
                   {"{FREQUENCY:2400000000.0}", "{REFLEVEL:-7.500}", "{SAMPLES:1000}"});

    const CliRun info = runCli({"info", "--from", "recordia-raw", "--in", out});
    ASSERT_EQ(info.exitCode, 0) << info.errors.toStdString();
    EXPECT_TRUE(info.output.startsWith("samples: 1000\n")) << info.output.constData();
    expectContains(QString::fromLatin1(info.output),
                   {"\nref_level: -7.5\n", "\ncenter_frequency: 2.4e+09\n"});
}

// ---------------------------------------------------------------------------------------
// Errors say what happened; a short read warns

// trovik-cli says beneath its headline what went wrong, and names the resource.
TEST_P(CaptureFactsTest, CaptureFailuresSayWhyAndNameTheResource)
{
    if (GetParam())
        GTEST_SKIP() << "the CLI runs over the raw socket";
    const QString out = folder.filePath("x.iqw");
    const QString simulator = settings.resourceString;
    struct Case
    {
        const char *resource;  // nullptr: the simulator
        const char *fault;     // sent to the simulator first
        QStringList says;
    };
    const Case cases[] = {
            {"TCPIP::127.0.0.1::1::SOCKET",
             "",
             {"Initialization error.",
              "\n  cannot open the session to TCPIP::127.0.0.1::1::SOCKET\n",
              "\n  connection refused by 127.0.0.1:1\n", "\n  VISA status VI_ERROR_RSRC_NFOUND ("}},
            {"GPIB0::20::INSTR", "", {"or the VISA implementation in use has no interface GPIB0"}},
            {"TCPIP::127.0.0.1::x::SOCKET", "", {"VI_ERROR_INV_RSRC_NAME"}},
            {nullptr,
             "SIM:DEL 3000",
             {"Initialization error.", "\n  timeout after ",
              "waiting for the reply to *CLS;*OPC?\n", "\n  resource " + simulator}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fault);
        settings.resourceString = c.resource ? QString::fromLatin1(c.resource) : simulator;
        SCOPED_TRACE(settings.resourceString.toStdString());
        if (*c.fault)
            simulate(c.fault);
        const CliRun run = capture({"Analyzer/Type=1"}, "iqw-pairs", out);
        EXPECT_EQ(run.exitCode, 1);
        expectContains(run.errors, c.says + QStringList{settings.resourceString});
        EXPECT_FALSE(QFile::exists(out));
    }
}

TEST_P(CaptureFactsTest, SilentInstrumentSaysTimeoutAndTheCommand)
{
    useRow(DeviceId::Olive);
    ASSERT_EQ(setTimeout(session, 300), VI_SUCCESS);
    simulate("SIM:DEL 1000");
    clearAcquisitionDetail();
    EXPECT_EQ(init(), AcquisitionStatus::InitFailed);
    const QStringList lines = acquisitionDetailLines(
            AcquisitionStatus::InitFailed, lastAcquisitionDetail(), settings.resourceString);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.first(), "timeout after 300 ms waiting for the reply to *CLS;*OPC?");
    EXPECT_TRUE(lines.contains(QStringLiteral(
            "VISA status VI_ERROR_TMO (timeout expired before the operation completed)")))
            << lines.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(lines.last(), "resource " + settings.resourceString);
}

TEST_P(CaptureFactsTest, DroppedConnectionSaysBytesOfBytes)
{
    useRow(DeviceId::Olive);
    ASSERT_EQ(init(), AcquisitionStatus::Success);
    simulate("SIM:BLOC:DROP 4006");  // "#48000", then half of the 8000 body bytes
    clearAcquisitionDetail();
    const AcquisitionStatus status = trace();
    EXPECT_NE(status, AcquisitionStatus::Success);
    const QStringList lines
            = acquisitionDetailLines(status, lastAcquisitionDetail(), settings.resourceString);
    EXPECT_TRUE(lines.contains("connection closed after 4000 of 8000 bytes")
                || lines.contains("the block ended after 4000 of 8000 bytes"))
            << lines.join(QLatin1Char('|')).toStdString();
}

TEST_P(CaptureFactsTest, ShortReadIsKeptWithAWarning)
{
    if (GetParam())
        GTEST_SKIP() << "the CLI runs over the raw socket";
    simulate("SIM:BLOC:SKEW -800");
    const QString out = folder.filePath("s.iqw");
    const CliRun run = capture({"Analyzer/Type=1", "Analyzer/Sample Count=1000"}, "iqw-pairs", out);
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains("warning: received 900 of 1000 samples\n"))
            << run.errors.toStdString();
    EXPECT_EQ(QFileInfo(out).size(), 900 * 8);
}

// ---------------------------------------------------------------------------------------
// The handheld receiver's pushed recording

// The handheld receiver may push its recording unasked, right after the catalogue or a second
// later: it is taken as it comes, without asking for it. When nothing comes within the
// session's timeout it is fetched, and the detail says which. The session stays in step.
TEST_P(CaptureFactsTest, MapleTakesAPushedRecordingOrFetchesIt)
{
    struct Case
    {
        const char *simulator;
        int timeoutMs;  // of the session, and how long a fetch first listens
        int waitMs;     // at least
        const char *source;
    };
    const Case cases[] = {
            {"SIM:REC:SAMP 300", 700, 700, "fetched with MMEM:DATA?"},
            {"SIM:REC:SAMP 700;:SIM:REC:PUSH 1", 5000, 0, "pushed"},
            {"SIM:REC:SAMP 700;:SIM:REC:PUSH 1;:SIM:REC:PUSH:DEL 1000", 5000, 1000, "pushed"},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.simulator);
        if (GetParam() && std::strcmp(k.source, "pushed") == 0)
            continue;  // the pushed file is a raw-socket behaviour
        simulate(k.simulator);
        useRow(DeviceId::Maple);
        settings.resolutionBandwidth = 150;
        settings.sampleRate = 640000;
        settings.sampleCount = 640;
        ASSERT_EQ(init(), AcquisitionStatus::Success);
        ASSERT_EQ(setTimeout(session, k.timeoutMs), VI_SUCCESS);
        mark();
        clearAcquisitionDetail();
        QElapsedTimer waited;
        waited.start();
        ASSERT_EQ(trace(), AcquisitionStatus::Success);
        EXPECT_GE(waited.elapsed(), k.waitMs);
        const std::string wire = received();
        const bool pushed = std::strcmp(k.source, "pushed") == 0;
        EXPECT_EQ(wire.find("MMEM:DATA?") == std::string::npos, pushed) << wire;
        EXPECT_NE(wire.find(pushed ? "MMEM:CAT?\nMMEM:DEL RecIQ" : "MMEM:DEL RecIQ"),
                  std::string::npos)
                << wire;
        const int64_t last = pushed ? 699 : 299;
        ASSERT_EQ(record.sampleCount, last + 1);
        EXPECT_EQ(record.iData[0], 16000.0f);
        EXPECT_EQ(record.iData[last], simulatorRecording(last, false));
        EXPECT_TRUE(lastAcquisitionDetail().source.contains(k.source))
                << lastAcquisitionDetail().source.toStdString();
        QString reply;  // the next reply is the next query's
        ASSERT_EQ(queryText(session, "*OPC?\n", reply), VI_SUCCESS);
        EXPECT_EQ(reply, "1\n");
    }
}

TEST_P(CaptureFactsTest, CancelledMapleWaitsReturnCancelledAndRestoreTheInstrument)
{
    useRow(DeviceId::Maple);
    settings.sampleRate = 640000;
    settings.sampleCount = 640000;  // a second of recording
    VisaConnection visa;
    ASSERT_EQ(visa.open(), VI_SUCCESS);
    InstrumentControl control(visa, settings, options);
    IqBuffer captured;
    ASSERT_EQ(control.init(captured), AcquisitionStatus::Success);
    for (const char *step : {"Recording", "Waiting"}) {
        SCOPED_TRACE(step);
        settings.sampleCount = std::strcmp(step, "Recording") == 0 ? 640000 : 640;
        mark();
        CancelAt cancel(QString::fromLatin1(step));
        QElapsedTimer waited;
        waited.start();
        EXPECT_EQ(control.trace(captured, cancel), AcquisitionStatus::Cancelled);
        EXPECT_LT(waited.elapsed(), 900);
        EXPECT_EQ(captured.heldCount(), 0);
        // The control's session is served beside this one.
        EXPECT_TRUE(receivedEndsWith(kRestoreCommands)) << receivedSoFar();
        const std::string wire = receivedSoFar();
        EXPECT_EQ(wire.find("MMEM:DATA?"), std::string::npos) << wire;
    }
}

INSTANTIATE_TEST_SUITE_P(Transport, CaptureFactsTest, ::testing::Bool(), transportName);

}  // namespace
