#pragma once

#include <cstddef>
#include <cstdint>

// Locale-independent number formatting and parsing for the text formats and the command line.
// Every put function writes at most kMaxNumberChars characters at out and returns the end.
namespace numbertext {

constexpr size_t kMaxNumberChars = 40;

// What printf("%0.7e") gives for the value: "1.2345670e-01", "-0.0000000e+00", "inf", "nan".
char *putE7(char *out, float value);
char *putE7(char *out, double value);
// What printf("%g") gives (six significant digits, shorter of fixed and exponent form).
char *putG6(char *out, double value);
// The shortest text that reads back as the same value.
char *putShortest(char *out, double value);
char *putShortest(char *out, float value);
char *putInt(char *out, int64_t value);
// Upper-case hexadecimal right-aligned in width characters, padded with blanks ("%4X").
char *putHexField(char *out, uint32_t value, int width);

// The number in [begin, end) with surrounding white space ignored; a leading '+' is accepted.
// Text that is not wholly one number gives 0 and ok = false. Values beyond the float range give
// an infinity of their sign, as a conversion through double does.
double parseDouble(const char *begin, const char *end, bool *ok = nullptr);
float parseFloat(const char *begin, const char *end, bool *ok = nullptr);
// Only the exact text putE7 writes for a float ("[-]d.ddddddde[+-]dd", nothing around it),
// giving what parseFloat gives for it; false for any other text. Lets a reader skip the field
// search for lines in the writers' own layout.
bool parseE7(const char *begin, const char *end, float &value);
// An unsigned number in base 10 or 16 (digits only, surrounding white space ignored) that is
// at most max; false otherwise.
bool parseUnsigned(const char *begin, const char *end, int base, uint64_t max, uint64_t &value);

inline bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace numbertext
