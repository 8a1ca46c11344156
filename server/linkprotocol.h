#pragma once

#include <QByteArray>
#include <cstdint>

// Message types of the generator link, sent as the first 32-bit word of every reply.
enum SERVER_MESSAGE_HEADER_TYPE : int32_t {
    SYMBOL_RATE = 0,
    SEQUENCE_LENGTH = 1,
    SYMBOLS = 2,
    NEW_STATE = 3,
    SERVER_ID = 4,
};

// What a client's request text asks for.
enum class LinkRequest { None, ServerId, NewState, SequenceLength, SymbolRate, Symbols };

namespace LinkProtocol {
constexpr int valueMessageSize = 8;
constexpr int idMessageSize = 100;
constexpr int chunkSize = 64000;              // bytes per write of the sample message
constexpr int maxRequestSize = 1024;          // bytes looked at per request
constexpr int defaultStallTimeoutMs = 30000;  // longest wait for a client to take written bytes
extern const char serverIdText[];             // "Trovik"
}  // namespace LinkProtocol

// type (int32 LE) followed by value (float32 LE): 8 bytes.
QByteArray linkValueMessage(SERVER_MESSAGE_HEADER_TYPE type, float value);

// type 4 followed by the NUL-terminated identification text, zero-padded to 100 bytes.
QByteArray linkServerIdMessage();

// The request the text begins with. Keywords are matched case-sensitively and only when
// the whole keyword lies inside the given bytes; "GetSymbolRate" is tried before "GetSymbol".
LinkRequest parseLinkRequest(const QByteArray &text);

// Conversions of the record's numbers to the float values on the wire.
float linkRateValue(double sampleRate);
float linkCountValue(int64_t sampleCount);

// The TCP port the server listens on for a port setting: its low 16 bits.
uint16_t linkPort(int64_t portSetting);
