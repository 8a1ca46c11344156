// The simulator's message framing and command matching.
#include "commandtable.h"
#include "scpimessage.h"

#include <gtest/gtest.h>

using namespace scpisim;

TEST(ScpiMessage, MessagesEndAtLineFeedsOutsideQuotesAndBlocks)
{
    EXPECT_EQ(findMessageEnd("*IDN?\n*OPC?\n"), 6u);
    EXPECT_EQ(findMessageEnd("*IDN?"), 0u);
    EXPECT_EQ(findMessageEnd("SIM:ECHO \"a\nb\"\n"), 15u);
    const std::string block = std::string("SIM:STOR #15a\n\n\0b\n", 18);
    EXPECT_EQ(findMessageEnd(block), 18u);
    EXPECT_EQ(findMessageEnd("SIM:STOR #210abc\n"), 0u) << "block still incomplete";
    EXPECT_EQ(findMessageEnd("SIM:STOR #H1F\n"), 14u) << "not a block";
}

TEST(ScpiMessage, UnitsHeadersAndArguments)
{
    const auto units
            = splitProgramMessage("*CLS;:FREQ:CENT 1 GHz;SPAN? ; SIM:ECHO \"x;y\",'z' ,#13a;b\n");
    ASSERT_EQ(units.size(), 4u);
    EXPECT_EQ(units[0].header, "*CLS");
    EXPECT_EQ(units[1].header, ":FREQ:CENT");
    ASSERT_EQ(units[1].args.size(), 1u);
    EXPECT_EQ(units[1].args[0], "1 GHz");
    EXPECT_TRUE(units[2].query);
    EXPECT_EQ(units[2].header, "SPAN");
    ASSERT_EQ(units[3].args.size(), 3u);
    EXPECT_EQ(units[3].args[0], "\"x;y\"");
    std::string data;
    ASSERT_TRUE(decodeBlock(units[3].args[2], data));
    EXPECT_EQ(data, "a;b");
    EXPECT_EQ(describeUnit(units[3]), "SIM:ECHO \"x;y\",'z',#<3 bytes>");
}

TEST(CommandTable, ShortLongOptionalAndSuffixedNodes)
{
    CommandTable t;
    int hit = 0;
    t.add("SYSTem:ERRor[:NEXT]?", [&](CommandContext &) { hit = 1; });
    t.add("[SENSe:]FREQuency:CENTer", [&](CommandContext &) { hit = 2; });
    t.add("[SENSe:]FREQuency:SPAN", [&](CommandContext &) { hit = 3; });
    t.add("CALCulate#:MARKer#:X?", [&](CommandContext &) { hit = 4; });
    t.add("*IDN?", [&](CommandContext &) { hit = 5; });
    CommandTable::Match m;
    auto find = [&](const std::string &text, const std::vector<std::string> &path = {}) {
        const auto units = splitProgramMessage(text);
        return !units.empty() && t.find(units[0], path, m);
    };
    EXPECT_TRUE(find("syst:err?"));
    EXPECT_TRUE(find("SYSTEM:ERROR:NEXT?"));
    EXPECT_FALSE(find("SYSTE:ERR?"));
    EXPECT_FALSE(find("SYST:ERR"));
    EXPECT_TRUE(find("sens:freq:cent 1e9"));
    EXPECT_TRUE(find(":FREQ:CENT 1e9"));
    EXPECT_TRUE(find("*idn?"));
    EXPECT_TRUE(find("CALC2:MARK3:X?"));
    EXPECT_EQ(m.suffixes, (std::vector<int>{2, 3, 1}));
    ASSERT_TRUE(find("SPAN 1e6", {"FREQ", "CENT"}));
    EXPECT_EQ(m.path, (std::vector<std::string>{"FREQ", "SPAN"}));
    EXPECT_FALSE(find(":SPAN 1e6", {"FREQ", "CENT"}));
}
