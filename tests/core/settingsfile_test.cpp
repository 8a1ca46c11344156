#include "settingsfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

#include <random>

namespace {

struct Loaded
{
    AppSettings settings;
    IqBuffer source;
    IqBuffer target;
    int tcpPort = -1;
    int connectTo = -1;
    int x = -1;
    int y = -1;
};

Loaded load(const QString &path)
{
    Loaded l;
    readSettingsFile(path, l.settings, l.source, l.target, l.tcpPort, l.connectTo, l.x, l.y);
    return l;
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

TEST_F(SettingsFile, NoFileGivesDefaults)
{
    const Loaded l = load(path());
    EXPECT_EQ(l.settings.deviceType, 6);
    EXPECT_EQ(l.settings.sampleCount, 8192u);
    EXPECT_EQ(l.settings.oscRecordLength, 1024u);
    EXPECT_TRUE(l.settings.rawIq);
    EXPECT_EQ(l.settings.average, 1);
    EXPECT_EQ(l.tcpPort, 1000);
    EXPECT_EQ(l.connectTo, 1);
    EXPECT_EQ(l.source.typeIndex, 23);
    EXPECT_EQ(l.target.typeIndex, 0);
    EXPECT_EQ(l.x, 100);
    EXPECT_EQ(l.y, 100);
    EXPECT_EQ(l.settings.centerFrequency, 1000000.0);  // the later carrier key decides
    EXPECT_EQ(l.source.sampleRate, 100000000.0);
    EXPECT_EQ(l.settings.dataType, QStringLiteral("RAW"));
    EXPECT_EQ(l.settings.iqSidebandRf, 1);
    EXPECT_TRUE(l.settings.resourceString.startsWith(QStringLiteral("TCPIP::192.168.")));
    EXPECT_TRUE(l.settings.resourceString.endsWith(QStringLiteral("::INSTR")));
    EXPECT_FALSE(QFile::exists(path()));  // reading never creates the file
}

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
    const Loaded l = load(path());
    EXPECT_TRUE(l.settings.balanced);
    EXPECT_TRUE(l.settings.highImpedance);
    EXPECT_FALSE(l.settings.dithering);
    EXPECT_FALSE(l.settings.lowPass);
    EXPECT_FALSE(l.settings.rawIq);
}

TEST_F(SettingsFile, FlagsSurviveARestart)
{
    Loaded l;
    l.settings.balanced = l.settings.highImpedance = l.settings.dithering = l.settings.lowPass
            = true;
    ASSERT_TRUE(writeSettingsFile(path(), l.settings, l.source, l.target, 1000, 1, 5, 6));
    const Loaded back = load(path());
    EXPECT_TRUE(back.settings.balanced);
    EXPECT_TRUE(back.settings.highImpedance);
    EXPECT_TRUE(back.settings.dithering);
    EXPECT_TRUE(back.settings.lowPass);
    // Stored as integers, so that older readers of the file see them as set too.
    QSettings raw(path(), QSettings::IniFormat);
    EXPECT_EQ(raw.value(QStringLiteral("Analyzer/Balanced")).toString(), QStringLiteral("1"));
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
    Loaded l = load(path());
    ASSERT_TRUE(writeSettingsFile(path(), l.settings, l.source, l.target, l.tcpPort, l.connectTo,
                                  l.x, l.y));
    QSettings raw(path(), QSettings::IniFormat);
    EXPECT_FALSE(raw.contains(QStringLiteral("Analyzer/My Own Key")));
    EXPECT_FALSE(raw.contains(QStringLiteral("Extra/foo")));
    EXPECT_EQ(raw.allKeys().size(), 48);

    QFile f(path());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    for (const char *group : {"[Position]", "[Analyzer]", "[Program]", "[DigiIQ]", "[AnaIQ]"})
        EXPECT_TRUE(text.contains(QLatin1String(group))) << group;
    // One field, stored under both keys, so the file reads back unchanged.
    EXPECT_TRUE(text.contains(QStringLiteral("IQ%20Carrier%20Frequency=1e+06")));
    EXPECT_TRUE(text.contains(QStringLiteral("Center%20Frequency=1e+06")));
}

TEST_F(SettingsFile, EveryValueRoundTrips)
{
    Loaded l;
    l.settings.sampleCount = 4294967295u;
    l.settings.oscRecordLength = 3000000000u;
    l.settings.resourceString = QStringLiteral("TCPIP::10.0.0.7::hislip0::INSTR");
    l.settings.centerFrequency = 2.45e9;
    l.settings.recordLength = 16.38125;
    l.settings.preTriggerSamples = -130559;
    l.settings.rawIq = false;
    l.settings.deviceType = 17;
    l.settings.anaIqRange = 1.5;
    l.settings.digiIqSampleRate = 81.6;
    l.source.directory = QStringLiteral("/data/iq files/ä");
    l.source.typeIndex = 32;
    l.source.sampleRate = 3.84e6;
    l.source.iqSource = 1;
    l.target.directory = QStringLiteral("/tmp/out");
    l.target.typeIndex = 25;
    ASSERT_TRUE(writeSettingsFile(path(), l.settings, l.source, l.target, 65535, 0, -20, 3000));
    const Loaded b = load(path());
    EXPECT_EQ(b.settings.sampleCount, 4294967295u);
    EXPECT_EQ(b.settings.oscRecordLength, 3000000000u);
    EXPECT_EQ(b.settings.resourceString, l.settings.resourceString);
    EXPECT_EQ(b.settings.centerFrequency, 2.45e9);
    EXPECT_EQ(b.settings.recordLength, 16.38125);
    EXPECT_EQ(b.settings.preTriggerSamples, -130559);
    EXPECT_FALSE(b.settings.rawIq);
    EXPECT_EQ(b.settings.deviceType, 17);
    EXPECT_EQ(b.settings.anaIqRange, 1.5);
    EXPECT_EQ(b.settings.digiIqSampleRate, 81.6);
    EXPECT_EQ(b.source.directory, l.source.directory);
    EXPECT_EQ(b.source.typeIndex, 32);
    EXPECT_EQ(b.source.sampleRate, 3.84e6);
    EXPECT_EQ(b.source.iqSource, 1);
    EXPECT_EQ(b.target.directory, QStringLiteral("/tmp/out"));
    EXPECT_EQ(b.target.typeIndex, 25);
    EXPECT_EQ(b.tcpPort, 65535);
    EXPECT_EQ(b.connectTo, 0);
    EXPECT_EQ(b.x, -20);
    EXPECT_EQ(b.y, 3000);
}

TEST_F(SettingsFile, WrongTypesGiveTheNumericConversion)
{
    writeText(path(), "[Analyzer]\nType=seven\nSample%20Count=-1\nCenter%20Frequency=abc\n"
                      "Reference%20Level=12.5dB\n[Program]\nTCP%20Port=2.5\n");
    const Loaded l = load(path());
    EXPECT_EQ(l.settings.deviceType, 0);
    EXPECT_EQ(l.settings.sampleCount, 0u);
    EXPECT_EQ(l.settings.referenceLevel, 0.0);
    EXPECT_EQ(l.tcpPort, 0);
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
        const Loaded l = load(path());
        (void)l;
    }
    nextFile();
    writeText(path(), QByteArray(100000, '['));
    EXPECT_EQ(load(path()).settings.sampleCount, 8192u);
}

