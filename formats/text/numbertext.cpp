#include "numbertext.h"

#include "bytes.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace numbertext {

namespace {

// 10^n for n = -40 .. 60, each the double nearest to it.
constexpr int kPowMin = -40;
constexpr double kPow10[] = {
        1e-40, 1e-39, 1e-38, 1e-37, 1e-36, 1e-35, 1e-34, 1e-33, 1e-32, 1e-31, 1e-30, 1e-29, 1e-28,
        1e-27, 1e-26, 1e-25, 1e-24, 1e-23, 1e-22, 1e-21, 1e-20, 1e-19, 1e-18, 1e-17, 1e-16, 1e-15,
        1e-14, 1e-13, 1e-12, 1e-11, 1e-10, 1e-9,  1e-8,  1e-7,  1e-6,  1e-5,  1e-4,  1e-3,  1e-2,
        1e-1,  1e0,   1e1,   1e2,   1e3,   1e4,   1e5,   1e6,   1e7,   1e8,   1e9,   1e10,  1e11,
        1e12,  1e13,  1e14,  1e15,  1e16,  1e17,  1e18,  1e19,  1e20,  1e21,  1e22,  1e23,  1e24,
        1e25,  1e26,  1e27,  1e28,  1e29,  1e30,  1e31,  1e32,  1e33,  1e34,  1e35,  1e36,  1e37,
        1e38,  1e39,  1e40,  1e41,  1e42,  1e43,  1e44,  1e45,  1e46,  1e47,  1e48,  1e49,  1e50,
        1e51,  1e52,  1e53,  1e54,  1e55,  1e56,  1e57,  1e58,  1e59,  1e60};

inline double pow10(int n)
{
    return kPow10[n - kPowMin];
}

const char kDigitPairs[]
        = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
          "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
          "8081828384858687888990919293949596979899";

inline char *putPair(char *out, uint32_t v)
{
    std::memcpy(out, kDigitPairs + 2 * v, 2);
    return out + 2;
}

char *toChars(char *out, double value, std::chars_format format, int precision)
{
    return std::to_chars(out, out + kMaxNumberChars, value, format, precision).ptr;
}

// r holds 8 digits; writes "d.ddddddde±kk".
char *putMantissaExponent(char *out, uint32_t r, int k)
{
    char digits[8];
    const uint32_t high = r / 10000;
    const uint32_t low = r % 10000;
    putPair(digits, high / 100);
    putPair(digits + 2, high % 100);
    putPair(digits + 4, low / 100);
    putPair(digits + 6, low % 100);
    out[0] = digits[0];
    out[1] = '.';
    std::memcpy(out + 2, digits + 1, 7);
    out += 9;
    *out++ = 'e';
    *out++ = k < 0 ? '-' : '+';
    return putPair(out, uint32_t(k < 0 ? -k : k));
}

const char *skipSpace(const char *p, const char *end)
{
    while (p < end && isSpace(*p))
        ++p;
    return p;
}

const char *trimEnd(const char *begin, const char *end)
{
    while (end > begin && isSpace(end[-1]))
        --end;
    return end;
}

inline bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Eight ASCII digits, first digit in the lowest byte, as a number; false if any is no digit.
inline bool eightDigits(uint64_t chars, uint32_t &value)
{
    const uint64_t high = chars & 0xF0F0F0F0F0F0F0F0ull;
    const uint64_t carried = (chars + 0x0606060606060606ull) & 0xF0F0F0F0F0F0F0F0ull;
    if ((high | (carried >> 4)) != 0x3333333333333333ull)
        return false;
    uint64_t v = chars - 0x3030303030303030ull;
    v = v * 10 + (v >> 8);
    v = (((v & 0x000000FF000000FFull) * (100 + (1000000ull << 32)))
         + (((v >> 16) & 0x000000FF000000FFull) * (1 + (10000ull << 32))))
        >> 32;
    value = uint32_t(v);
    return true;
}

inline uint32_t digitAt(const char *p)
{
    return uint32_t(uint8_t(*p)) - uint32_t('0');
}

// The layout the writers produce, "[-]d.ddddddde[+-]dd", without any scanning loop.
bool parseWrittenForm(const char *p, const char *end, double &value)
{
    const bool negative = p < end && *p == '-';
    if (negative)
        ++p;
    if (end - p != 13 || p[1] != '.' || (p[9] != 'e' && p[9] != 'E')
        || (p[10] != '-' && p[10] != '+'))
        return false;
    // The eight mantissa digits around the point: the point's byte takes the first digit.
    uint64_t chars = bytes::le64(reinterpret_cast<const unsigned char *>(p + 1));
    chars = (chars & ~uint64_t(0xFF)) | uint8_t(p[0]);
    uint32_t mantissa;
    const uint32_t e1 = digitAt(p + 11);
    const uint32_t e0 = digitAt(p + 12);
    if (!eightDigits(chars, mantissa) || e1 > 9 || e0 > 9)
        return false;
    const int exponent = int(e1 * 10 + e0);
    const int scale = (p[10] == '-' ? -exponent : exponent) - 7;
    if (scale < -22 || scale > 22)
        return false;
    const double v = scale < 0 ? double(mantissa) / pow10(-scale) : double(mantissa) * pow10(scale);
    value = negative ? -v : v;
    return true;
}

// Decimal text that fits the exact double fast path (at most 15 significant digits and a
// power of ten within 10^±22). Returns false for everything else, which then goes the long way.
bool parseFast(const char *p, const char *end, double &value)
{
    const bool negative = p < end && *p == '-';
    if (negative)
        ++p;
    uint64_t mantissa = 0;
    int digits = 0;
    int scale = 0;
    bool any = false;
    for (; p < end && isDigit(*p); ++p, any = true) {
        if (mantissa != 0 || *p != '0')
            ++digits;
        mantissa = mantissa * 10 + uint64_t(*p - '0');
        if (digits > 15)
            return false;
    }
    if (p < end && *p == '.') {
        for (++p; p < end && isDigit(*p); ++p, any = true) {
            if (mantissa != 0 || *p != '0')
                ++digits;
            mantissa = mantissa * 10 + uint64_t(*p - '0');
            --scale;
            if (digits > 15)
                return false;
        }
    }
    if (!any)
        return false;
    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        const bool negativeExponent = p < end && *p == '-';
        if (p < end && (*p == '-' || *p == '+'))
            ++p;
        if (p == end || !isDigit(*p))
            return false;
        int exponent = 0;
        for (; p < end && isDigit(*p); ++p) {
            exponent = exponent * 10 + (*p - '0');
            if (exponent > 1000)
                return false;
        }
        scale += negativeExponent ? -exponent : exponent;
    }
    if (p != end)
        return false;
    double v = double(mantissa);
    if (mantissa != 0) {
        if (scale < -22 || scale > 22)
            return false;
        v = scale < 0 ? v / pow10(-scale) : v * pow10(scale);
    }
    value = negative ? -v : v;
    return true;
}

