#include "headerlines.h"

#include <algorithm>
#include <charconv>

std::optional<std::string_view> HeaderLines::next(int64_t maxBytes)
{
    if (m_pos >= m_size)
        return std::nullopt;
    const int64_t limit = std::min(maxBytes, m_size - m_pos);
    int64_t len = 0;
    while (len < limit && m_data[m_pos + len] != '\n')
        ++len;
    if (len < limit)
        ++len;  // the '\n' belongs to the line
    std::string_view line(m_data + m_pos, size_t(len));
    m_pos += len;
    return line;
}

bool HeaderLines::skipPast(std::string_view marker, int64_t maxBytes)
{
    while (auto line = next(maxBytes))
        if (*line == marker)
            return true;
    return false;
}

namespace {

std::string_view skipBlanks(std::string_view t)
{
    size_t k = 0;
    while (k < t.size() && (t[k] == ' ' || (t[k] >= '\t' && t[k] <= '\r')))
        ++k;
    return t.substr(k);
}

}  // namespace

double leadingDouble(std::string_view text)
{
    text = skipBlanks(text);
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    double v = 0.0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec == std::errc::invalid_argument)
        return 0.0;
    return negative ? -v : v;
}

std::optional<int64_t> leadingInteger(std::string_view text)
{
    text = skipBlanks(text);
    if (!text.empty() && text[0] == '+')
        text.remove_prefix(1);
    int64_t v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec == std::errc::invalid_argument)
        return int64_t(0);
    if (r.ec == std::errc::result_out_of_range)
        return std::nullopt;
    return v;
}