TEST_F(SettingsFile, UnwritableFolderReportsFailure)
{
    Loaded l;
    writeText(dir.filePath(QStringLiteral("plain")), "not a folder");
    const QString missing = dir.filePath(QStringLiteral("plain/Trovik.ini"));
    EXPECT_FALSE(writeSettingsFile(missing, l.settings, l.source, l.target, 1, 1, 1, 1));
    EXPECT_FALSE(QFile::exists(missing));
}

TEST(SettingsPath, VantorpIsInsertedBeforeTheLastElement)
{
    EXPECT_EQ(configDirFromDataLocation(QStringLiteral("C:/Users/u/AppData/Local/trovik")),
              QStringLiteral("C:/Users/u/AppData/Local/Vantorp/trovik"));
    EXPECT_EQ(configDirFromDataLocation(QStringLiteral("C:\\Users\\u\\AppData\\Local\\trovik")),
              QStringLiteral("C:/Users/u/AppData/Local/Vantorp/trovik"));
    EXPECT_EQ(configDirFromDataLocation(QStringLiteral("/home/u/.local/share/trovik")),
              QStringLiteral("/home/u/.local/share/Vantorp/trovik"));
    EXPECT_EQ(settingsFilePath(QStringLiteral("/a/Vantorp/trovik")),
              QStringLiteral("/a/Vantorp/trovik/Trovik.ini"));
}

TEST(SettingsPath, HonoursXdgDataHome)
{
    QTemporaryDir home;
    QCoreApplication::setApplicationName(QStringLiteral("trovik"));
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    const QString dir = defaultConfigDir();
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(dir, home.path() + QStringLiteral("/Vantorp/trovik"));
}
