#include "instrument.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace scpisim {
namespace {

constexpr size_t kMaxErrors = 10;
// Keeps the block header within the nine length digits of a definite-length block.
constexpr uint64_t kMaxBlockPoints = 124999999;

std::string formatNumber(double v)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.12g", v);
    return text;
}

std::string upper(std::string s)
{
    for (char &c : s)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string unquote(const std::string &s)
{
    if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front())
        return s.substr(1, s.size() - 2);
    return s;
}

double unitScale(const std::string &unit)
{
    static const std::pair<const char *, double> units[] = {
            {"", 1},      {"HZ", 1},    {"KHZ", 1e3}, {"MHZ", 1e6}, {"GHZ", 1e9}, {"S", 1},
            {"MS", 1e-3}, {"US", 1e-6}, {"DB", 1},    {"DBM", 1},   {"V", 1},     {"MV", 1e-3},
    };
    for (const auto &u : units)
        if (unit == u.first)
            return u.second;
    return 0;
}

}  // namespace

void CommandContext::separate()
{
    if (replies_++ > 0)
        response_.addText(";");
}

void CommandContext::reply(const std::string &text)
{
    separate();
    response_.addText(text);
}

void CommandContext::replyBlock(BlockContent content, uint64_t bytes)
{
    replyBlock(std::vector<Response::BlockPart>{{content, bytes}});
}

void CommandContext::replyBlock(const std::vector<Response::BlockPart> &parts)
{
    separate();
    response_.addBlock(parts, state.blockSkew);
    hasBlock_ = true;
}

void CommandContext::replyBlock(const std::string &bytes)
{
    separate();
    response_.addBlock(bytes, state.blockSkew);
    hasBlock_ = true;
}

void CommandContext::appendLater(const std::string &text, int ms)
{
    if (ms > 0) {
        response_.pauseAt = response_.size();
        response_.pauseMs = ms;
    }
    response_.addText(text);
}

void InstrumentState::pushError(int code, const std::string &text)
{
    if (errors.size() >= kMaxErrors) {
        errors.back() = {-350, "Queue overflow"};
        return;
    }
    errors.emplace_back(code, text);
}

void CommandContext::error(int code, const std::string &text)
{
    state.pushError(code, text);
}

bool CommandContext::number(size_t i, double &value)
{
    const std::string a = arg(i);
    char *end = nullptr;
    const double v = std::strtod(a.c_str(), &end);
    std::string unit = end ? upper(end) : std::string();
    while (!unit.empty() && std::isspace(static_cast<unsigned char>(unit.front())))
        unit.erase(0, 1);
    const double scale = unitScale(unit);
    if (a.empty() || end == a.c_str() || scale == 0 || !std::isfinite(v)) {
        error(-224, "Illegal parameter value");
        return false;
    }
    value = v * scale;
    return true;
}

Instrument::Instrument(const InstrumentConfig &config, CommandLog &log)
    : log_(log)
{
    state_.config = config;
    state_.blockSkew = config.blockSkew;
    state_.blockDropAfter = config.blockDropAfter;
    state_.blockDelayMs = config.blockDelayMs;
    addCommonCommands();
    addSimulatorCommands();
    addSampleSettings();
    addAnalyzerCommands(*this);
    addReceiverCommands(*this);
    addOscilloscopeCommands(*this);
}

void Instrument::addSuffixSetting(const std::string &pattern, const std::string &key,
                                  const std::string &initial)
{
    auto name = [key](CommandContext &c) {
        return key + std::to_string(c.suffixes.empty() ? 1 : c.suffixes.front());
    };
    table_.add(pattern, [name](CommandContext &c) {
        if (c.unit.args.empty())
            return c.error(-109, "Missing parameter");
        c.state.settings[name(c)] = c.arg(0);
    });
    table_.add(pattern + "?", [name, initial](CommandContext &c) {
        const auto it = c.state.settings.find(name(c));
        c.reply(it == c.state.settings.end() ? initial : it->second);
    });
}

