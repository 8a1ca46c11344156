#include "settingsfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

#include <random>

namespace {

StoredSettings load(const QString &path)
{
    return readStoredSettings(path);
}

void writeText(const QString &path, const QByteArray &text)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
}

class SettingsFile : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    // QSettings caches files by path, size and time; a fresh name per scenario keeps two
    // same-sized files written within one second apart.
    QString path() const { return dir.filePath(QStringLiteral("Trovik%1.ini").arg(m_round)); }
    void nextFile() { ++m_round; }

private:
    int m_round = 0;
};

}  // namespace

TEST_F(SettingsFile, CarrierFrequencyKeyOverridesCenterFrequency)
{
    writeText(path(), "[Analyzer]\nCenter%20Frequency=2.4e9\n");
    EXPECT_EQ(load(path()).settings.centerFrequency, 1000000.0);
    nextFile();
    writeText(path(), "[Analyzer]\nCenter%20Frequency=2.4e9\nIQ%20Carrier%20Frequency=5e6\n");
    EXPECT_EQ(load(path()).settings.centerFrequency, 5e6);
}

TEST_F(SettingsFile, FlagsReadIntegersAndBooleansAlike)
{
    writeText(path(), "[Analyzer]\nBalanced=2\nImpedance=true\nDithering=0\nLow%20Pass=false\n"
                      "Raw%20IQ=false\n");
    const StoredSettings l = load(path());
    EXPECT_TRUE(l.settings.balanced);
    EXPECT_TRUE(l.settings.highImpedance);
    EXPECT_FALSE(l.settings.dithering);
    EXPECT_FALSE(l.settings.lowPass);
    EXPECT_FALSE(l.settings.rawIq);
}

TEST_F(SettingsFile, FlagsSurviveARestart)
{
    StoredSettings l;
    l.settings.balanced = l.settings.highImpedance = l.settings.dithering = l.settings.lowPass
            = true;
    ASSERT_TRUE(writeStoredSettings(path(), l));
    const StoredSettings back = load(path());
    EXPECT_TRUE(back.settings.balanced);
    EXPECT_TRUE(back.settings.highImpedance);
    EXPECT_TRUE(back.settings.dithering);
    EXPECT_TRUE(back.settings.lowPass);
    // Stored as integers, so that older readers of the file see them as set too.
    QSettings raw(path(), QSettings::IniFormat);
    EXPECT_EQ(raw.value("Analyzer/Balanced").toString(), "1");
}

TEST_F(SettingsFile, HighImpedanceClampsTheAnalogRange)
{
    writeText(path(), "[Analyzer]\nImpedance=1\n[AnaIQ]\nIQ%20Range=5.62\n");
    EXPECT_EQ(load(path()).settings.anaIqRange, 1.78);
    nextFile();
    writeText(path(), "[Analyzer]\nImpedance=0\n[AnaIQ]\nIQ%20Range=5.62\n");
    EXPECT_EQ(load(path()).settings.anaIqRange, 5.62);
}

TEST_F(SettingsFile, WritingDropsHandAddedKeysAndWritesEveryKey)
{
    writeText(path(), "[Analyzer]\nMy%20Own%20Key=7\n[Extra]\nfoo=bar\n");
    StoredSettings l = load(path());
    ASSERT_TRUE(writeStoredSettings(path(), l));
    QSettings raw(path(), QSettings::IniFormat);
    EXPECT_FALSE(raw.contains("Analyzer/My Own Key"));
    EXPECT_FALSE(raw.contains("Extra/foo"));
    EXPECT_EQ(raw.allKeys().size(), 48);

    QFile f(path());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    for (const char *group : {"[Position]", "[Analyzer]", "[Program]", "[DigiIQ]", "[AnaIQ]"})
        EXPECT_TRUE(text.contains(QLatin1String(group))) << group;
    // One field, stored under both keys, so the file reads back unchanged.
    EXPECT_TRUE(text.contains("IQ%20Carrier%20Frequency=1e+06"));
    EXPECT_TRUE(text.contains("Center%20Frequency=1e+06"));
}