// For text whose value lies beyond the double range: true when it is too large (an infinity)
// rather than too small (zero).
bool isOverflow(const char *p, const char *end)
{
    long order = 0;
    bool seenNonZero = false;
    bool inFraction = false;
    for (; p < end && *p != 'e' && *p != 'E'; ++p) {
        if (*p == '.') {
            inFraction = true;
        } else if (isDigit(*p)) {
            if (!seenNonZero && *p != '0')
                seenNonZero = true;
            if (seenNonZero && !inFraction)
                ++order;
            else if (!seenNonZero && inFraction)
                --order;
        }
    }
    if (p < end) {
        long exponent = 0;
        const bool negative = p + 1 < end && p[1] == '-';
        for (++p; p < end; ++p)
            if (isDigit(*p) && exponent < 100000)
                exponent = exponent * 10 + (*p - '0');
        order += negative ? -exponent : exponent;
    }
    return order > 0;
}

}  // namespace

char *putE7(char *out, double value)
{
    return toChars(out, value, std::chars_format::scientific, 7);
}

char *putE7(char *out, float value)
{
    if (!std::isfinite(value))
        return putE7(out, double(value));
    double a = value;
    if (std::signbit(value)) {
        *out++ = '-';
        a = -a;
    }
    if (a == 0.0) {
        std::memcpy(out, "0.0000000e+00", 13);
        return out + 13;
    }
    // Scale to eight integer digits in double arithmetic; its error is far below 1e-6, so
    // only values within that of a rounding tie need the exact conversion.
    uint64_t bits;
    std::memcpy(&bits, &a, sizeof bits);
    const int binaryExponent = int((bits >> 52) & 0x7ff) - 1023;
    int k = (binaryExponent * 78913) >> 18;  // floor(binaryExponent * log10(2))
    double y = a * pow10(7 - k);
    if (y < 1e7) {
        --k;
        y = a * pow10(7 - k);
    } else if (y >= 1e8) {
        ++k;
        y = a * pow10(7 - k);
    }
    uint32_t r = uint32_t(y);  // y lies in [1e7, 1e8): the conversion is the floor
    const double fraction = y - double(r);
    if (std::fabs(fraction - 0.5) < 1e-6)
        return putE7(out, a);
    r += fraction > 0.5 ? 1 : 0;
    if (r >= 100000000) {
        r = 10000000;
        ++k;
    }
    return putMantissaExponent(out, r, k);
}

