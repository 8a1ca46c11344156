#pragma once

#include <cstdint>
#include <cstring>

// A read-only run of characters, e.g. a whole mapped file or one line of it.
struct TextSpan
{
    const char *begin = nullptr;
    const char *end = nullptr;

    bool empty() const { return begin == end; }
    int64_t size() const { return end - begin; }
    bool equals(const char *text) const
    {
        const size_t n = std::strlen(text);
        return size_t(size()) == n && std::memcmp(begin, text, n) == 0;
    }
};

// Lines as a line-by-line reader sees them: a line feed ends a line, a carriage return right
// before it (or at the very end) is part of the line end, and text after the last line feed
// is one more line.
namespace textlines {

// The first c in [p, end), or end.
inline const char *find(const char *p, const char *end, char c)
{
    if (p >= end)
        return end;
    const void *hit = std::memchr(p, c, size_t(end - p));
    return hit ? static_cast<const char *>(hit) : end;
}

// Takes the next line off the front of rest; false when rest is empty.
inline bool next(TextSpan &rest, TextSpan &line)
{
    if (rest.begin >= rest.end)
        return false;
    const char *stop = find(rest.begin, rest.end, '\n');
    line.begin = rest.begin;
    line.end = stop;
    if (line.end > line.begin && line.end[-1] == '\r')
        --line.end;
    rest.begin = stop == rest.end ? rest.end : stop + 1;
    return true;
}

// The text without a leading UTF-8 byte-order mark, which a text reader does not show as data.
inline TextSpan withoutByteOrderMark(TextSpan text)
{
    if (text.size() >= 3 && std::memcmp(text.begin, "\xEF\xBB\xBF", 3) == 0)
        text.begin += 3;
    return text;
}

inline int64_t count(TextSpan text)
{
    if (text.empty())
        return 0;
    // memchr is vectorised; a plain counting loop is not at -O2 and costs several times more.
    int64_t feeds = 0;
    for (const char *p = text.begin; (p = find(p, text.end, '\n')) != text.end; ++p)
        ++feeds;
    return feeds + (text.end[-1] == '\n' ? 0 : 1);
}

// Field index of the line split at every single separator, empty fields kept; an empty span
// (at the line's end) when the line has fewer fields.
inline TextSpan field(TextSpan line, int index, char separator)
{
    const char *p = line.begin;
    for (; index > 0; --index) {
        const char *hit = find(p, line.end, separator);
        if (hit == line.end)
            return {line.end, line.end};
        p = hit + 1;
    }
    return {p, find(p, line.end, separator)};
}

}  // namespace textlines
