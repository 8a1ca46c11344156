#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Splits the text header at the front of a binary file into lines the way a fixed-size line
// buffer does: a line ends after '\n' or after maxBytes bytes, whichever comes first, so an
// over-long line continues as the next one.
class HeaderLines
{
public:
    HeaderLines(const char *data, int64_t size)
        : m_data(data)
        , m_size(size)
    {}

    // The next line (line end included), or nothing at the end of the data.
    std::optional<std::string_view> next(int64_t maxBytes);
    // Reads lines until one equals marker; the data then start at offset().
    bool skipPast(std::string_view marker, int64_t maxBytes);
    int64_t offset() const { return m_pos; }

private:
    const char *m_data;
    int64_t m_size;
    int64_t m_pos = 0;
};

// Leading number of a header value, the way the C conversions read it (leading blanks skipped,
// trailing text ignored) but independent of the locale. A value without digits reads as 0.
double leadingDouble(std::string_view text);
// Nothing when the value does not fit in 64 bits.
std::optional<int64_t> leadingInteger(std::string_view text);
