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

// How the analyzer sends TRAC:IQ:DATA?: I/Q pairs, or all I values then all Q values. Auto
// is what an analyzer does: all I then all Q (its default layout) unless
// "TRAC:IQ:DATA:FORM IQP" was received since the last reset, then pairs.
enum class IqLayout { Auto, Pairs, Split };

struct InstrumentConfig
{
    std::string idn = "Vantorp,SCPISIM,000001,1.0";
    std::string options = "0";
    uint64_t blockPoints = 1000;
    BlockContent blockContent = BlockContent::Tone;
    int delayMs = 0;
    size_t chunkSize = 0;
    int chunkPauseMs = 0;
    std::string nselReply = "1";  // what INST:NSEL? answers until INST:NSEL is sent
    IqLayout iqLayout = IqLayout::Auto;
    uint64_t recorderSamples = 1000;  // samples of each recording of the handheld receiver
    bool recorderPush = false;        // the newest recording follows the catalogue, unasked
    int recorderPushDelayMs = 0;      // ... this long after the catalogue (a slow card)
    int64_t blockSkew = 0;            // block faults in force from the start
    int64_t blockDropAfter = -1;
    int blockDelayMs = 0;
};

// Everything a command may change. Handlers run with the instrument locked.
struct InstrumentState
{
    InstrumentConfig config;
    std::map<std::string, std::string> settings;
    std::deque<std::pair<int, std::string>> errors;
    bool remote = false;
    int64_t blockSkew = 0;
    int64_t dropAfter = -1;
    int64_t blockDropAfter = -1;  // the next reply with a block is cut after this many bytes
    int blockDelayMs = 0;         // replies with a block are held back this long
    std::string stored;
    std::string echo;
    uint64_t commandCount = 0;
    // The handheld receiver's storage card: file name -> bytes.
    std::map<std::string, std::string> files;
    bool recording = false;
    int recordingNumber = 0;

    // The queue keeps ten entries; the last becomes "Queue overflow" when more arrive.
    void pushError(int code, const std::string &text);
};

class CommandContext
{
public:
    CommandContext(const ProgramUnit &unit, const std::vector<int> &suffixes,
                   InstrumentState &state, Response &response, size_t &repliesInMessage)
        : unit(unit)
        , suffixes(suffixes)
        , state(state)
        , response_(response)
        , replies_(repliesInMessage)
    {}

    void reply(const std::string &text);
    void replyBlock(BlockContent content, uint64_t bytes);
    void replyBlock(const std::vector<Response::BlockPart> &parts);
    void replyBlock(const std::string &bytes);
    // Text appended to the reply as it is, after the rest of the reply has waited ms.
    void appendLater(const std::string &text, int ms);
    bool sentBlock() const { return hasBlock_; }
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
    bool hasBlock_ = false;
};

// The three instrument families; each registers its commands (analyzerfamily.cpp,
// receiverfamily.cpp, oscilloscopefamily.cpp).
class Instrument;
void addAnalyzerCommands(Instrument &instrument);
void addReceiverCommands(Instrument &instrument);
void addOscilloscopeCommands(Instrument &instrument);
// The analyzer's TRAC:IQ:DATA? block: the count and layout TRAC:IQ:SET asked for, or the
// simulator's block points when no TRAC:IQ:SET came since the last reset.
void replyAnalyzerBlock(CommandContext &c);

// The simulated instrument: one state shared by all connections; each program message runs
// as a whole under the instrument's lock.
class Instrument
{
public:
    Instrument(const InstrumentConfig &config, CommandLog &log);

    std::shared_ptr<Response> execute(const std::string &message, const std::string &origin);
    void deviceClear(const std::string &origin);
    void setRemote(bool remote, const std::string &origin);

    // Later command sets register here before the servers start.
    CommandTable &commands() { return table_; }
    // The state as configured, for command sets registering before the servers start.
    const InstrumentState &state() const { return state_; }
    void addSetting(const std::string &pattern, const std::string &key, const std::string &initial);
    void addNumberSetting(const std::string &pattern, const std::string &key, double initial);
    // A setting whose value is kept per numeric suffix ("CHAN2:IQ:INPT"): key + suffix.
    void addSuffixSetting(const std::string &pattern, const std::string &key,
                          const std::string &initial);

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