void Instrument::addSetting(const std::string &pattern, const std::string &key,
                            const std::string &initial)
{
    defaults_[key] = initial;
    state_.settings[key] = initial;
    table_.add(pattern, [key](CommandContext &c) {
        if (c.unit.args.empty())
            return c.error(-109, "Missing parameter");
        std::string value;
        for (size_t i = 0; i < c.unit.args.size(); ++i)
            value += (i ? "," : "") + c.unit.args[i];
        c.state.settings[key] = value;
    });
    table_.add(pattern + "?", [key](CommandContext &c) { c.reply(c.state.settings[key]); });
}

void Instrument::addNumberSetting(const std::string &pattern, const std::string &key,
                                  double initial)
{
    defaults_[key] = formatNumber(initial);
    state_.settings[key] = formatNumber(initial);
    table_.add(pattern, [key](CommandContext &c) {
        double v = 0;
        if (c.number(0, v))
            c.state.settings[key] = formatNumber(v);
    });
    table_.add(pattern + "?", [key](CommandContext &c) { c.reply(c.state.settings[key]); });
}

void Instrument::reset()
{
    state_.settings = std::map<std::string, std::string>(defaults_.begin(), defaults_.end());
}

void Instrument::addCommonCommands()
{
    table_.add("*IDN?", [](CommandContext &c) { c.reply(c.state.config.idn); });
    table_.add("*OPC?", [](CommandContext &c) { c.reply("1"); });
    table_.add("*OPC", [](CommandContext &) {});
    table_.add("*WAI", [](CommandContext &) {});
    table_.add("*CLS", [](CommandContext &c) { c.state.errors.clear(); });
    table_.add("*RST", [this](CommandContext &) { reset(); });
    table_.add("*OPT?", [](CommandContext &c) {
        c.reply(c.state.config.options.empty() ? "0" : c.state.config.options);
    });
    table_.add("*ESR?", [](CommandContext &c) { c.reply("0"); });
    table_.add("*STB?", [](CommandContext &c) { c.reply("0"); });
    table_.add("*TST?", [](CommandContext &c) { c.reply("0"); });
    table_.add("SYSTem:ERRor[:NEXT]?", [](CommandContext &c) {
        if (c.state.errors.empty())
            return c.reply("0,\"No error\"");
        const auto e = c.state.errors.front();
        c.state.errors.pop_front();
        c.reply(std::to_string(e.first) + ",\"" + e.second + "\"");
    });
    table_.add("SYSTem:ERRor:ALL?", [](CommandContext &c) {
        std::string all;
        for (const auto &e : c.state.errors)
            all += (all.empty() ? "" : ",") + std::to_string(e.first) + ",\"" + e.second + "\"";
        c.state.errors.clear();
        c.reply(all.empty() ? "0,\"No error\"" : all);
    });
    table_.add("SYSTem:ERRor:CLEar[:ALL]", [](CommandContext &c) { c.state.errors.clear(); });
    table_.add("&GTL", [](CommandContext &c) { c.state.remote = false; });
    table_.add("TRACe:IQ:DATA?", [](CommandContext &c) { replyAnalyzerBlock(c); });
}

