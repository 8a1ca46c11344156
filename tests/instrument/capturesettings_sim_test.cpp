// trovik-cli capture's settings and destination checks against the simulated instrument: what
// is refused before the instrument hears anything, what is clamped and told, and what the
// instrument is then sent.

#include "acquisition.h"
#include "simulatorinstance.h"
#include "tracerules.h"

#include <QSettings>

#include <gtest/gtest.h>

namespace {

// Over the raw SCPI socket only: the CLI's checks do not depend on the transport.
class CaptureSettingsTest : public SimulatorSession
{
protected:
    QString settingsPath() const { return folder.filePath("Trovik.ini"); }

    // The run, and what the instrument heard during it.
    CliRun capture(const QStringList &sets, const QString &out, QByteArray &heard)
    {
        mark();
        const CliRun run = SimulatorSession::capture(sets, "iqw-pairs", out);
        heard = QByteArray::fromStdString(received());
        return run;
    }
    CliRun capture(const QStringList &sets, QByteArray &heard)
    {
        return capture(sets, folder.filePath("out.iqw"), heard);
    }
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
        const QString out
                = k.out ? folder.filePath(QLatin1String(k.out)) : folder.filePath("out.iqw");
        QByteArray heard;
        const CliRun run = capture({"Analyzer/Type=1", QLatin1String(k.set)}, out, heard);
        EXPECT_EQ(run.exitCode, k.exitCode);
        EXPECT_TRUE(run.errors.contains(QLatin1String(k.says))) << run.errors.toStdString();
        EXPECT_TRUE(heard.isEmpty()) << heard.toStdString();
        EXPECT_FALSE(QFile::exists(out));
    }
}

TEST_P(CaptureSettingsTest, AReadOnlyFolderIsRefusedBeforeAnythingIsSent)
{
    const QString locked = folder.filePath("locked");
    ASSERT_TRUE(QDir().mkdir(locked));
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    if (QFileInfo(locked).isWritable())
        GTEST_SKIP() << "running with rights that ignore file modes";
    QByteArray heard;
    CliRun run = capture({"Analyzer/Type=1"}, locked + "/out.iqw", heard);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.errors.contains("is not writable")) << run.errors.toStdString();
    EXPECT_TRUE(heard.isEmpty());
    QFile::setPermissions(locked,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

// A clamp from --set or from the file is told once, with the key, the old and the new value;
// the capture then goes on with the clamped value.
TEST_P(CaptureSettingsTest, ClampsAreToldAndTheClampedValueIsSent)
{
    {
        QSettings file(settingsPath(), QSettings::IniFormat);
        file.setValue("Analyzer/Average", 0);
    }
    QByteArray heard;
    const CliRun run = capture(
            {"Analyzer/Type=1", "Analyzer/Sample Rate Index=11", "Analyzer/Sample Count=999999"},
            heard);
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(run.errors.count("Analyzer/Sample Count 999999 -> 130560"), 1)
            << run.errors.toStdString();
    EXPECT_EQ(run.errors.count("Analyzer/Average 0 -> 1"), 1) << run.errors.toStdString();
    EXPECT_TRUE(heard.contains(",32000000Hz,IMMediate,POSitive,0,130560;*OPC?\n"))
            << heard.toStdString();
}

// Init reads the options before any rule that depends on them: with Q53 and Q54 the stored
// 200 MHz is captured at 200 MHz; without them Init lowers it, and says so.
TEST_P(CaptureSettingsTest, RowanRateFollowsTheOptionsInitFinds)
{
    const QStringList sets{"Analyzer/Type=6", "Analyzer/Sample Rate=2e8",
                           "Analyzer/Sample Count=1000"};
    struct Case
    {
        const char *options;
        const char *sent;
        int told;  // how often the lowered rate is told
    };
    for (const Case &k : {Case{"Q53,Q54", "Hz,200000000Hz,", 0}, Case{"0", "Hz,81600000Hz,", 1}}) {
        SCOPED_TRACE(k.options);
        simulate(std::string("SIM:OPT ") + k.options);
        QByteArray heard;
        const CliRun run = capture(sets, heard);
        ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
        EXPECT_TRUE(heard.contains(k.sent)) << heard.toStdString();
        EXPECT_EQ(run.errors.count("Analyzer/Sample Rate 200000000 -> 81600000"), k.told)
                << run.errors.toStdString();
        EXPECT_EQ(run.errors.count("Analyzer/Sample Rate"), k.told);
    }
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
        simulate(std::string("SIM:OPT ") + k.options);
        const QString resource = settings.resourceString;
        settings = AppSettings();
        settings.resourceString = resource;
        settings.sampleCount = k.count;
        settings.sampleRate = 2e8;
        options = InstrumentOptions();  // not known before Init
        record = IqBuffer();
        std::vector<DeviceId> shown{k.first};
        shown.insert(shown.end(), k.walk.begin(), k.walk.end());
        for (DeviceId id : shown) {
            useRow(id);
            TraceRules::refresh(settings, deviceType(id), options, record.sampleCount);
        }
        ASSERT_EQ(init(), AcquisitionStatus::Success);
        TraceRules::refresh(settings, deviceType(settings.deviceType), options, record.sampleCount);
        mark();
        EXPECT_EQ(trace(), AcquisitionStatus::Success);
        const std::string sent = received();
        EXPECT_NE(sent.find(k.sent), std::string::npos) << sent;
    }
}

INSTANTIATE_TEST_SUITE_P(Transport, CaptureSettingsTest, ::testing::Values(false), transportName);
