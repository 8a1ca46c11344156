#pragma once

#include "scpimessage.h"

#include <functional>
#include <string>
#include <vector>

namespace scpisim {

class CommandContext;

// SCPI headers and what they do. A pattern is written the way instrument manuals write
// them: "SYSTem:ERRor[:NEXT]?" — upper case is the short form, the whole node the long form,
// [..] an optional node, a trailing '#' on a node a numeric suffix (default 1), a final '?'
// the query form. Common commands ("*IDN?") match literally.
class CommandTable
{
public:
    using Handler = std::function<void(CommandContext &)>;

    void add(const std::string &pattern, Handler handler);

    struct Match
    {
        const Handler *handler = nullptr;
        std::vector<int> suffixes;
        std::vector<std::string> path;  // the matched nodes, for the next unit's relative header
    };
    // Relative headers are tried below the previous unit's path first, as SCPI compounds do.
    bool find(const ProgramUnit &unit, const std::vector<std::string> &previousPath,
              Match &out) const;

private:
    struct Node
    {
        std::string shortForm;
        std::string longForm;
        bool optional = false;
        bool suffix = false;
    };
    struct Entry
    {
        std::vector<Node> nodes;
        bool query = false;
        bool common = false;
        std::string commonHeader;
        Handler handler;
    };

    static bool matchNodes(const std::vector<Node> &nodes, size_t n,
                           const std::vector<std::string> &input, size_t i,
                           std::vector<int> &suffixes);
    bool findAbsolute(const std::vector<std::string> &nodes, bool query, Match &out) const;

    std::vector<Entry> entries_;
};

}  // namespace scpisim
