#include "numbertext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace {

template<typename T>
std::string e7(T v)
{
    char b[numbertext::kMaxNumberChars];
    return std::string(b, numbertext::putE7(b, v));
}

std::string printfText(const char *format, double v)
{
    char b[64];
    return std::string(b, size_t(std::snprintf(b, sizeof b, format, v)));
}

std::string g6(double v)
{
    char b[numbertext::kMaxNumberChars];
    return std::string(b, numbertext::putG6(b, v));
}

float parse(const char *text, bool *ok = nullptr)
{
    return numbertext::parseFloat(text, text + std::strlen(text), ok);
}

}  // namespace

TEST(NumberText, E7MatchesPrintfForSpecialAndRandomFloats)
{
    const float max = std::numeric_limits<float>::max(), inf = INFINITY;
    for (float v : {0.0f,       -0.0f,       1.0f,   -1.0f,       0.1234567f,      0.12345670f,
                    9.9999999f, 99999995.0f, 1e-45f, -1.4e-45f,   1.17549435e-38f, max,
                    -max,       0.5f,        0.125f, 1.00000005f, 123456.785f,     1e38f,
                    1e-38f,     5e-8f,       inf,    -inf})
        EXPECT_EQ(e7(v), printfText("%0.7e", v)) << v;
    EXPECT_EQ(e7(0.12345670f), "1.2345670e-01");
    EXPECT_EQ(e7(std::nanf("")), printfText("%0.7e", double(std::nanf(""))));

    std::mt19937 rng(7);
    for (int k = 0; k < 300000; ++k) {
        uint32_t bits = rng();
        float v;
        std::memcpy(&v, &bits, 4);
        if (std::isnan(v))
            continue;
        ASSERT_EQ(e7(v), printfText("%0.7e", v)) << bits;
    }
    // Ordinary signal levels, where ties of the eighth digit are most frequent.
    std::normal_distribution<float> gauss(0.0f, 1.0f);
    for (int k = 0; k < 300000; ++k) {
        const float v = gauss(rng) * float(k % 7 + 1);
        ASSERT_EQ(e7(v), printfText("%0.7e", v));
    }
}

TEST(NumberText, DoubleE7AndG6MatchPrintf)
{
    for (double v : {1.0 / 1e8, 1e8, 100e6, 1.0 / 3.0, 2.5e-300, -7.0, 0.0, 123456.5, 1234567.0,
                     0.0001, 0.00001, 1e300, 44100.0, 1.0 / 0.0}) {
        EXPECT_EQ(e7(v), printfText("%0.7e", v)) << v;
        EXPECT_EQ(g6(v), printfText("%g", v)) << v;
    }
    EXPECT_EQ(g6(1.0 / 100e6), "1e-08");
}

TEST(NumberText, ShortestAndIntegerAndHexFields)
{
    char b[numbertext::kMaxNumberChars];
    EXPECT_EQ(std::string(b, numbertext::putShortest(b, 0.1)), "0.1");
    EXPECT_EQ(std::string(b, numbertext::putShortest(b, -20.1f)), "-20.1");
    EXPECT_EQ(std::string(b, numbertext::putInt(b, -1234567890123LL)), "-1234567890123");
    EXPECT_EQ(std::string(b, numbertext::putHexField(b, 0, 4)), "   0");
    EXPECT_EQ(std::string(b, numbertext::putHexField(b, 0x7fff, 4)), "7FFF");
    EXPECT_EQ(std::string(b, numbertext::putHexField(b, 0x200, 3)), "200");
    EXPECT_EQ(std::string(b, numbertext::putHexField(b, 0xab, 5)), "   AB");
}

TEST(NumberText, ParsesNumbersAndGivesZeroForEverythingElse)
{
    bool ok = false;
    EXPECT_EQ(parse("1.2345670e-01", &ok), 0.1234567f);
    EXPECT_TRUE(ok);
    EXPECT_EQ(parse("  -3.5\t\r"), -3.5f);
    EXPECT_EQ(parse("+2"), 2.0f);
    EXPECT_EQ(parse(".5"), 0.5f);
    EXPECT_EQ(parse("5."), 5.0f);
    EXPECT_EQ(parse("1E3"), 1000.0f);
    EXPECT_EQ(parse("0.1"), 0.1f);
    EXPECT_EQ(parse("123456789012345678901234567890"), 123456789012345678901234567890.0f);
    EXPECT_EQ(parse("1e40"), std::numeric_limits<float>::infinity());
    EXPECT_EQ(parse("-1e400"), -std::numeric_limits<float>::infinity());
    EXPECT_EQ(parse("1e-400"), 0.0f);
    EXPECT_TRUE(std::isinf(parse("inf")));
    EXPECT_TRUE(std::isnan(parse("nan")));
    EXPECT_TRUE(std::signbit(parse("-0.0")));
    for (const char *bad :
         {"", " ", "abc", "1.0 2.0", "1,5", "1e", "--1", "+-1", "0x10", "1.0abc", "e5", "."}) {
        EXPECT_EQ(parse(bad, &ok), 0.0f) << bad;
        EXPECT_FALSE(ok) << bad;
    }
    // A double that rounds to the float maximum stays finite.
    EXPECT_EQ(parse("3.4028235e38"), std::numeric_limits<float>::max());
}

TEST(NumberText, FastPathAgreesWithCorrectRounding)
{
    std::mt19937_64 rng(3);
    for (int k = 0; k < 200000; ++k) {
        const double v = std::ldexp(double(rng() >> 11), int(rng() % 200) - 150);
        char b[64];
        const int n = std::snprintf(b, sizeof b, k % 2 ? "%.14g" : "%.7e", v);
        const double expected = std::strtod(b, nullptr);
        ASSERT_EQ(numbertext::parseDouble(b, b + n), expected) << b;
    }
}

TEST(NumberText, UnsignedWithinLimit)
{
    uint64_t v = 0;
    const auto check = [&](const char *t, int base, uint64_t max) {
        return numbertext::parseUnsigned(t, t + std::strlen(t), base, max, v);
    };
    EXPECT_TRUE(check("ffff", 16, 0xffff));
    EXPECT_EQ(v, 0xffffu);
    EXPECT_FALSE(check("10000", 16, 0xffff));
    EXPECT_TRUE(check(" 1FFFF\r", 16, 0x1ffff));
    EXPECT_FALSE(check("4294967296", 10, 0xffffffffu));
    EXPECT_TRUE(check("4294967295", 10, 0xffffffffu));
    EXPECT_FALSE(check("99999999999999999999999", 10, ~uint64_t(0)));
    EXPECT_FALSE(check("", 10, 5));
    EXPECT_FALSE(check("-1", 10, 5));
    EXPECT_FALSE(check("12g", 16, 0xffff));
}
