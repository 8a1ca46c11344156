// The --set options of trovik-cli capture, taken out of the arguments and checked against the
// settings-key table.
#include "filetypes.h"
#include "settingoverrides.h"

#include <gtest/gtest.h>

TEST(SettingOverrides, EachOptionIsCheckedAndTakenOut)
{
    struct Case
    {
        QStringList arguments;
        bool ok;
        int overrides;
        const char *says;  // part of the message when refused
    };
    const Case cases[] = {
            {{"--set", "Analyzer/Type=1", "--out", "x", "--set=DigiIQ/Range=4"}, true, 2, ""},
            {{"--set", "Analyzer/VISA Resource String=TCPIP::a=b::INSTR"}, true, 1, ""},
            {{"--set"}, false, 0, "option --set needs a value"},
            {{"--set", "Analyzer/Type"}, false, 0, "--set needs GROUP/KEY=VALUE"},
            {{"--set", "=5"}, false, 0, "--set needs GROUP/KEY=VALUE"},
            {{"--set", "Type=5"}, false, 0, "the groups are Position, Analyzer, Program"},
            {{"--set", "Analyzer/Sampel Count=5"}, false, 0, "the keys of Analyzer are: Type,"},
            {{"--set", "Analyzer/Sample Count=abc"},
             false,
             0,
             "--set Analyzer/Sample Count: 'abc' is not an unsigned integer"},
            {{"--set", "Analyzer/Type=1", "--set", "Position/x=left"},
             false,
             0,
             "--set Position/x: 'left' is not an integer"},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.arguments.join(QLatin1Char(' ')).toStdString());
        QStringList arguments = k.arguments;
        std::vector<SettingOverride> overrides;
        QString error;
        ASSERT_EQ(takeSettingOverrides(arguments, overrides, error), k.ok);
        if (!k.ok) {
            EXPECT_TRUE(error.contains(QLatin1String(k.says))) << error.toStdString();
            continue;
        }
        EXPECT_EQ(int(overrides.size()), k.overrides);
        EXPECT_FALSE(arguments.join(QLatin1Char(' ')).contains("--set"));
    }
}

TEST(SettingOverrides, OverridesLandInTheirFieldsInOrder)
{
    QStringList arguments{"--set", "Analyzer/Sample Count=5", "--set", "Analyzer/Raw IQ=false",
                          "--set", "Analyzer/Sample Count=7", "--set", "Program/TCP Port=5025",
                          "--set", "Analyzer/Impedance=true"};
    std::vector<SettingOverride> overrides;
    QString error;
    ASSERT_TRUE(takeSettingOverrides(arguments, overrides, error));
    StoredSettings stored;
    applySettingOverrides(overrides, stored);
    EXPECT_EQ(stored.settings.sampleCount, 7u);  // the last one given
    EXPECT_FALSE(stored.settings.rawIq);
    EXPECT_TRUE(stored.settings.highImpedance);
    EXPECT_EQ(stored.program.tcpPort, 5025);
}

// The key table writes the defaults once; those that index another table must name its row.
TEST(SettingOverrides, DefaultFileTypesAreTheRowsTheyMean)
{
    const ProgramSettings defaults;
    EXPECT_STREQ(FileTypeTable::loadRow(defaults.sourceTypeIndex).key, "loomwave");
    EXPECT_STREQ(FileTypeTable::saveRow(defaults.destinationTypeIndex).displayName,
                 "Matlab ASCII single");
}
