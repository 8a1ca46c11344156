#include "resourcename.h"

#include <cctype>
#include <vector>

namespace kxvisa {
namespace {

bool equalsNoCase(const std::string &a, const char *b)
{
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::toupper(static_cast<unsigned char>(a[i]))
            != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && !b[i];
}

bool startsWithNoCase(const std::string &a, const char *prefix)
{
    size_t i = 0;
    for (; prefix[i]; ++i)
        if (i >= a.size()
            || std::toupper(static_cast<unsigned char>(a[i]))
                       != std::toupper(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

// Splits at "::" but not inside a bracketed IPv6 address. False on an unbalanced bracket.
bool splitFields(const std::string &s, std::vector<std::string> &fields)
{
    std::string cur;
    bool inBracket = false;
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '[') {
            if (inBracket)
                return false;
            inBracket = true;
        } else if (c == ']') {
            if (!inBracket)
                return false;
            inBracket = false;
        } else if (!inBracket && c == ':' && i + 1 < s.size() && s[i + 1] == ':') {
            fields.push_back(cur);
            cur.clear();
            ++i;
            continue;
        }
        cur += c;
    }
    fields.push_back(cur);
    return !inBracket;
}

bool parseNumber(const std::string &s, uint32_t max, uint32_t &out)
{
    if (s.empty() || s.size() > 6)
        return false;
    uint32_t v = 0;
    for (char c : s) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
        v = v * 10 + uint32_t(c - '0');
    }
    if (v > max)
        return false;
    out = v;
    return true;
}

bool validHost(std::string &host)
{
    if (host.empty())
        return false;
    if (host.front() == '[') {
        if (host.size() < 3 || host.back() != ']')
            return false;
        host = host.substr(1, host.size() - 2);
        for (char c : host)
            if (!std::isxdigit(static_cast<unsigned char>(c)) && c != ':' && c != '.' && c != '%')
                return false;
        return host.find(':') != std::string::npos;
    }
    for (char c : host)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '.' && c != '_')
            return false;
    return true;
}

bool validDevice(const std::string &device)
{
    if (device.empty() || device.size() > 255)
        return false;
    // Device names look like inst0, gpib0,5 or hislip0; a colon would make the name ambiguous.
    for (char c : device)
        if (!std::isgraph(static_cast<unsigned char>(c)) || c == ':' || c == '[' || c == ']')
            return false;
    return true;
}

bool isOtherInterface(const std::string &first)
{
    static const char *const prefixes[]
            = {"GPIB", "VXI", "ASRL", "PXI", "USB", "VICP", "FIREWIRE", "RIO"};
    for (const char *p : prefixes)
        if (startsWithNoCase(first, p))
            return true;
    return false;
}

ViStatus parseTcpip(const std::vector<std::string> &f, ResourceName &out)
{
    const std::string boardText = f[0].substr(5);
    uint32_t board = 0;
    if (!boardText.empty() && !parseNumber(boardText, 65535, board))
        return VI_ERROR_INV_RSRC_NAME;
    ResourceName r;
    r.board = uint16_t(board);
    r.host = f[1];
    if (!validHost(r.host))
        return VI_ERROR_INV_RSRC_NAME;
    std::vector<std::string> rest(f.begin() + 2, f.end());
    if (!rest.empty() && equalsNoCase(rest.back(), "SOCKET")) {
        uint32_t port = 0;
        if (rest.size() != 2 || !parseNumber(rest[0], 65535, port) || port == 0)
            return VI_ERROR_INV_RSRC_NAME;
        r.kind = ResourceKind::Socket;
        r.port = uint16_t(port);
        out = r;
        return VI_SUCCESS;
    }
    if (!rest.empty() && equalsNoCase(rest.back(), "INSTR"))
        rest.pop_back();
    if (rest.size() > 1)
        return VI_ERROR_INV_RSRC_NAME;
    r.device = rest.empty() ? std::string("inst0") : rest[0];
    if (!validDevice(r.device))
        return VI_ERROR_INV_RSRC_NAME;
    r.kind = startsWithNoCase(r.device, "hislip") ? ResourceKind::HislipInstr
                                                  : ResourceKind::Vxi11Instr;
    out = r;
    return VI_SUCCESS;
}

}  // namespace

std::string ResourceName::canonical() const
{
    const std::string h = host.find(':') != std::string::npos ? "[" + host + "]" : host;
    std::string s = "TCPIP" + std::to_string(board) + "::" + h + "::";
    if (kind == ResourceKind::Socket)
        return s + std::to_string(port) + "::SOCKET";
    return s + device + "::INSTR";
}

const char *ResourceName::className() const
{
    return kind == ResourceKind::Socket ? "SOCKET" : "INSTR";
}

ViStatus parseResourceName(const std::string &text, ResourceName &out)
{
    size_t b = 0, e = text.size();
    while (b < e && std::isspace(static_cast<unsigned char>(text[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1])))
        --e;
    if (b == e)
        return VI_ERROR_INV_RSRC_NAME;
    std::vector<std::string> fields;
    if (!splitFields(text.substr(b, e - b), fields))
        return VI_ERROR_INV_RSRC_NAME;
    for (const std::string &f : fields)
        if (f.empty())
            return VI_ERROR_INV_RSRC_NAME;
    if (startsWithNoCase(fields[0], "TCPIP")) {
        if (fields.size() < 2)
            return VI_ERROR_INV_RSRC_NAME;
        return parseTcpip(fields, out);
    }
    // Other interfaces exist in VISA but not in this library; a single word is an alias,
    // and this library keeps no alias table.
    if (isOtherInterface(fields[0]) || fields.size() == 1)
        return VI_ERROR_RSRC_NFOUND;
    return VI_ERROR_INV_RSRC_NAME;
}

}  // namespace kxvisa