void Instrument::addSimulatorCommands()
{
    auto integer = [](CommandContext &c, size_t i, double lo, double hi, int64_t &out) {
        double v = 0;
        if (!c.number(i, v))
            return false;
        if (v < lo || v > hi || v != std::floor(v)) {
            c.error(-222, "Data out of range");
            return false;
        }
        out = int64_t(v);
        return true;
    };
    table_.add("SIMulator:DELay", [integer](CommandContext &c) {
        int64_t ms = 0;
        if (integer(c, 0, 0, 600000, ms))
            c.state.config.delayMs = int(ms);
    });
    table_.add("SIMulator:DELay?",
               [](CommandContext &c) { c.reply(std::to_string(c.state.config.delayMs)); });
    table_.add("SIMulator:CHUNk", [integer](CommandContext &c) {
        int64_t size = 0, pause = 0;
        if (!integer(c, 0, 0, 1 << 30, size)
            || (c.unit.args.size() > 1 && !integer(c, 1, 0, 1000, pause)))
            return;
        c.state.config.chunkSize = size_t(size);
        c.state.config.chunkPauseMs = int(pause);
    });
    table_.add("SIMulator:CHUNk?", [](CommandContext &c) {
        c.reply(std::to_string(c.state.config.chunkSize) + ","
                + std::to_string(c.state.config.chunkPauseMs));
    });
    table_.add("SIMulator:DROP", [integer](CommandContext &c) {
        int64_t after = 0;
        if (integer(c, 0, 0, 1e12, after))
            c.state.dropAfter = after;
    });
    table_.add("SIMulator:BLOCk:POINts", [integer](CommandContext &c) {
        int64_t n = 0;
        if (integer(c, 0, 0, double(kMaxBlockPoints), n))
            c.state.config.blockPoints = uint64_t(n);
    });
    table_.add("SIMulator:BLOCk:POINts?",
               [](CommandContext &c) { c.reply(std::to_string(c.state.config.blockPoints)); });
    table_.add("SIMulator:BLOCk:MODE", [](CommandContext &c) {
        const std::string m = upper(c.arg(0));
        if (m == "TONE")
            c.state.config.blockContent = BlockContent::Tone;
        else if (m == "RAMP")
            c.state.config.blockContent = BlockContent::Ramp;
        else
            c.error(-224, "Illegal parameter value");
    });
    table_.add("SIMulator:BLOCk:MODE?", [](CommandContext &c) {
        c.reply(c.state.config.blockContent == BlockContent::Ramp ? "RAMP" : "TONE");
    });
    table_.add("SIMulator:BLOCk:SKEW", [integer](CommandContext &c) {
        int64_t skew = 0;
        if (integer(c, 0, -1e9, 1e9, skew))
            c.state.blockSkew = skew;
    });
    table_.add("SIMulator:OPTions", [](CommandContext &c) {
        std::string value;
        for (size_t i = 0; i < c.unit.args.size(); ++i)
            value += (i ? "," : "") + unquote(c.unit.args[i]);
        c.state.config.options = value;
    });
    table_.add("SIMulator:STORe", [](CommandContext &c) {
        if (!decodeBlock(c.arg(0), c.state.stored))
            c.error(-161, "Invalid block data");
    });
    table_.add("SIMulator:STORe?", [](CommandContext &c) {
        c.reply("#" + std::to_string(std::to_string(c.state.stored.size()).size())
                + std::to_string(c.state.stored.size()) + c.state.stored);
    });
    table_.add("SIMulator:IDN", [](CommandContext &c) { c.state.config.idn = unquote(c.arg(0)); });
    table_.add("SIMulator:NSELect",
               [](CommandContext &c) { c.state.settings["INST:NSEL"] = unquote(c.arg(0)); });
    table_.add("SIMulator:IQ:LAYout", [](CommandContext &c) {
        const std::string m = upper(c.arg(0));
        if (m == "AUTO")
            c.state.config.iqLayout = IqLayout::Auto;
        else if (m == "PAIR" || m == "PAIRS")
            c.state.config.iqLayout = IqLayout::Pairs;
        else if (m == "SPL" || m == "SPLIT")
            c.state.config.iqLayout = IqLayout::Split;
        else
            c.error(-224, "Illegal parameter value");
    });
    table_.add("SIMulator:BLOCk:DROP", [integer](CommandContext &c) {
        int64_t after = 0;
        if (integer(c, 0, -1, 1e15, after))
            c.state.blockDropAfter = after;
    });
    table_.add("SIMulator:BLOCk:DELay", [integer](CommandContext &c) {
        int64_t ms = 0;
        if (integer(c, 0, 0, 600000, ms))
            c.state.blockDelayMs = int(ms);
    });
    table_.add("SIMulator:RECorder:SAMPles", [integer](CommandContext &c) {
        int64_t n = 0;
        if (integer(c, 0, 0, 1e9, n))
            c.state.config.recorderSamples = uint64_t(n);
    });
    table_.add("SIMulator:RECorder:PUSH", [integer](CommandContext &c) {
        int64_t on = 0;
        if (integer(c, 0, 0, 1, on))
            c.state.config.recorderPush = on != 0;
    });
    table_.add("SIMulator:RECorder:PUSH:DELay", [integer](CommandContext &c) {
        int64_t ms = 0;
        if (integer(c, 0, 0, 600000, ms))
            c.state.config.recorderPushDelayMs = int(ms);
    });
    table_.add("SIMulator:ECHO", [](CommandContext &c) { c.state.echo = unquote(c.arg(0)); });
    table_.add("SIMulator:ECHO?", [](CommandContext &c) { c.reply(c.state.echo); });
    table_.add("SIMulator:REMote?", [](CommandContext &c) { c.reply(c.state.remote ? "1" : "0"); });
    table_.add("SIMulator:COUNt?",
               [](CommandContext &c) { c.reply(std::to_string(c.state.commandCount)); });
    table_.add("SIMulator:RESet", [](CommandContext &c) {
        c.state.config.delayMs = 0;
        c.state.config.chunkSize = 0;
        c.state.config.chunkPauseMs = 0;
        c.state.blockSkew = 0;
        c.state.dropAfter = -1;
        c.state.blockDropAfter = -1;
        c.state.blockDelayMs = 0;
        c.state.config.recorderPush = false;
        c.state.config.recorderPushDelayMs = 0;
    });
}

