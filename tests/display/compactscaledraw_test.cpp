#include "compactscaledraw.h"

#include <qwt_scale_div.h>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The labels a scale draw writes for ticks from low to high, step apart.
QStringList labels(double low, double high, double step)
{
    QList<double> ticks;
    const int n = int(std::lround((high - low) / step));
    for (int k = 0; k <= n; ++k)
        ticks << low + k * step;  // rounding as an axis makes it
    CompactScaleDraw draw;
    draw.setScaleDiv(QwtScaleDiv(low, high, QList<double>(), QList<double>(), ticks));
    QStringList out;
    for (double t : ticks)
        out << draw.label(t).text();
    return out;
}

}  // namespace

TEST(CompactScaleDraw, EveryLabelOfAnAxisHasTheSameFormAndTheDecimalsTheStepNeeds)
{
    const struct
    {
        double low, high, step;
        QStringList expected;
    } rows[] = {
            {0.0, 1500.0, 500.0, {"0", "500", "1000", "1500"}},
            {998.5,
             1001.5,
             0.5,
             {"998.5", "999.0", "999.5", "1000.0", "1000.5", "1001.0", "1001.5"}},
            {-4.0,
             4.0,
             0.8,
             {"-4.0", "-3.2", "-2.4", "-1.6", "-0.8", "0.0", "0.8", "1.6", "2.4", "3.2", "4.0"}},
            {-0.5, 0.5, 0.25, {"-0.50", "-0.25", "0.00", "0.25", "0.50"}},
            {2400000000.0, 2401000000.0, 500000.0, {"2400000000", "2400500000", "2401000000"}},
            {0.025, 0.027, 0.001, {"0.025", "0.026", "0.027"}},
            {-100.0, 0.0, 20.0, {"-100", "-80", "-60", "-40", "-20", "0"}},
            // An I-versus-Q extent of 0.707107: the step shown to three digits.
            {-0.707107,
             0.707107,
             0.2828428,
             {"-0.707", "-0.424", "-0.141", "0.141", "0.424", "0.707"}},
    };
    for (const auto &row : rows)
        EXPECT_EQ(labels(row.low, row.high, row.step), row.expected) << row.low << " " << row.step;
}

TEST(CompactScaleDraw, LoneValuesWithoutASpacing)
{
    EXPECT_EQ(CompactScaleDraw::format(0.0), QStringLiteral("0"));
    EXPECT_EQ(CompactScaleDraw::format(-4e6), QStringLiteral("-4e6"));
    EXPECT_EQ(CompactScaleDraw::format(1500.0), QStringLiteral("1500"));
    EXPECT_EQ(CompactScaleDraw::format(-0.323777), QStringLiteral("-0.324"));
    EXPECT_EQ(CompactScaleDraw::format(1.2e-5), QStringLiteral("1.2e-5"));
    EXPECT_EQ(CompactScaleDraw::format(1e-17), QStringLiteral("0"));
    // A spacing too fine for plain decimals falls back to the lone form.
    EXPECT_EQ(CompactScaleDraw::format(1.2e-8, 1e-9), QStringLiteral("1.2e-8"));
}
