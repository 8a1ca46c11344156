// The spectrum analyzers and test receivers: every setting the acquisition sends is kept and
// can be queried back; TRAC:IQ:DATA? sends the record TRAC:IQ:SET described.
#include "instrument.h"

#include <cctype>
#include <cstdlib>

namespace scpisim {
namespace {

std::vector<std::string> splitList(const std::string &text)
{
    std::vector<std::string> parts;
    size_t from = 0;
    for (size_t comma; (comma = text.find(',', from)) != std::string::npos; from = comma + 1)
        parts.push_back(text.substr(from, comma - from));
    parts.push_back(text.substr(from));
    return parts;
}

double leadingNumber(const std::string &text)
{
    return std::strtod(text.c_str(), nullptr);
}

// "NORM,<rbw>Hz,<rate>Hz,<trigger>,<slope>,<pretrigger>,<count>" asks for count pairs;
// "RAW,8MHz,<rate>Hz,<trigger>,<slope>,<offset>ms,<length>ms" for rate x length samples.
bool requestedSamples(const std::string &traceSet, uint64_t &count, bool &raw)
{
    const std::vector<std::string> parts = splitList(traceSet);
    if (parts.size() < 7)
        return false;
    raw = parts[0] == "RAW";
    const double samples = raw ? leadingNumber(parts[2]) * leadingNumber(parts[6]) * 1e-3
                               : leadingNumber(parts[6]);
    if (!(samples >= 0) || samples > 4e9)
        return false;
    count = uint64_t(samples);
    return true;
}

const char *const kTextSettings[][2] = {
        {"INSTrument[:SELect]", "INST"},
        {"INPut:SELect", "INP:SEL"},
        {"INPut:TYPE", "INP:TYPE"},
        {"INPut:IQ:BALanced[:STATe]", "INP:IQ:BAL"},
        {"INPut:IQ:IMPedance", "INP:IQ:IMP"},
        {"[SENSe:]IQ:DITHer[:STATe]", "IQ:DITH"},
        {"[SENSe:]IQ:LPASs[:STATe]", "IQ:LPAS"},
        {"TRACe:IQ:DATA:FORMat", "TRAC:IQ:DATA:FORM"},
        {"TRACe:IQ:SET", "TRAC:IQ:SET"},
        {"SYSTem:COMMunicate:GPIB[:SELF]:RTERminator", "SYST:COMM:GPIB:RTER"},
        {"FORMat[:DATA]", "FORM"},
        {"INITiate:CONTinuous", "INIT:CONT"},
};

const char *const kNumberSettings[][2] = {
        {"INPut:DIQ:RANGe[:UPPer]", "INP:DIQ:RANG"},
        {"INPut:DIQ:SRATe", "INP:DIQ:SRAT"},
        {"[SENSe:]VOLTage:IQ:RANGe[:UPPer]", "VOLT:IQ:RANG"},
        {"[SENSe:]VOLTage:IQ:RANGe:OFFSet", "VOLT:IQ:RANG:OFFS"},
};

}  // namespace

void replyAnalyzerBlock(CommandContext &c)
{
    const InstrumentConfig &config = c.state.config;
    uint64_t count = config.blockPoints;
    bool raw = false;  // the record length decides the count
    const auto set = c.state.settings.find("TRAC:IQ:SET");
    if (set != c.state.settings.end() && !set->second.empty()
        && !requestedSamples(set->second, count, raw))
        return c.error(-221, "Settings conflict");
    std::string form = c.state.settings["TRAC:IQ:DATA:FORM"];
    for (char &ch : form)
        ch = char(std::toupper(static_cast<unsigned char>(ch)));
    const bool pairsAsked = form == "IQP" || form == "IQPAIR";
    const bool split = config.iqLayout == IqLayout::Split
                       || (config.iqLayout == IqLayout::Auto && !pairsAsked);
    if (!split)
        return c.replyBlock(config.blockContent, 8 * count);
    if (config.blockContent == BlockContent::Ramp)
        return c.replyBlock(BlockContent::Ramp, 8 * count);
    c.replyBlock({{BlockContent::ToneI, 4 * count}, {BlockContent::ToneQ, 4 * count}});
}

void addAnalyzerCommands(Instrument &instrument)
{
    instrument.addSetting("INSTrument:NSELect", "INST:NSEL", instrument.state().config.nselReply);
    for (const auto &setting : kTextSettings)
        instrument.addSetting(setting[0], setting[1], "");
    for (const auto &setting : kNumberSettings)
        instrument.addNumberSetting(setting[0], setting[1], 0);
}

}  // namespace scpisim
