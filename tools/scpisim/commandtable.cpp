#include "commandtable.h"

#include <algorithm>
#include <cctype>

namespace scpisim {
namespace {

std::string upper(std::string s)
{
    for (char &c : s)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::vector<std::string> splitHeader(const std::string &header)
{
    std::vector<std::string> nodes;
    std::string cur;
    for (char c : header) {
        if (c == ':') {
            if (!cur.empty())
                nodes.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty())
        nodes.push_back(cur);
    return nodes;
}

}  // namespace

void CommandTable::add(const std::string &pattern, Handler handler)
{
    Entry e;
    std::string p = pattern;
    if (!p.empty() && p.back() == '?') {
        e.query = true;
        p.pop_back();
    }
    e.handler = std::move(handler);
    if (!p.empty() && p[0] == '*') {
        e.common = true;
        e.commonHeader = upper(p);
        entries_.push_back(std::move(e));
        return;
    }
    // Split at ':' but keep optional brackets with their node: "SYST:ERR[:NEXT]".
    std::string cur;
    bool optional = false;
    auto flush = [&] {
        if (cur.empty())
            return;
        Node n;
        n.optional = optional;
        if (cur.back() == '#') {
            n.suffix = true;
            cur.pop_back();
        }
        n.longForm = upper(cur);
        for (char c : cur)
            if (std::isupper(static_cast<unsigned char>(c))
                || std::isdigit(static_cast<unsigned char>(c)) || c == '&')
                n.shortForm += c;
        if (n.shortForm.empty())
            n.shortForm = n.longForm;
        e.nodes.push_back(n);
        cur.clear();
        optional = false;
    };
    for (char c : p) {
        if (c == '[') {
            flush();
            optional = true;
        } else if (c == ']' || c == ':') {
            flush();
        } else {
            cur += c;
        }
    }
    flush();
    entries_.push_back(std::move(e));
}

bool CommandTable::matchNodes(const std::vector<Node> &nodes, size_t n,
                              const std::vector<std::string> &input, size_t i,
                              std::vector<int> &suffixes)
{
    if (n == nodes.size())
        return i == input.size();
    const Node &node = nodes[n];
    if (i < input.size()) {
        std::string word = upper(input[i]);
        int suffix = 1;
        if (node.suffix) {
            size_t d = word.size();
            while (d > 0 && std::isdigit(static_cast<unsigned char>(word[d - 1])))
                --d;
            if (d < word.size() && word.size() - d <= 6) {
                suffix = std::stoi(word.substr(d));
                word.resize(d);
            }
        }
        if (word == node.shortForm || word == node.longForm) {
            suffixes.push_back(suffix);
            if (matchNodes(nodes, n + 1, input, i + 1, suffixes))
                return true;
            suffixes.pop_back();
        }
    }
    if (node.optional) {
        suffixes.push_back(1);
        if (matchNodes(nodes, n + 1, input, i, suffixes))
            return true;
        suffixes.pop_back();
    }
    return false;
}

bool CommandTable::findAbsolute(const std::vector<std::string> &nodes, bool query, Match &out) const
{
    for (const Entry &e : entries_) {
        if (e.common || e.query != query)
            continue;
        std::vector<int> suffixes;
        if (matchNodes(e.nodes, 0, nodes, 0, suffixes)) {
            out.handler = &e.handler;
            out.suffixes = suffixes;
            out.path = nodes;
            return true;
        }
    }
    return false;
}

bool CommandTable::find(const ProgramUnit &unit, const std::vector<std::string> &previousPath,
                        Match &out) const
{
    if (!unit.header.empty() && unit.header[0] == '*') {
        const std::string h = upper(unit.header);
        for (const Entry &e : entries_) {
            if (e.common && e.query == unit.query && e.commonHeader == h) {
                out.handler = &e.handler;
                out.suffixes.clear();
                out.path = previousPath;  // common commands leave the path alone
                return true;
            }
        }
        return false;
    }
    const std::vector<std::string> nodes = splitHeader(unit.header);
    if (nodes.empty())
        return false;
    if (unit.header[0] != ':' && previousPath.size() > 1) {
        std::vector<std::string> relative(previousPath.begin(), previousPath.end() - 1);
        relative.insert(relative.end(), nodes.begin(), nodes.end());
        if (findAbsolute(relative, unit.query, out))
            return true;
    }
    return findAbsolute(nodes, unit.query, out);
}

}  // namespace scpisim
