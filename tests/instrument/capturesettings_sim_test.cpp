// trovik-cli capture's settings and destination checks against the simulated instrument: what
// is refused before the instrument hears anything, what is clamped and told, and what the
// instrument is then sent.

#include "acquisition.h"
#include "simulatorinstance.h"
#include "tracerules.h"

#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct CliRun
{
    int exitCode = -1;
    QString errors;
    QByteArray received;  // what the instrument received during the run
};

// Over the raw SCPI socket only: the CLI's checks do not depend on the transport.
class CaptureSettingsTest : public ::testing::TestWithParam<bool>
{
protected:
    void SetUp() override
    {
        Simulator &simulator = Simulator::instance();
        ASSERT_TRUE(simulator.started()) << "scpisim did not start";
        ASSERT_EQ(simulator.openStatus, VI_SUCCESS);
        resource = simulator.resource(false);
        ASSERT_EQ(openSession(simulator.resourceManager, resource, session), VI_SUCCESS);
        simulate("*RST;:SIM:RES;:SIM:BLOC:SKEW 0;MODE TONE;:SIM:OPT 0;:SIM:NSEL 1;"
                 ":SIM:IQ:LAY AUTO");
    }
    void TearDown() override
    {
        if (session == 0)
            return;
        // The next test file finds the simulator as it was.
        simulate(QStringLiteral("*RST;:SIM:RES;:SIM:OPT 0"));
        viClose(session);
    }

    void simulate(const QString &commands)
    {
        ASSERT_EQ(writeCommand(session, commands + QLatin1Char('\n')), VI_SUCCESS);
        QString reply;
        ASSERT_EQ(queryText(session, QStringLiteral("*OPC?\n"), reply), VI_SUCCESS);
    }

    QString settingsPath() const { return folder.filePath(QStringLiteral("Trovik.ini")); }

    CliRun capture(const QStringList &sets, const QString &out)
    {
        QStringList arguments{QStringLiteral("capture"),
                              QStringLiteral("--settings"),
                              settingsPath(),
                              QStringLiteral("--set"),
                              QStringLiteral("Analyzer/VISA Resource String=") + resource,
                              QStringLiteral("--to"),
                              QStringLiteral("iqw-pairs"),
                              QStringLiteral("--out"),
                              out};
        for (const QString &set : sets)
            arguments << QStringLiteral("--set") << set;
        QString reply;
        EXPECT_EQ(queryText(session, QStringLiteral("*OPC?\n"), reply), VI_SUCCESS);
        const int start = Simulator::instance().wireLog().size();
        QProcess cli;
        cli.start(QStringLiteral(TROVIK_CLI), arguments);
        CliRun run;
        if (!cli.waitForFinished(60000))
            return run;
        run.exitCode = cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
        run.errors = QString::fromLocal8Bit(cli.readAllStandardError());
        EXPECT_EQ(queryText(session, QStringLiteral("*OPC?\n"), reply), VI_SUCCESS);
        run.received = Simulator::instance().wireLog().mid(start);
        run.received.chop(int(sizeof "*OPC?\n") - 1);
        return run;
    }
    CliRun capture(const QStringList &sets) { return capture(sets, folder.filePath("out.iqw")); }

    QTemporaryDir folder;
    QString resource;
    ViSession session = 0;
};

}  // namespace

// Every refusal comes before the instrument hears anything, and no file is left.
TEST_P(CaptureSettingsTest, BadOverridesAndDestinationsAreRefusedBeforeAnythingIsSent)
{
    struct Case
    {
        const char *set;
        const char *out;  // nullptr: a writable folder
        int exitCode;
        const char *says;
    };
    const Case cases[] = {
            {"Analyzer/Sampel Count=5", nullptr, 2,
             "the keys of Analyzer are: Type, VISA Resource String"},
            {"Analyser/Sample Count=5", nullptr, 2, "the groups are Position, Analyzer"},
            {"Analyzer/Sample Count=abc", nullptr, 2,
             "Analyzer/Sample Count: 'abc' is not an unsigned integer"},
            {"Analyzer/Sample Count=-5", nullptr, 2, "Analyzer/Sample Count"},
            {"Analyzer/Sample Rate=fast", nullptr, 2,
             "Analyzer/Sample Rate: 'fast' is not a number"},
            {"Analyzer/Raw IQ=maybe", nullptr, 2, "Analyzer/Raw IQ"},
            {"Analyzer/Type=1", "no/such/folder/out.iqw", 1, "does not exist"},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.set);
        const QString out = k.out ? folder.filePath(QLatin1String(k.out))
                                  : folder.filePath(QStringLiteral("out.iqw"));
        const CliRun run = capture({QStringLiteral("Analyzer/Type=1"), QLatin1String(k.set)}, out);
        EXPECT_EQ(run.exitCode, k.exitCode);
        EXPECT_TRUE(run.errors.contains(QLatin1String(k.says))) << run.errors.toStdString();
        EXPECT_TRUE(run.received.isEmpty()) << run.received.toStdString();
        EXPECT_FALSE(QFile::exists(out));
    }
}