// Every key comes back as written, at the ends of its range too.
TEST_F(SettingsFile, EveryValueRoundTrips)
{
    StoredSettings l;
    l.settings.sampleCount = 4294967295u;
    l.settings.oscRecordLength = 3000000000u;
    l.settings.resourceString = "TCPIP::10.0.0.7::hislip0::INSTR";
    l.settings.centerFrequency = 2.45e9;
    l.settings.recordLength = 16.38125;
    l.settings.preTriggerSamples = -130559;
    l.settings.rawIq = false;
    l.settings.deviceType = 17;
    l.settings.anaIqRange = 1.5;
    l.settings.digiIqSampleRate = 81.6;
    l.program.sourceDirectory = "/data/iq files/ä";
    l.program.sourceTypeIndex = 32;
    l.program.loadSampleRate = 3.84e6;
    l.program.iqSource = 1;
    l.program.destinationDirectory = "/tmp/out";
    l.program.destinationTypeIndex = 25;
    l.program.tcpPort = 65535;
    l.program.connectTo = 0;
    l.program.windowX = -20;
    l.program.windowY = 3000;
    ASSERT_TRUE(writeStoredSettings(path(), l));
    const StoredSettings back = load(path());
    for (const SettingKey &key : settingKeys())
        EXPECT_EQ(storedValue(key, back), storedValue(key, l)) << key.path().toStdString();
}

TEST_F(SettingsFile, WrongTypesGiveTheNumericConversion)
{
    writeText(path(), "[Analyzer]\nType=seven\nSample%20Count=-1\nCenter%20Frequency=abc\n"
                      "Reference%20Level=12.5dB\n[Program]\nTCP%20Port=2.5\n");
    const StoredSettings l = load(path());
    EXPECT_EQ(l.settings.deviceType, 0);
    EXPECT_EQ(l.settings.sampleCount, 0u);
    EXPECT_EQ(l.settings.referenceLevel, 0.0);
    EXPECT_EQ(l.program.tcpPort, 0);
}

TEST_F(SettingsFile, GarbageAndBinaryJunkNeverCrash)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 50; ++round) {
        QByteArray junk(int(rng() % 4096), '\0');
        for (char &c : junk)
            c = char(rng());
        if (round % 3 == 0)
            junk.prepend("[Analyzer]\nType=");
        nextFile();
        writeText(path(), junk);
        const StoredSettings l = load(path());
        (void)l;
    }
    nextFile();
    writeText(path(), QByteArray(100000, '['));
    EXPECT_EQ(load(path()).settings.sampleCount, 8192u);
}

TEST_F(SettingsFile, UnwritableFolderReportsFailure)
{
    StoredSettings l;
    writeText(dir.filePath("plain"), "not a folder");
    const QString missing = dir.filePath("plain/Trovik.ini");
    EXPECT_FALSE(writeStoredSettings(missing, l));
    EXPECT_FALSE(QFile::exists(missing));
}

TEST(SettingsPath, VantorpIsInsertedBeforeTheLastElement)
{
    EXPECT_EQ(configDirFromDataLocation("C:/Users/u/AppData/Local/trovik"),
              "C:/Users/u/AppData/Local/Vantorp/trovik");
    EXPECT_EQ(configDirFromDataLocation("C:\\Users\\u\\AppData\\Local\\trovik"),
              "C:/Users/u/AppData/Local/Vantorp/trovik");
    EXPECT_EQ(configDirFromDataLocation("/home/u/.local/share/trovik"),
              "/home/u/.local/share/Vantorp/trovik");
    EXPECT_EQ(settingsFilePath("/a/Vantorp/trovik"), "/a/Vantorp/trovik/Trovik.ini");
}

TEST(SettingsPath, HonoursXdgDataHome)
{
    QTemporaryDir home;
    QCoreApplication::setApplicationName("trovik");
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    const QString dir = defaultConfigDir();
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(dir, home.path() + "/Vantorp/trovik");
}
