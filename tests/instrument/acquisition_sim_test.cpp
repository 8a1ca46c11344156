// Init and Trace of every device row against the simulated instrument, through Pontil and
// kxvisa, over a raw SCPI socket and (in a private network namespace) over VXI-11: the
// exact bytes the instrument receives, the values stored, and the faults.

#include "acquisition.h"
#include "simulatorinstance.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <cmath>

namespace {

const char kLevels[]
        = "UNIT:POW DBM;*OPC?\nDISP:TRAC:Y:RLEV?;*WAI\nFREQ:CENT?;*WAI\nINP:ATT?;*WAI\n";
const char kTraceSet[] = "SYST:ERR?\nTRAC:IQ:SET "
                         "NORM,10000000Hz,32000000Hz,IMMediate,POSitive,0,1000;*OPC?\nSYST:ERR?\n";

bool contains(const std::string &text, const char *part)
{
    return text.find(part) != std::string::npos;
}

// Stops at the first update: the user pressed Cancel.
class CancellingProgress : public AcquisitionProgress
{
public:
    void begin(const QString &) override {}
    bool update(int) override { return ++updates, false; }
    void end() override {}
    int updates = 0;
};

class CountingProgress : public SilentProgress
{
public:
    bool update(int percent) override
    {
        ++updates;
        last = percent;
        return true;
    }
    int updates = 0;
    int last = -1;
};

class AcquisitionTest : public SimulatorSession
{
protected:
    // The tone at samples 0, 1, 37 and the last, as stored: divided by the row's scale.
    void expectTone(double divisor)
    {
        ASSERT_GT(record.sampleCount, 0);
        ASSERT_GE(record.heldCount(), record.sampleCount);
        for (int64_t n : {int64_t(0), int64_t(1), int64_t(37), record.sampleCount - 1}) {
            const float i = simulatorTone(n, false), q = simulatorTone(n, true);
            EXPECT_EQ(record.iData[n], divisor == 1.0 ? i : float(double(i) / divisor)) << n;
            EXPECT_EQ(record.qData[n], divisor == 1.0 ? q : float(double(q) / divisor)) << n;
        }
    }
};

struct RowCase
{
    DeviceId id;
    const char *initExtra;     // after *IDN?, before &GTL
    const char *beforeLevels;  // after SYST:ERR:CLE:ALL
    const char *beforeIqOn;    // after the levels
    bool pairFormat;           // sends TRAC:IQ:DATA:FORM IQP
    const char *options;       // the simulator's *OPT? reply
};

const char kRowanOptions[] = "*OPT?\n*OPT?\n*OPT?\n*OPT?\n";
const char kNsel[] = "INST:NSEL?;*WAI\n";

const RowCase kAnalyzerRows[] = {
        {DeviceId::Olive, "", "", "", true, "0"},
        {DeviceId::Birch, "INST SAN;*OPC?\nUNIT:POW DBM;*OPC?\n", "", "", false, "0"},
        {DeviceId::Pine, "", "", "", true, "0"},
        {DeviceId::Cedar, "INST SAN;*OPC?\nUNIT:POW DBM;*OPC?\n", "", "", false, "0"},
        {DeviceId::Dogwood, "INST SAN;*OPC?\nUNIT:POW DBM;*OPC?\n", "", "", false, "0"},
        {DeviceId::Rowan, kRowanOptions, kNsel, "INP:SEL RF;*OPC?\n", true, "Q31,Q53"},
        {DeviceId::ElmFirGum, "BWID?\n", kNsel, "", false, "0"},
        {DeviceId::Spruce, "", "", "", true, "0"},
        {DeviceId::Teak, "INST SAN;*OPC?\nUNIT:POW DBM;*OPC?\n", "", "", true, "0"},
        {DeviceId::Hazel, "", "", "", true, "0"},
        {DeviceId::Walnut, "BWID?\n*OPT?\n*OPT?\n", kNsel, "", true, "Q31"},
        {DeviceId::Juniper, "BWID?\n*OPT?\n*OPT?\n", kNsel, "", true, "Q31"},
        {DeviceId::Willow, "", kNsel, "INP:SEL RF;*OPC?\n", true, "0"},
        {DeviceId::KapokLarch, "", kNsel, "INP:TYPE INPUT1;*OPC?\n", true, "0"},
        {DeviceId::Yew, "", "", "", false, "0"},
};

TEST_P(AcquisitionTest, EveryAnalyzerRowSendsItsSequence)
{
    for (const RowCase &row : kAnalyzerRows) {
        SCOPED_TRACE(deviceType(row.id).name);
        simulate((std::string("SIM:OPT ") + row.options).c_str());
        useRow(row.id);
        mark();
        ASSERT_EQ(init(), AcquisitionStatus::Success);
        EXPECT_EQ(settings.idnReply, "Vantorp,SIM,1,1.0\n");
        EXPECT_EQ(received(), std::string("*CLS;*OPC?\n*IDN?\n") + row.initExtra + "&GTL\n");
        settings.resolutionBandwidth = 10e6;  // some rows read theirs at Init
        mark();
        ASSERT_EQ(trace(), AcquisitionStatus::Success);
        const std::string expected = std::string("*CLS;*OPC?\nSYST:ERR:CLE:ALL;*OPC?\n")
                                     + row.beforeLevels + kLevels + row.beforeIqOn
                                     + "TRAC:IQ ON;*OPC?\n"
                                     + (row.pairFormat ? "TRAC:IQ:DATA:FORM IQP;*OPC?\n" : "")
                                     + "SYST:COMM:GPIB:RTER EOI;*OPC?\n" + kTraceSet
                                     + "FORM REAL, 32;*OPC?\nTRAC:IQ:DATA?\nTRAC:IQ OFF\n";
        EXPECT_EQ(received(), expected);
        EXPECT_EQ(record.sampleCount, 1000);
        // The levels the instrument reported are kept.
        EXPECT_EQ(settings.referenceLevel, -10.0);
        EXPECT_EQ(settings.centerFrequency, 1e9);
        EXPECT_EQ(settings.attenuation, 10.0);
    }
}

TEST_P(AcquisitionTest, OliveStoresRawPairsUnchangedAndScaledPairsDivided)
{
    useRow(DeviceId::Olive);
    ASSERT_EQ(init(), AcquisitionStatus::Success);
    ASSERT_EQ(trace(), AcquisitionStatus::Success);
    expectTone(1.0);
    settings.rawIq = false;
    ASSERT_EQ(trace(), AcquisitionStatus::Success);
    expectTone(std::sqrt(1e-3 * 50));
}

TEST_P(AcquisitionTest, AlderAsksForItsRecordLengthAndGetsSplitMillivolts)
{
    simulate("SIM:OPT Q52");
    useRow(DeviceId::Alder);
    settings.triggerModeIndex = 1;   // EXTernal
    settings.triggerSlopeIndex = 1;  // NEGative
    settings.triggerOffset = 0.5;
    settings.recordLength = 2;
    mark();
    ASSERT_EQ(init(), AcquisitionStatus::Success);
    EXPECT_EQ(received(), std::string("*CLS;*OPC?\n*IDN?\n&GTL\n*OPT?\n"));
    mark();
    ASSERT_EQ(trace(), AcquisitionStatus::Success);
    EXPECT_EQ(received(),
              std::string("*CLS;*OPC?\nSYST:ERR:CLE:ALL;*OPC?\n") + kLevels
                      + "TRAC:IQ ON;*OPC?\nSYST:COMM:GPIB:RTER EOI;*OPC?\n"
                        "TRAC:IQ:SET RAW,8MHz,32000000Hz,EXTernal,NEGative,0.5ms,2ms;*OPC?\n"
                        "FORM REAL, 32;*OPC?\nTRAC:IQ:DATA?\nTRAC:IQ OFF\n");
    EXPECT_EQ(record.sampleCount, 64000);
    expectTone(1000.0);
    settings.rawIq = false;
    ASSERT_EQ(trace(), AcquisitionStatus::Success);
    expectTone(1000.0 * std::sqrt(1e-3 * 50));
}

TEST_P(AcquisitionTest, AlderWithoutQ52IsRefused)
{
    useRow(DeviceId::Alder);
    EXPECT_EQ(init(), AcquisitionStatus::MissingOption);
}

TEST_P(AcquisitionTest, ChannelOtherThanOneIsSelected)
{
    useRow(DeviceId::Willow);
    simulate("SIM:NSEL 2");
    ASSERT_EQ(init(), AcquisitionStatus::Success);
    mark();
    ASSERT_EQ(trace(), AcquisitionStatus::Success);
    EXPECT_EQ(received().rfind(
                      "*CLS;*OPC?\nSYST:ERR:CLE:ALL;*OPC?\nINST:NSEL?;*WAI\nINST:NSEL 1;*OPC?\n"
                      "UNIT:POW DBM;*OPC?\n",
                      0),
              0u);
}

TEST_P(AcquisitionTest, RowanAnalogInputSendsItsSettingsAndSkipsLevels)
{
    simulate("SIM:OPT Q31,Q53,Q54");
    useRow(DeviceId::Rowan);
    settings.sampleRate = 400e6;
    settings.iqInput = InputCode::analogIq;
    settings.balanced = true;
    settings.highImpedance = true;
    settings.anaIqRange = 0.562;
    settings.anaIqOffset = 3.5;
    settings.rawIq = false;
    ASSERT_EQ(init(), AcquisitionStatus::Success);
    EXPECT_TRUE(options.q31 && options.q53 && options.q54 && !options.q90);
    EXPECT_EQ(settings.sampleRate, 326.4e6);  // what Q53 allows
    settings.sampleRate = 32e6;
    mark();
    ASSERT_EQ(trace(), AcquisitionStatus::Success);
    EXPECT_EQ(received(),
              std::string("*CLS;*OPC?\nSYST:ERR:CLE:ALL;*OPC?\nINST:NSEL?;*WAI\n"
                          "INP:SEL AIQ;*OPC?\nTRAC:IQ ON;*OPC?\n"
                          "INP:IQ:BAL ON;*OPC?\nINP:IQ:IMP HIGH;*OPC?\nIQ:DITH OFF;*OPC?\nIQ:LPAS "
                          "OFF;*OPC?\n"
                          ":VOLT:IQ:RANG 0.562V;*OPC?\n:VOLT:IQ:RANG:OFFS 3.5dB;*OPC?\n"
                          "TRAC:IQ:DATA:FORM IQP;*OPC?\nSYST:COMM:GPIB:RTER EOI;*OPC?\n")
                      + kTraceSet + "FORM REAL, 32;*OPC?\nTRAC:IQ:DATA?\nTRAC:IQ OFF\n");
    expectTone(1.0);  // analog I/Q values are volts already
}

TEST_P(AcquisitionTest, WillowDigitalInputScalesByHalfTheRange)
{
    useRow(DeviceId::Willow);
    settings.iqInput = InputCode::digitalIq;
    settings.digiIqRange = 4;
    settings.digiIqSampleRate = 12.5;
    settings.rawIq = false;
    ASSERT_EQ(init(), AcquisitionStatus::Success);
    mark();
    ASSERT_EQ(trace(), AcquisitionStatus::Success);
    EXPECT_EQ(received(),
              std::string("*CLS;*OPC?\nSYST:ERR:CLE:ALL;*OPC?\nINST:NSEL?;*WAI\n"
                          "INP:SEL DIQ;*OPC?\nTRAC:IQ ON;*OPC?\nINST IQ;*OPC?\nINP:SEL DIQ;*OPC?\n"
                          "INP:DIQ:RANG 4;*OPC?\nINP:DIQ:SRAT 12.5MHz;*OPC?\n"
                          "TRAC:IQ:DATA:FORM IQP;*OPC?\nSYST:COMM:GPIB:RTER EOI;*OPC?\n")
                      + kTraceSet + "FORM REAL, 32;*OPC?\nTRAC:IQ:DATA?\nTRAC:IQ OFF\n");
    expectTone(2.0);
}

TEST_P(AcquisitionTest, WalnutWithoutQ31IsLimitedTo45MHz)
{
    useRow(DeviceId::Walnut);
    settings.sampleRate = 100e6;
    ASSERT_EQ(init(), AcquisitionStatus::Success);
    EXPECT_EQ(settings.sampleRate, 45e6);
    EXPECT_EQ(settings.resolutionBandwidth, 1e6);  // read back with BWID?
}

TEST_P(AcquisitionTest, ElmFirGumReadsSplitBlockAndItsBandwidth)
{
    simulate("SIM:IQ:LAY SPL");
    useRow(DeviceId::ElmFirGum);
    settings.rawIq = false;
    ASSERT_EQ(init(), AcquisitionStatus::Success);
    ASSERT_EQ(trace(), AcquisitionStatus::Success);
    EXPECT_EQ(record.sampleCount, 1000);
    expectTone(0.18867924528301888);  // no window applied to the captured values
}

TEST_P(AcquisitionTest, MapleRecordsFetchesReadsAndDeletes)
{
    simulate("SIM:REC:SAMP 500");
    useRow(DeviceId::Maple);
    settings.resolutionBandwidth = 150;
    settings.sampleRate = 640000;
    settings.sampleCount = 64000;  // 0.1 s of recording
    mark();
    ASSERT_EQ(init(), AcquisitionStatus::Success);
    EXPECT_EQ(received(), std::string("*IDN?\n&GTL\n"));
    mark();
    QElapsedTimer recording;
    recording.start();
    ASSERT_EQ(trace(), AcquisitionStatus::Success);
    EXPECT_GE(recording.elapsed(), 100);  // it records for 64000 / 640000 s, not ms
    EXPECT_EQ(received(),
              std::string("BAND 150Hz;*OPC?\nDEM IQ;*OPC?\nTRAC:REC:SOUR IQ;*OPC?\n"
                          "TRAC:REC:STOR FILE;*OPC?\nTRAC:REC:STAR;*OPC?\nTRAC:REC:STOP;*OPC?\n"
                          "MMEM:CDIR '\\Storage Card\\Maple';*OPC?\nMMEM:CAT?\n"
                          "MMEM:DATA? 'RecIQ0001.riq'\nMMEM:DEL RecIQ0001.riq;*OPC?\n"));
    EXPECT_EQ(record.sampleCount, 500);  // the recording's own count
    EXPECT_EQ(settings.sampleRate, 640000.0);
    EXPECT_EQ(record.iData[0], 16000.0f);
    EXPECT_EQ(record.qData[0], 0.0f);
    EXPECT_EQ(record.iData[499], simulatorRecording(499, false));
    QString catalogue;
    ASSERT_EQ(queryText(session, "MMEM:CAT?\n", catalogue), VI_SUCCESS);
    EXPECT_FALSE(catalogue.contains("RecIQ"));  // deleted on the instrument
}

TEST_P(AcquisitionTest, NutmegSendsOnlyTheCommandsOfItsInputTypeAndMode)
{
    useRow(DeviceId::Nutmeg);
    settings.channel = 2;
    settings.oscRecordLength = 300;
    settings.iqInputType = 1;
    settings.iqInputMode = 0;
    settings.sampleRate = 1e6;
    mark();
    ASSERT_EQ(init(), AcquisitionStatus::Success);
    EXPECT_EQ(received(), std::string("*CLS;*OPC?\n*IDN?\n&GTL\n"));
    mark();
    ASSERT_EQ(trace(), AcquisitionStatus::Success);
    EXPECT_EQ(
            received(),
            std::string("*CLS;*OPC?\nSYST:ERR:ALL?\nIQ:STAT ON;*OPC?\nCHAN2:IQ:INPT COMPLEX;*OPC?\n"
                        "CHAN2:IQ:INPM BAS;*OPC?\nIQ:RBW 0.8;*OPC?\nIQ:SRAT 1e+06Hz;*OPC?\n"
                        "IQ:RLEN 300;*OPC?\nRUNS;*OPC?\nCHAN2:IQ:DATA?\n"));
    EXPECT_EQ(record.sampleCount, 300);
    expectTone(1.0);

    settings.iqInputType = 0;
    settings.centerFrequency = 2.4e9;
    mark();
    ASSERT_EQ(trace(), AcquisitionStatus::Success);
    EXPECT_TRUE(contains(
            received(),
            "IQ:RLEN 300;*OPC?\nCHAN2:IQ:CFR 2.4e+09;*OPC?\nCHAN2:IQ:SBRF NORM;*OPC?\nRUNS"));
    settings.iqInputType = 1;
    settings.iqInputMode = 1;
    settings.iqSidebandIf = 3;
    mark();
    ASSERT_EQ(trace(), AcquisitionStatus::Success);
    EXPECT_TRUE(contains(received(), "CHAN2:IQ:CFR 2.4e+09;*OPC?\nCHAN2:IQ:SBIF ILOW;*OPC?\nRUNS"));
}

TEST_P(AcquisitionTest, CancelEndsWithoutSamplesAndTheRestoreResetsTheInstrument)
{
    simulate("SIM:OPT Q52");
    useRow(DeviceId::Alder);
    settings.recordLength = 2;
    ASSERT_EQ(init(), AcquisitionStatus::Success);
    CancellingProgress cancelling;
    mark();
    EXPECT_EQ(trace(cancelling), AcquisitionStatus::Cancelled);
    EXPECT_EQ(cancelling.updates, 1);
    // No TRAC:IQ OFF after a cancel. The rest of the block is still on its way, so the log is
    // read without a round trip on this session.
    const std::string sent = receivedSoFar();
    EXPECT_EQ(sent.substr(sent.size() - std::min<size_t>(sent.size(), 14)), "TRAC:IQ:DATA?\n");
    EXPECT_EQ(record.heldCount(), 0);
    ASSERT_NO_FATAL_FAILURE(reconnect());
    mark();
    restoreAfterCancel(session, settings.resourceString);
    EXPECT_EQ(received(), kRestoreCommands);
}

TEST_P(AcquisitionTest, LargePairRecordIsReadInChunksWithProgressAndCanBeCancelled)
{
    useRow(DeviceId::Spruce);
    settings.sampleCount = 3500000;
    ASSERT_EQ(init(), AcquisitionStatus::Success);
    CountingProgress counting;
    ASSERT_EQ(trace(counting), AcquisitionStatus::Success);
    EXPECT_GE(counting.updates, 2);  // the last pieces halve (read in place)
    EXPECT_EQ(counting.last, 100);
    expectTone(1.0);
    CancellingProgress cancelling;
    EXPECT_EQ(trace(cancelling), AcquisitionStatus::Cancelled);
    EXPECT_EQ(record.heldCount(), 0);
}

// A block cut short or announcing more than was asked for leaves no samples behind.
TEST_P(AcquisitionTest, BrokenBlocksFailWithoutSamples)
{
    struct Case
    {
        DeviceId row;
        const char *fault;
        AcquisitionStatus status;  // Success: any failure
    };
    const Case cases[] = {
            {DeviceId::Olive, "SIM:BLOC:DROP 4000", AcquisitionStatus::Success},
            {DeviceId::Olive, "SIM:BLOC:SKEW 8", AcquisitionStatus::BadBlock},
            {DeviceId::Nutmeg, "SIM:BLOC:DROP 10", AcquisitionStatus::Success},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.fault);
        useRow(k.row);
        ASSERT_EQ(init(), AcquisitionStatus::Success);
        simulate(k.fault);
        const AcquisitionStatus status = trace();
        EXPECT_NE(status, AcquisitionStatus::Success);
        if (k.status != AcquisitionStatus::Success) {
            EXPECT_EQ(status, k.status);
        } else if (k.row == DeviceId::Olive) {
            EXPECT_EQ(acquisitionMessage(status).text, std::string("A VISA error has occurred."));
        }
        EXPECT_EQ(record.heldCount(), 0);
        EXPECT_EQ(record.sampleCount, 0);
        ASSERT_NO_FATAL_FAILURE(reconnect());
        ASSERT_NO_FATAL_FAILURE(resetInstrument());
    }
}

