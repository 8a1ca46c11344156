#include "compactscaledraw.h"

#include <gtest/gtest.h>

TEST(CompactScaleDraw, ShortLabels)
{
    EXPECT_EQ(CompactScaleDraw::format(0.0), QStringLiteral("0"));
    EXPECT_EQ(CompactScaleDraw::format(-4e6), QStringLiteral("-4e6"));
    EXPECT_EQ(CompactScaleDraw::format(800000.0), QStringLiteral("8e5"));
    EXPECT_EQ(CompactScaleDraw::format(-3.2e6), QStringLiteral("-3.2e6"));
    EXPECT_EQ(CompactScaleDraw::format(1500.0), QStringLiteral("1500"));
    EXPECT_EQ(CompactScaleDraw::format(-1.6e6), QStringLiteral("-1.6e6"));
    EXPECT_EQ(CompactScaleDraw::format(-20.0), QStringLiteral("-20"));
    EXPECT_EQ(CompactScaleDraw::format(-0.323777), QStringLiteral("-0.324"));
    EXPECT_EQ(CompactScaleDraw::format(1.2e-5), QStringLiteral("1.2e-5"));
    // A tick that lands next to zero by rounding of the step is labelled 0.
    EXPECT_EQ(CompactScaleDraw::format(1e-17), QStringLiteral("0"));
}