char *putG6(char *out, double value)
{
    return toChars(out, value, std::chars_format::general, 6);
}

char *putShortest(char *out, double value)
{
    return std::to_chars(out, out + kMaxNumberChars, value).ptr;
}

char *putShortest(char *out, float value)
{
    return std::to_chars(out, out + kMaxNumberChars, value).ptr;
}

char *putInt(char *out, int64_t value)
{
    return std::to_chars(out, out + kMaxNumberChars, value).ptr;
}

char *putHexField(char *out, uint32_t value, int width)
{
    char digits[8];
    int n = 0;
    do {
        digits[n++] = "0123456789ABCDEF"[value & 0xf];
        value >>= 4;
    } while (value != 0);
    for (int pad = width - n; pad > 0; --pad)
        *out++ = ' ';
    while (n > 0)
        *out++ = digits[--n];
    return out;
}

double parseDouble(const char *begin, const char *end, bool *ok)
{
    const char *p = skipSpace(begin, end);
    end = trimEnd(p, end);
    if (p < end && *p == '+' && (end - p < 2 || p[1] != '-'))
        ++p;
    double value = 0.0;
    if (parseWrittenForm(p, end, value) || parseFast(p, end, value)) {
        if (ok)
            *ok = true;
        return value;
    }
    const auto result = std::from_chars(p, end, value);
    bool good = p < end && result.ptr == end;
    if (good && result.ec == std::errc::result_out_of_range) {
        const bool negative = *p == '-';
        value = isOverflow(p, end) ? std::numeric_limits<double>::infinity() : 0.0;
        value = negative ? -value : value;
    } else if (!good || result.ec != std::errc()) {
        good = false;
        value = 0.0;
    }
    if (ok)
        *ok = good;
    return value;
}

namespace {

float narrow(double v)
{
    // Halfway between FLT_MAX and the next power of two: the last value that rounds to FLT_MAX.
    constexpr double kLimit = 3.4028235677973366e38;
    if (v >= kLimit)
        return std::numeric_limits<float>::infinity();
    if (v <= -kLimit)
        return -std::numeric_limits<float>::infinity();
    return float(v);
}

}  // namespace

float parseFloat(const char *begin, const char *end, bool *ok)
{
    return narrow(parseDouble(begin, end, ok));
}

bool parseE7(const char *begin, const char *end, float &value)
{
    double v;
    if (!parseWrittenForm(begin, end, v))
        return false;
    value = narrow(v);
    return true;
}

bool parseUnsigned(const char *begin, const char *end, int base, uint64_t max, uint64_t &value)
{
    const char *p = skipSpace(begin, end);
    end = trimEnd(p, end);
    if (p == end)
        return false;
    uint64_t v = 0;
    for (; p < end; ++p) {
        int digit;
        const char c = *p;
        if (isDigit(c))
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        if (digit >= base)
            return false;
        if (uint64_t(digit) > max || v > (max - uint64_t(digit)) / uint64_t(base))
            return false;
        v = v * uint64_t(base) + uint64_t(digit);
    }
    value = v;
    return true;
}

}  // namespace numbertext
