// The option parser every trovik-cli command shares, tested directly.
#include "clioptions.h"

#include <gtest/gtest.h>

namespace {

const QStringList kValued = {"--in", "--rate", "--port"};
const QStringList kSwitches = {"--quiet"};

QString parseError(const QStringList &arguments)
{
    CliOptions o;
    QString error;
    EXPECT_FALSE(o.parse(arguments, kValued, error, kSwitches));
    return error;
}

TEST(CliOptions, TakesValuesAfterTheNameOrAnEqualsSign)
{
    CliOptions o;
    QString error;
    ASSERT_TRUE(o.parse({"--in", "a=b.wv", "--rate=2e6", "--quiet"}, kValued, error, kSwitches))
            << error.toStdString();
    EXPECT_EQ(o.value("--in"), "a=b.wv");
    EXPECT_EQ(o.value("--rate"), "2e6");
    EXPECT_TRUE(o.has("--quiet"));
    EXPECT_FALSE(o.has("--port"));
    // A value may itself look like an option; an empty value after '=' is a value.
    ASSERT_TRUE(o.parse({"--in", "--port", "--rate="}, kValued, error));
    EXPECT_EQ(o.value("--in"), "--port");
    EXPECT_TRUE(o.has("--rate"));
    EXPECT_TRUE(o.value("--rate").isEmpty());
}

TEST(CliOptions, RefusesWhatItCannotPlace)
{
    EXPECT_EQ(parseError({"--bogus", "1"}), "unknown option '--bogus'");
    EXPECT_EQ(parseError({"stray"}), "unexpected argument 'stray'");
    EXPECT_EQ(parseError({"--in"}), "option --in needs a value");
    EXPECT_EQ(parseError({"--in", "a", "--in=b"}), "option --in given twice");
    EXPECT_EQ(parseError({"--quiet", "--quiet"}), "option --quiet given twice");
    EXPECT_EQ(parseError({"--quiet=1"}), "unknown option '--quiet'");
}

TEST(CliOptions, RequireNamesTheFirstMissingOption)
{
    CliOptions o;
    QString error;
    ASSERT_TRUE(o.parse({"--in", "x"}, kValued, error));
    EXPECT_TRUE(o.require("cmd", {"--in"}, error));
    EXPECT_FALSE(o.require("cmd", {"--in", "--port", "--rate"}, error));
    EXPECT_EQ(error, "cmd needs --port");
}

TEST(CliOptions, NumbersAreFiniteAndWholeNumbersInRange)
{
    CliOptions o;
    QString error;
    ASSERT_TRUE(o.parse({"--rate", "-2.5e3", "--port", "1e3"}, kValued, error));
    double x = 0;
    EXPECT_TRUE(o.number("--rate", 1.0, x, error));
    EXPECT_EQ(x, -2500.0);
    EXPECT_TRUE(o.number("--in", 7.0, x, error));  // not given: the fallback
    EXPECT_EQ(x, 7.0);
    EXPECT_FALSE(o.positive("--rate", 1.0, x, error));
    EXPECT_EQ(error, "--rate needs a positive number, not '-2.5e3'");
    int64_t n = 0;
    EXPECT_TRUE(o.whole("--port", 0, 1000, 5, n, error));
    EXPECT_EQ(n, 1000);
    EXPECT_FALSE(o.whole("--port", 0, 999, 5, n, error));
    EXPECT_EQ(error, "--port needs a whole number from 0 to 999, not '1e3'");
    EXPECT_TRUE(o.whole("--in", 0, 9, 5, n, error));
    EXPECT_EQ(n, 5);
    for (const char *bad : {"inf", "nan", "", "12x"}) {
        ASSERT_TRUE(o.parse({"--port", bad}, kValued, error));
        EXPECT_FALSE(o.number("--port", 0.0, x, error)) << bad;
        EXPECT_FALSE(o.whole("--port", 0, INT64_MAX, 0, n, error)) << bad;
    }
    // Numbers, but not whole ones that fit: 2^63 would wrap a 64-bit count.
    for (const char *bad : {"1.5", "9223372036854775808"}) {
        ASSERT_TRUE(o.parse({"--port", bad}, kValued, error));
        EXPECT_FALSE(o.whole("--port", 0, INT64_MAX, 0, n, error)) << bad;
    }
}

}  // namespace
