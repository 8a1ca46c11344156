// The oscilloscope: I/Q settings per channel and for the whole acquisition, a single run
// (RUNS), and CHAN<n>:IQ:DATA?, a block of little-endian float32 I/Q pairs of the record
// length IQ:RLEN set.
#include "instrument.h"

#include <cstdlib>

namespace scpisim {

void addOscilloscopeCommands(Instrument &instrument)
{
    instrument.addSetting("IQ:STATe", "IQ:STAT", "OFF");
    instrument.addNumberSetting("IQ:RBW", "IQ:RBW", 0.8);
    instrument.addNumberSetting("IQ:SRATe", "IQ:SRAT", 1e6);
    instrument.addNumberSetting("IQ:RLENgth", "IQ:RLEN", 1000);
    instrument.addSuffixSetting("CHANnel#:IQ:INPType", "INPT", "REAL");
    instrument.addSuffixSetting("CHANnel#:IQ:INPMode", "INPM", "BAS");
    instrument.addSuffixSetting("CHANnel#:IQ:CFRequency", "CFR", "1000000");
    instrument.addSuffixSetting("CHANnel#:IQ:SBRF", "SBRF", "NORM");
    instrument.addSuffixSetting("CHANnel#:IQ:SBIF", "SBIF", "NUPP");
    CommandTable &table = instrument.commands();
    table.add("RUNSingle", [](CommandContext &) {});
    table.add("CHANnel#:IQ:DATA?", [](CommandContext &c) {
        const double length = std::strtod(c.state.settings["IQ:RLEN"].c_str(), nullptr);
        c.replyBlock(c.state.config.blockContent, 8 * uint64_t(length > 0 ? length : 0));
    });
}

}  // namespace scpisim
