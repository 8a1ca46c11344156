#include "settingsfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

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

// What a hand-edited or older file holds, read as each key's value: the later carrier key
// decides the centre frequency, flags read integers and booleans alike, a high impedance
// clamps the analog range, and a value of the wrong type gives its numeric conversion.
TEST_F(SettingsFile, FileTextReadsAsEachKeysValue)
{
    struct Case
    {
        QByteArray text;
        const char *key;
        QVariant value;
    };
    const Case cases[] = {
            {"[Analyzer]\nCenter%20Frequency=2.4e9\n", "Analyzer/Center Frequency", 1e6},
            {"[Analyzer]\nCenter%20Frequency=2.4e9\nIQ%20Carrier%20Frequency=5e6\n",
             "Analyzer/Center Frequency", 5e6},
            {"[Analyzer]\nBalanced=2\n", "Analyzer/Balanced", 1},
            {"[Analyzer]\nImpedance=true\n", "Analyzer/Impedance", 1},
            {"[Analyzer]\nDithering=0\n", "Analyzer/Dithering", 0},
            {"[Analyzer]\nLow%20Pass=false\n", "Analyzer/Low Pass", 0},
            {"[Analyzer]\nRaw%20IQ=false\n", "Analyzer/Raw IQ", false},
            {"[Analyzer]\nImpedance=1\n[AnaIQ]\nIQ%20Range=5.62\n", "AnaIQ/IQ Range", 1.78},
            {"[Analyzer]\nImpedance=0\n[AnaIQ]\nIQ%20Range=5.62\n", "AnaIQ/IQ Range", 5.62},
            {"[Analyzer]\nType=seven\n", "Analyzer/Type", 0},
            {"[Analyzer]\nSample%20Count=-1\n", "Analyzer/Sample Count", 0u},
            {"[Analyzer]\nReference%20Level=12.5dB\n", "Analyzer/Reference Level", 0.0},
            {"[Program]\nTCP%20Port=2.5\n", "Program/TCP Port", 0},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.text.toStdString());
        nextFile();
        writeText(path(), k.text);
        const SettingKey *key = findSettingKey(QLatin1String(k.key));
        ASSERT_NE(key, nullptr);
        EXPECT_EQ(storedValue(*key, load(path())), k.value);
    }
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
