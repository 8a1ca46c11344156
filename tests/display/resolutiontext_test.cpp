#include "resolutiontext.h"

#include <gtest/gtest.h>

TEST(ResolutionText, FrequenciesAreStatedToTheResolution)
{
    const struct
    {
        double hz, resolution;
        const char *text;
    } rows[] = {
            {2402512345.6, 19531.25, "2402.51 MHz"},  // 20 MHz in 1024 bins
            {2402512345.6, 9765.625, "2402512 kHz"},  // 10 MHz in 1024 bins
            {123456.7, 976.5625, "123.5 kHz"},        // 1 MHz in 1024 bins
            {-1500.4, 1.0, "-1500 Hz"},
            {0.5, 0.01, "0.50 Hz"},
            {28e9, 1e8, "28.0 GHz"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(frequencyToResolution(row.hz, row.resolution), QLatin1String(row.text))
                << row.hz << " " << row.resolution;
}

TEST(ResolutionText, TimesAreStatedToTheResolution)
{
    EXPECT_EQ(timeToResolution(0.0271234, 0.001024), QStringLiteral("0.027 s"));
    EXPECT_EQ(timeToResolution(0.0271234, 0.0001024), QStringLiteral("0.0271 s"));
    EXPECT_EQ(timeToResolution(12.34, 2.0), QStringLiteral("12 s"));
}
