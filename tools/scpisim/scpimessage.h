#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace scpisim {

// One program message unit: "HEADer:NODE? arg1,arg2". Arguments keep their raw text; a
// definite-length block argument keeps its '#' header and its bytes.
struct ProgramUnit
{
    std::string header;
    std::vector<std::string> args;
    bool query = false;
    std::string raw;
};

// Length of the first complete message in buf, its '\n' included; 0 while it is still
// incomplete. Newlines inside quoted strings and binary blocks do not end a message.
size_t findMessageEnd(const std::string &buf);

// Splits one program message (terminator optional) into its units at ';'.
std::vector<ProgramUnit> splitProgramMessage(const std::string &message);

// The bytes of a definite-length block argument ("#3512<512 bytes>"); false if malformed.
bool decodeBlock(const std::string &arg, std::string &data);

// Text of a command as the log shows it: printable characters, blocks summarised.
std::string describeUnit(const ProgramUnit &unit);

}  // namespace scpisim