// A few ordinary instrument settings, so that number queries have something to answer.
void Instrument::addSampleSettings()
{
    addNumberSetting("[SENSe:]FREQuency:CENTer", "FREQ:CENT", 1e9);
    addNumberSetting("[SENSe:]FREQuency:SPAN", "FREQ:SPAN", 10e6);
    addNumberSetting("DISPlay[:WINDow]:TRACe:Y[:SCALe]:RLEVel", "RLEV", -10);
    addNumberSetting("INPut:ATTenuation", "INP:ATT", 10);
    addNumberSetting("[SENSe:]BWIDth[:RESolution]", "BWID", 1e6);
    addNumberSetting("[SENSe:]BANDwidth[:RESolution]", "BWID", 1e6);
    addSetting("TRACe:IQ[:STATe]", "TRAC:IQ", "OFF");
    addSetting("UNIT:POWer", "UNIT:POW", "DBM");
}

std::shared_ptr<Response> Instrument::execute(const std::string &message, const std::string &origin)
{
    auto response = std::make_shared<Response>();
    std::lock_guard<std::mutex> lock(mutex_);
    log_.writeWire(message);
    size_t replies = 0;
    bool hasBlock = false;
    std::vector<std::string> path;
    for (const ProgramUnit &unit : splitProgramMessage(message)) {
        log_.write(origin, describeUnit(unit));
        ++state_.commandCount;
        CommandTable::Match match;
        if (!table_.find(unit, path, match)) {
            state_.pushError(-113, "Undefined header");
            continue;
        }
        path = match.path;
        CommandContext context(unit, match.suffixes, state_, *response, replies);
        (*match.handler)(context);
        hasBlock = hasBlock || context.sentBlock();
    }
    response->finish();
    if (!response->empty()) {
        const int delay = state_.config.delayMs + (hasBlock ? state_.blockDelayMs : 0);
        response->readyAt = Response::Clock::now() + std::chrono::milliseconds(delay);
        response->chunkSize = state_.config.chunkSize;
        response->chunkPauseMs = state_.config.chunkPauseMs;
        response->dropAfter = state_.dropAfter;
        state_.dropAfter = -1;
        if (hasBlock && state_.blockDropAfter >= 0) {
            response->dropAfter = state_.blockDropAfter;
            state_.blockDropAfter = -1;
        }
    }
    return response;
}

void Instrument::deviceClear(const std::string &origin)
{
    log_.write(origin, "<device clear>");
}

void Instrument::setRemote(bool remote, const std::string &origin)
{
    std::lock_guard<std::mutex> lock(mutex_);
    state_.remote = remote;
    log_.write(origin, remote ? "<remote>" : "<local>");
}

}  // namespace scpisim
