// The one table of settings keys: a fresh record and a missing file agree, a typed value is
// checked strictly by the key's type, limits clamp (or reset) and every moved value is named.
#include "settingsfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

StoredSettings withValue(const char *path, const QVariant &value)
{
    StoredSettings stored;
    takeStoredValue(*findSettingKey(QLatin1String(path)), stored, value);
    return stored;
}

QVariant valueOf(const StoredSettings &stored, const char *path)
{
    return storedValue(*findSettingKey(QLatin1String(path)), stored);
}

}  // namespace

// Defaults were once written in two places that disagreed; now the record starts where a
// missing file does.
TEST(SettingKeys, AFreshRecordIsWhatAMissingFileReads)
{
    QTemporaryDir dir;
    const StoredSettings read = readStoredSettings(dir.filePath("none.ini"));
    EXPECT_FALSE(QFile::exists(dir.filePath("none.ini")));  // nor is it made
    const StoredSettings fresh;
    for (const SettingKey &key : settingKeys())
        EXPECT_EQ(storedValue(key, read), storedValue(key, fresh)) << key.path().toStdString();
    EXPECT_EQ(fresh.settings.deviceType, 6);
    EXPECT_EQ(fresh.settings.centerFrequency, 1e6);  // the later of its two keys
    EXPECT_EQ(fresh.program.sourceTypeIndex, 23);
    EXPECT_EQ(fresh.program.tcpPort, 1000);
}

TEST(SettingKeys, EveryKeyIsFoundByItsPathAndGroupsListTheirKeys)
{
    for (const SettingKey &key : settingKeys())
        EXPECT_EQ(findSettingKey(key.path()), &key) << key.path().toStdString();
    EXPECT_EQ(findSettingKey("Analyzer/sample count"), nullptr);
    EXPECT_EQ(findSettingKey("Sample Count"), nullptr);
    EXPECT_EQ(settingGroups(), (QStringList{"Position", "Analyzer", "Program", "DigiIQ", "AnaIQ"}));
    EXPECT_EQ(settingKeyNames("AnaIQ"), (QStringList{"IQ Range", "IQ Offset"}));
    EXPECT_TRUE(settingKeyNames("Analyser").isEmpty());
}

TEST(SettingKeys, TypedValuesAreCheckedByTheKeysType)
{
    struct Case
    {
        const char *path;
        const char *text;
        bool ok;
        QVariant stored;  // what the record then holds, as the file would store it
    };
    const Case cases[] = {
            {"Analyzer/Sample Count", "4294967295", true, 4294967295u},
            {"Analyzer/Sample Count", "abc", false, {}},
            {"Analyzer/Sample Count", "-5", false, {}},
            {"Analyzer/Sample Count", "4294967296", false, {}},
            {"Analyzer/Sample Count", "1.5", false, {}},
            {"Analyzer/Type", " 7 ", true, 7},
            {"Analyzer/Type", "", false, {}},
            {"Analyzer/Pre Trigger Samples", "-130559", true, -130559},
            {"Analyzer/Sample Rate", "2e8", true, 2e8},
            {"Analyzer/Sample Rate", "nan", false, {}},
            {"Analyzer/Sample Rate", "inf", false, {}},
            {"Analyzer/Sample Rate", "20 MHz", false, {}},
            {"Analyzer/Raw IQ", "false", true, false},
            {"Analyzer/Raw IQ", "1", true, true},
            {"Analyzer/Raw IQ", "yes", false, {}},
            {"Analyzer/Balanced", "TRUE", true, 1},
            {"Analyzer/Balanced", "2", false, {}},
            {"Analyzer/VISA Resource String", "TCPIP::10.0.0.1::INSTR", true,
             "TCPIP::10.0.0.1::INSTR"},
            {"Analyzer/VISA Resource String", "", true, QString()},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(std::string(k.path) + "=" + k.text);
        const SettingKey &key = *findSettingKey(QLatin1String(k.path));
        QVariant value;
        ASSERT_EQ(parseSettingValue(key, QLatin1String(k.text), value), k.ok);
        if (!k.ok)
            continue;
        StoredSettings stored;
        takeStoredValue(key, stored, value);
        EXPECT_EQ(storedValue(key, stored), k.stored);
    }
}

TEST(SettingKeys, LimitsClampOrResetAndNameEachMovedValue)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case
    {
        const char *path;
        QVariant value;
        QVariant kept;
        const char *note;  // nullptr: nothing moved
    };
    const Case cases[] = {
            {"Analyzer/Average", 0, 1, "Analyzer/Average 0 -> 1"},
            {"Analyzer/Average", 40000, 32767, "Analyzer/Average 40000 -> 32767"},
            {"Analyzer/Average", 16, 16, nullptr},
            {"Analyzer/Type", 25, 6, "Analyzer/Type 25 -> 6"},  // outside: the default
            {"Analyzer/Type", -1, 6, "Analyzer/Type -1 -> 6"},
            {"Analyzer/IQ Sideband IF", 9, 3, "Analyzer/IQ Sideband IF 9 -> 3"},
            {"Analyzer/Relative Bandwidth", 0.0, 0.01, "Analyzer/Relative Bandwidth 0 -> 0.01"},
            {"Analyzer/Relative Bandwidth", nan, 0.8, "Analyzer/Relative Bandwidth nan -> 0.8"},
            {"Program/IQ Source", 2, 0, "Program/IQ Source 2 -> 0"},
            {"DigiIQ/Sample Rate", 5000.0, 1000.0, "DigiIQ/Sample Rate 5000 -> 1000"},
            {"AnaIQ/IQ Offset", -5.0, -5.0, nullptr},
            {"Analyzer/Sample Count", 4294967295u, 4294967295u, nullptr},  // the device row's
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.path);
        StoredSettings stored = withValue(k.path, k.value);
        const std::vector<SettingChange> changes = keepWithinLimits(stored);
        EXPECT_EQ(valueOf(stored, k.path), k.kept);
        if (!k.note) {
            EXPECT_TRUE(changes.empty());
            continue;
        }
        ASSERT_EQ(changes.size(), 1u);
        EXPECT_EQ(changes[0].text(), QLatin1String(k.note));
    }
}

TEST(SettingKeys, ChangesNameEveryKeyOnceFromFirstToLastValue)
{
    StoredSettings a, b, c;
    b.settings.sampleCount = 100;
    b.settings.centerFrequency = 2e9;         // one field under two keys: named once
    b.settings.resourceString = "elsewhere";  // texts are not clamped
    c = b;
    c.settings.sampleCount = 50;
    c.settings.centerFrequency = a.settings.centerFrequency;
    c.settings.average = 3;

    std::vector<SettingChange> changes = settingChanges(a, b);
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0].text(), "Analyzer/Center Frequency 1000000 -> 2000000000");
    EXPECT_EQ(changes[1].text(), "Analyzer/Sample Count 8192 -> 100");
    EXPECT_TRUE(settingChanges(a, b, {"Analyzer/Sample Rate"}).empty());

    mergeSettingChanges(changes, settingChanges(b, c));
    ASSERT_EQ(changes.size(), 2u);  // the frequency came back; the average is new
    EXPECT_EQ(changes[0].text(), "Analyzer/Sample Count 8192 -> 50");
    EXPECT_EQ(changes[1].text(), "Analyzer/Average 1 -> 3");
}