TEST_P(AcquisitionTest, BlockAnnouncingFewerKeepsWhatCame)
{
    useRow(DeviceId::Olive);
    ASSERT_EQ(init(), AcquisitionStatus::Success);
    simulate("SIM:BLOC:SKEW -800");
    ASSERT_EQ(trace(), AcquisitionStatus::Success);
    EXPECT_EQ(record.sampleCount, 900);
    record.sampleCount = 1000;  // the count that was asked for: still only what came is held
    EXPECT_EQ(record.heldCount(), 900);
}

TEST_P(AcquisitionTest, TraceWithoutSessionIsRefused)
{
    const ViSession none = 0;  // no Init has opened one
    InstrumentContext context{none, settings, options, progress};
    EXPECT_EQ(acquireTrace(context, record), AcquisitionStatus::NotInitialized);
}

// trovik-cli capture as a user runs it against the same simulator, the I values it saved.
QStringList savedIValues(const QTemporaryDir &folder)
{
    QFile file(folder.filePath("i.dat"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

class AcquisitionCliTest : public AcquisitionTest
{
protected:
    CliRun capture(const QStringList &sets)
    {
        QFile::remove(folder.filePath("i.dat"));
        return SimulatorSession::capture(sets, "matlab-ascii-single", folder.filePath("i.dat"),
                                         {"--out-q", folder.filePath("q.dat")});
    }
};

TEST_P(AcquisitionCliTest, CaptureDoesInitTraceAndSave)
{
    simulate("SIM:IDN \"Vantorp,CAPTURE,7,2.0\"");
    mark();
    const CliRun run = capture({"Analyzer/Type=1", "Analyzer/Sample Count=1000",
                                "Analyzer/Sample Rate Index=11", "Analyzer/RBW Index=3"});
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    expectContains(run.errors, {"Vantorp,CAPTURE,7,2.0"});
    // The panel's lists decide the numbers and the trigger words sent.
    EXPECT_EQ(received(),
              std::string("*CLS;*OPC?\n*IDN?\n&GTL\n*CLS;*OPC?\nSYST:ERR:CLE:ALL;*OPC?\n") + kLevels
                      + "TRAC:IQ ON;*OPC?\nTRAC:IQ:DATA:FORM IQP;*OPC?\nSYST:COMM:GPIB:RTER "
                        "EOI;*OPC?\n"
                        "SYST:ERR?\nTRAC:IQ:SET "
                        "NORM,10000000Hz,32000000Hz,IMMediate,POSitive,0,1000;*OPC?\n"
                        "SYST:ERR?\nFORM REAL, 32;*OPC?\nTRAC:IQ:DATA?\nTRAC:IQ OFF\n");
    const QStringList iValues = savedIValues(folder);
    ASSERT_EQ(iValues.size(), 1000);
    EXPECT_EQ(iValues.first().toFloat(), 0.5f);
}

// The headline the window shows, then what happened beneath it; nothing is saved.
TEST_P(AcquisitionCliTest, CaptureFailuresPrintTheWindowsMessage)
{
    struct Case
    {
        const char *set;
        const char *fault;     // sent to the simulator first
        const char *resource;  // nullptr: the simulator
        int exitCode;
        QStringList says;
    };
    const Case cases[] = {
            {"Analyzer/Type", "", nullptr, 2, {}},
            {"Analyzer/Type=0", "", nullptr, 1, {"No Alder-Q52 option installed."}},
            {"Analyzer/Type=1",
             "SIM:BLOC:DROP 100",
             nullptr,
             1,
             {"A VISA error has occurred.\n  ", "connection closed after 93 of 65536 bytes"}},
            {"Analyzer/Type=1",
             "",
             "TCPIP::127.0.0.1::1::SOCKET",
             1,
             {"Initialization error. Check your connections and make sure\n"
              "you have the correct GPIB or LAN address."}},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.set);
        if (*k.fault)
            simulate(k.fault);
        if (k.resource)
            settings.resourceString = QLatin1String(k.resource);
        const CliRun run = capture({QLatin1String(k.set)});
        EXPECT_EQ(run.exitCode, k.exitCode) << run.errors.toStdString();
        expectContains(run.errors, k.says);
        EXPECT_TRUE(savedIValues(folder).isEmpty());
    }
}

TEST_P(AcquisitionCliTest, CaptureOfTheOtherFamilies)
{
    simulate("SIM:REC:SAMP 700");
    CliRun run = capture({"Analyzer/Type=16", "Analyzer/Sample Count=6400"});
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(savedIValues(folder).size(), 700);
    run = capture({"Analyzer/Type=17", "Analyzer/Osc. Rec Len=256"});
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(savedIValues(folder).size(), 256);
}

INSTANTIATE_TEST_SUITE_P(Transport, AcquisitionTest, ::testing::Bool(), transportName);
INSTANTIATE_TEST_SUITE_P(Transport, AcquisitionCliTest, ::testing::Bool(), transportName);

}  // namespace
