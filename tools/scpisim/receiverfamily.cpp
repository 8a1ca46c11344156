// The handheld receiver: it records I/Q to a file on its storage card (TRAC:REC:STAR ...
// TRAC:REC:STOP), lists the card (MMEM:CAT?), sends a file as a block (MMEM:DATA? 'name') and
// deletes it (MMEM:DEL name). With the push setting the newest recording follows the catalogue
// reply unasked, as the plain file.
//
// Recorder file, little-endian: an 84-byte header with the sample rate in Hz (int32) at
// offset 32 and the sample count (int32) at offset 60, then per sample a signed 16-bit I and
// a signed 16-bit Q.
#include "instrument.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace scpisim {
namespace {

constexpr size_t kHeaderBytes = 84;
constexpr int32_t kRecorderRate = 640000;

void putInt32(std::string &bytes, size_t offset, int32_t value)
{
    std::memcpy(&bytes[offset], &value, sizeof value);  // x86-64 is little-endian like the file
}

std::string recorderFile(uint64_t samples)
{
    std::string bytes(kHeaderBytes + 4 * samples, '\0');
    putInt32(bytes, 32, kRecorderRate);
    putInt32(bytes, 60, int32_t(samples));
    const double pi = std::acos(-1.0);
    for (uint64_t n = 0; n < samples; ++n) {
        const double phase = 2.0 * pi * 37.0 * double(n % 1024) / 1024.0;
        const int16_t iq[2] = {int16_t(std::lround(16000 * std::cos(phase))),
                               int16_t(std::lround(16000 * std::sin(phase)))};
        std::memcpy(&bytes[kHeaderBytes + 4 * n], iq, sizeof iq);
    }
    return bytes;
}

std::string unquoted(const std::string &s)
{
    if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front())
        return s.substr(1, s.size() - 2);
    return s;
}

std::string recordingName(int number)
{
    char name[32];
    std::snprintf(name, sizeof name, "RecIQ%04d.riq", number % 10000);
    return name;
}

void stopRecording(CommandContext &c)
{
    if (!c.state.recording)
        return c.error(-221, "Settings conflict");
    c.state.recording = false;
    c.state.files[recordingName(++c.state.recordingNumber)]
            = recorderFile(c.state.config.recorderSamples);
}

// SCPI catalogue: <used bytes>,<free bytes>{,"<name>,<type>,<size>"}.
void catalogue(CommandContext &c)
{
    uint64_t used = 0;
    std::string entries;
    for (const auto &file : c.state.files) {
        used += file.second.size();
        entries += ",\"" + file.first + ",BIN," + std::to_string(file.second.size()) + "\"";
    }
    c.reply(std::to_string(used) + ",1000000000" + entries);
    const auto newest = c.state.files.find(recordingName(c.state.recordingNumber));
    // The plain file, no block header, once the card has delivered it.
    if (c.state.config.recorderPush && newest != c.state.files.end())
        c.appendLater("\n" + newest->second, c.state.config.recorderPushDelayMs);
}

}  // namespace

void addReceiverCommands(Instrument &instrument)
{
    instrument.addSetting("[SENSe:]DEModulation", "DEM", "OFF");
    instrument.addSetting("TRACe:RECord:SOURce", "TRAC:REC:SOUR", "IQ");
    instrument.addSetting("TRACe:RECord:STORage", "TRAC:REC:STOR", "FILE");
    instrument.addSetting("MMEMory:CDIRectory", "MMEM:CDIR", "'\\Storage Card'");
    CommandTable &table = instrument.commands();
    table.add("TRACe:RECord:STARt", [](CommandContext &c) { c.state.recording = true; });
    table.add("TRACe:RECord:STOP", stopRecording);
    table.add("MMEMory:CATalog?", catalogue);
    table.add("MMEMory:DATA?", [](CommandContext &c) {
        const auto file = c.state.files.find(unquoted(c.arg(0)));
        if (file == c.state.files.end()) {
            c.error(-256, "File name not found");
            return c.replyBlock(std::string());
        }
        c.replyBlock(file->second);
    });
    table.add("MMEMory:DELete", [](CommandContext &c) {
        if (c.state.files.erase(unquoted(c.arg(0))) == 0)
            c.error(-256, "File name not found");
    });
}

}  // namespace scpisim
