#pragma once

#include "commandlog.h"
#include "commandtable.h"
#include "response.h"

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace scpisim {

struct InstrumentConfig {
    std::string idn = "Vantorp,SCPISIM,000001,1.0";
    std::string options = "0";
    uint64_t blockPoints = 1000;
    BlockContent blockContent = BlockContent::Tone;
    int delayMs = 0;
    size_t chunkSize = 0;
    int chunkPauseMs = 0;
};

// Everything a command may change. Handlers run with the instrument locked.
struct InstrumentState {
    InstrumentConfig config;
    std::map<std::string, std::string> settings;
    std::deque<std::pair<int, std::string>> errors;
    bool remote = false;
    int64_t blockSkew = 0;
    int64_t dropAfter = -1;
    std::string stored;
    std::string echo;
    uint64_t commandCount = 0;

    // The queue keeps ten entries; the last becomes "Queue overflow" when more arrive.
    void pushError(int code, const std::string &text);
};

class CommandContext {
public:
    CommandContext(const ProgramUnit &unit, const std::vector<int> &suffixes, InstrumentState &state,
                   Response &response, size_t &repliesInMessage)
        : unit(unit), suffixes(suffixes), state(state), response_(response), replies_(repliesInMessage)
    {
    }

    void reply(const std::string &text);
    void replyBlock(BlockContent content, uint64_t bytes);
    void error(int code, const std::string &text);
    // The numeric argument i, with an optional unit (Hz, kHz, MHz, GHz, s, ms, dB, dBm, V);
    // pushes -224 and returns false when it is missing or not a number.
    bool number(size_t i, double &value);
    std::string arg(size_t i) const { return i < unit.args.size() ? unit.args[i] : std::string(); }

    const ProgramUnit &unit;
    const std::vector<int> &suffixes;
    InstrumentState &state;

private:
    void separate();
    Response &response_;
    size_t &replies_;
};

// The simulated instrument: one state shared by all connections; each program message runs
// as a whole under the instrument's lock.
class Instrument {
public:
    Instrument(const InstrumentConfig &config, CommandLog &log);

    std::shared_ptr<Response> execute(const std::string &message, const std::string &origin);
    void deviceClear(const std::string &origin);
    void setRemote(bool remote, const std::string &origin);

    // Later command sets register here before the servers start.
    CommandTable &commands() { return table_; }
    void addSetting(const std::string &pattern, const std::string &key, const std::string &initial);
    void addNumberSetting(const std::string &pattern, const std::string &key, double initial);

private:
    void addCommonCommands();
    void addSimulatorCommands();
    void addSampleSettings();
    void reset();

    CommandTable table_;
    InstrumentState state_;
    std::map<std::string, std::string> defaults_;
    CommandLog &log_;
    std::mutex mutex_;
};

}  // namespace scpisim
