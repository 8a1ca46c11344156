#include "linkprotocol.h"

#include <QtEndian>
#include <cstring>
#include <iterator>

const char LinkProtocol::serverIdText[] = "Trovik";

namespace {

struct Keyword
{
    const char *text;
    LinkRequest request;
};

// Order matters: "GetSymbolRate" must be tried before its prefix "GetSymbol".
const Keyword kKeywords[] = {
        {"GetServerID", LinkRequest::ServerId},
        {"GetNewState", LinkRequest::NewState},
        {"GetSequenceLength", LinkRequest::SequenceLength},
        {"GetSymbolRate", LinkRequest::SymbolRate},
        {"GetSymbol", LinkRequest::Symbols},
};

void putInt32(char *out, int32_t v)
{
    qToLittleEndian<qint32>(v, out);
}

}  // namespace

QByteArray linkValueMessage(SERVER_MESSAGE_HEADER_TYPE type, float value)
{
    QByteArray m(LinkProtocol::valueMessageSize, '\0');
    putInt32(m.data(), type);
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    qToLittleEndian<quint32>(bits, m.data() + 4);
    return m;
}

QByteArray linkServerIdMessage()
{
    QByteArray m(LinkProtocol::idMessageSize, '\0');
    putInt32(m.data(), SERVER_ID);
    std::memcpy(m.data() + 4, LinkProtocol::serverIdText, sizeof LinkProtocol::serverIdText);
    return m;
}

LinkRequest parseLinkRequest(const QByteArray &text)
{
    for (const Keyword &k : kKeywords)
        if (text.startsWith(k.text))
            return k.request;
    return LinkRequest::None;
}

float linkRateValue(double sampleRate)
{
    return static_cast<float>(sampleRate);
}

float linkCountValue(int64_t sampleCount)
{
    return static_cast<float>(static_cast<double>(sampleCount));
}

uint16_t linkPort(int64_t portSetting)
{
    return static_cast<uint16_t>(static_cast<uint64_t>(portSetting) & 0xFFFFu);
}
