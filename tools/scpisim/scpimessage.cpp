#include "scpimessage.h"

#include <cctype>
#include <cstdio>

namespace scpisim {
namespace {

// Length of the definite-length block starting at buf[i] == '#', or 0 when the text there
// is not one; sets incomplete when the block runs past the end of buf.
size_t blockLength(const std::string &buf, size_t i, bool &incomplete)
{
    incomplete = false;
    if (i + 1 >= buf.size())
        return 0;
    const char d = buf[i + 1];
    if (d < '1' || d > '9')
        return 0;
    const size_t digits = size_t(d - '0');
    if (i + 2 + digits > buf.size()) {
        incomplete = true;
        return 0;
    }
    size_t length = 0;
    for (size_t k = 0; k < digits; ++k) {
        const char c = buf[i + 2 + k];
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return 0;
        length = length * 10 + size_t(c - '0');
    }
    const size_t total = 2 + digits + length;
    if (i + total > buf.size()) {
        incomplete = true;
        return 0;
    }
    return total;
}

std::string trim(const std::string &s)
{
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1])))
        --e;
    return s.substr(b, e - b);
}

// Index of the first sep in buf from from on that lies outside quoted strings and
// definite-length blocks, or buf.size() when there is none. A block that runs past the end
// ends the search when stopAtCutBlock is set; otherwise its '#' is an ordinary character.
size_t findOutside(const std::string &buf, char sep, size_t from, bool stopAtCutBlock)
{
    char quote = 0;
    for (size_t i = from; i < buf.size(); ++i) {
        const char c = buf[i];
        if (quote) {
            quote = c == quote ? 0 : quote;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '#') {
            bool cut = false;
            const size_t n = blockLength(buf, i, cut);
            if (cut && stopAtCutBlock)
                return buf.size();
            if (n > 0)
                i += n - 1;
        } else if (c == sep) {
            return i;
        }
    }
    return buf.size();
}

// Splits at sep outside quotes and blocks.
std::vector<std::string> splitOutside(const std::string &s, char sep)
{
    std::vector<std::string> parts;
    for (size_t from = 0;;) {
        const size_t at = findOutside(s, sep, from, false);
        parts.push_back(s.substr(from, at - from));
        if (at >= s.size())
            return parts;
        from = at + 1;
    }
}

ProgramUnit parseUnit(const std::string &text)
{
    ProgramUnit u;
    u.raw = trim(text);
    size_t h = 0;
    while (h < u.raw.size() && !std::isspace(static_cast<unsigned char>(u.raw[h])))
        ++h;
    u.header = u.raw.substr(0, h);
    if (!u.header.empty() && u.header.back() == '?') {
        u.query = true;
        u.header.pop_back();
    }
    const std::string rest = trim(u.raw.substr(h));
    if (!rest.empty())
        for (const std::string &a : splitOutside(rest, ','))
            u.args.push_back(trim(a));
    return u;
}

}  // namespace

size_t findMessageEnd(const std::string &buf)
{
    const size_t end = findOutside(buf, '\n', 0, true);
    return end < buf.size() ? end + 1 : 0;
}

std::vector<ProgramUnit> splitProgramMessage(const std::string &message)
{
    std::vector<ProgramUnit> units;
    for (const std::string &part : splitOutside(message, ';')) {
        ProgramUnit u = parseUnit(part);
        if (!u.header.empty())
            units.push_back(u);
    }
    return units;
}

bool decodeBlock(const std::string &arg, std::string &data)
{
    bool incomplete = false;
    const size_t n = blockLength(arg, 0, incomplete);
    if (n == 0 || n != arg.size() || arg[0] != '#')
        return false;
    const size_t digits = size_t(arg[1] - '0');
    data = arg.substr(2 + digits);
    return true;
}

std::string describeUnit(const ProgramUnit &unit)
{
    std::string out = unit.header + (unit.query ? "?" : "");
    for (size_t i = 0; i < unit.args.size(); ++i) {
        out += i == 0 ? " " : ",";
        std::string data;
        if (decodeBlock(unit.args[i], data)) {
            out += "#<" + std::to_string(data.size()) + " bytes>";
            continue;
        }
        for (unsigned char c : unit.args[i]) {
            if (std::isprint(c)) {
                out += char(c);
            } else {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02X", c);
                out += hex;
            }
        }
    }
    return out;
}

}  // namespace scpisim