TEST_P(CaptureSettingsTest, AReadOnlyFolderIsRefusedBeforeAnythingIsSent)
{
    const QString locked = folder.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkdir(locked));
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    if (QFileInfo(locked).isWritable())
        GTEST_SKIP() << "running with rights that ignore file modes";
    CliRun run = capture({QStringLiteral("Analyzer/Type=1")}, locked + QStringLiteral("/out.iqw"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.errors.contains(QLatin1String("is not writable"))) << run.errors.toStdString();
    EXPECT_TRUE(run.received.isEmpty());
    QFile::setPermissions(locked,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

// A clamp from --set or from the file is told once, with the key, the old and the new value;
// the capture then goes on with the clamped value.
TEST_P(CaptureSettingsTest, ClampsAreToldAndTheClampedValueIsSent)
{
    {
        QSettings file(settingsPath(), QSettings::IniFormat);
        file.setValue(QStringLiteral("Analyzer/Average"), 0);
    }
    const CliRun run = capture({QStringLiteral("Analyzer/Type=1"),
                                QStringLiteral("Analyzer/Sample Rate Index=11"),
                                QStringLiteral("Analyzer/Sample Count=999999")});
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(run.errors.count(QStringLiteral("Analyzer/Sample Count 999999 -> 130560")), 1)
            << run.errors.toStdString();
    EXPECT_EQ(run.errors.count(QStringLiteral("Analyzer/Average 0 -> 1")), 1)
            << run.errors.toStdString();
    EXPECT_TRUE(run.received.contains(",32000000Hz,IMMediate,POSitive,0,130560;*OPC?\n"))
            << run.received.toStdString();
}

// Init reads the options before any rule that depends on them: with Q53 and Q54 the stored
// 200 MHz is captured at 200 MHz; without them Init lowers it, and says so.
TEST_P(CaptureSettingsTest, RowanRateFollowsTheOptionsInitFinds)
{
    const QStringList sets{QStringLiteral("Analyzer/Type=6"),
                           QStringLiteral("Analyzer/Sample Rate=2e8"),
                           QStringLiteral("Analyzer/Sample Count=1000")};
    simulate(QStringLiteral("SIM:OPT Q53,Q54"));
    CliRun run = capture(sets);
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_TRUE(run.received.contains("Hz,200000000Hz,")) << run.received.toStdString();
    EXPECT_FALSE(run.errors.contains(QLatin1String("Analyzer/Sample Rate")));

    simulate(QStringLiteral("SIM:OPT 0"));
    run = capture(sets);
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_TRUE(run.received.contains("Hz,81600000Hz,")) << run.received.toStdString();
    EXPECT_EQ(run.errors.count(QStringLiteral("Analyzer/Sample Rate 200000000 -> 81600000")), 1)
            << run.errors.toStdString();
}

// Panel moves as the window makes them (a refresh per row shown), then Init, its refresh and
// Trace: the instrument is sent only what the user chose.
TEST_P(CaptureSettingsTest, PanelMovesSendOnlyWhatTheUserChose)
{
    struct Case
    {
        const char *what;
        DeviceId first;
        uint32_t count;
        std::vector<DeviceId> walk;
        const char *options;  // the simulator's *OPT? reply
        const char *sent;     // part of the trace set-up sent
    };
    const Case cases[] = {
            {"Olive count past Alder",
             DeviceId::Olive,
             100000,
             {DeviceId::Alder, DeviceId::Olive},
             "0",
             ",IMMediate,POSitive,0,100000;*OPC?\n"},
            {"Alder's bandwidth not on Willow",
             DeviceId::Alder,
             1000,
             {DeviceId::Willow},
             "0",
             "TRAC:IQ:SET NORM,300000Hz,"},
            {"Rowan's stored rate through start-up",
             DeviceId::Rowan,
             1000,
             {DeviceId::Rowan},
             "Q53,Q54",
             ",200000000Hz,IMMediate,POSitive,0,1000;*OPC?\n"},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.what);
        simulate(QStringLiteral("SIM:OPT ") + QLatin1String(k.options));
        AppSettings s;
        s.deviceType = int(k.first);
        s.sampleCount = k.count;
        s.sampleRate = 2e8;
        s.resourceString = resource;
        IqBuffer record;
        InstrumentOptions options;  // not known before Init
        std::vector<DeviceId> shown{k.first};
        shown.insert(shown.end(), k.walk.begin(), k.walk.end());
        for (DeviceId id : shown) {
            s.deviceType = int(id);
            TraceRules::refresh(s, deviceType(id), options, record.sampleCount);
        }
        SilentProgress progress;
        InstrumentContext context{session, s, options, progress};
        ASSERT_EQ(identifyInstrument(context), AcquisitionStatus::Success);
        TraceRules::refresh(s, deviceType(s.deviceType), options, record.sampleCount);
        QString reply;
        ASSERT_EQ(queryText(session, QStringLiteral("*OPC?\n"), reply), VI_SUCCESS);
        const int start = Simulator::instance().wireLog().size();
        EXPECT_EQ(acquireTrace(context, record), AcquisitionStatus::Success);
        ASSERT_EQ(queryText(session, QStringLiteral("*OPC?\n"), reply), VI_SUCCESS);
        const QByteArray sent = Simulator::instance().wireLog().mid(start);
        EXPECT_TRUE(sent.contains(k.sent)) << sent.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Transport, CaptureSettingsTest, ::testing::Values(false),
                         [](const ::testing::TestParamInfo<bool> &) { return "RawSocket"; });
