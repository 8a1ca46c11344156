#include "linkprotocol.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

QByteArray hex(const char *h)
{
    return QByteArray::fromHex(h);
}

}  // namespace

TEST(LinkProtocol, ValueMessagesAreTypeThenFloatLittleEndian)
{
    EXPECT_EQ(linkValueMessage(SYMBOL_RATE, 1.0f), hex("00000000"
                                                       "0000803f"));
    EXPECT_EQ(linkValueMessage(SEQUENCE_LENGTH, 10000.0f), hex("01000000"
                                                               "00401c46"));
    EXPECT_EQ(linkValueMessage(NEW_STATE, 0.0f), hex("03000000"
                                                     "00000000"));
    EXPECT_EQ(linkValueMessage(NEW_STATE, 1.0f), hex("03000000"
                                                     "0000803f"));
    EXPECT_EQ(linkValueMessage(SYMBOL_RATE, -0.0f), hex("00000000"
                                                        "00000080"));
}

TEST(LinkProtocol, ServerIdIsHundredBytesWithTheNameAndZeros)
{
    const QByteArray m = linkServerIdMessage();
    ASSERT_EQ(m.size(), 100);
    EXPECT_EQ(m.left(11), QByteArray("\x04\x00\x00\x00Trovik", 10) + QByteArray(1, '\0'));
    EXPECT_EQ(m.mid(10), QByteArray(90, '\0'));
}

TEST(LinkProtocol, KeywordsInOrderCaseSensitiveWhole)
{
    EXPECT_EQ(parseLinkRequest("GetServerID"), LinkRequest::ServerId);
    EXPECT_EQ(parseLinkRequest("GetNewState"), LinkRequest::NewState);
    EXPECT_EQ(parseLinkRequest("GetSequenceLength"), LinkRequest::SequenceLength);
    EXPECT_EQ(parseLinkRequest("GetSymbolRate"), LinkRequest::SymbolRate);
    EXPECT_EQ(parseLinkRequest("GetSymbolRate\r\n"), LinkRequest::SymbolRate);
    EXPECT_EQ(parseLinkRequest("GetSymbol"), LinkRequest::Symbols);
    EXPECT_EQ(parseLinkRequest("GetSymbols"), LinkRequest::Symbols);
    EXPECT_EQ(parseLinkRequest("GetSymbolRat"),
              LinkRequest::Symbols);  // the longer keyword is not whole
    EXPECT_EQ(parseLinkRequest("getsymbolrate"), LinkRequest::None);
    EXPECT_EQ(parseLinkRequest("GetSymbo"), LinkRequest::None);
    EXPECT_EQ(parseLinkRequest(" GetServerID"), LinkRequest::None);
    EXPECT_EQ(parseLinkRequest(QByteArray()), LinkRequest::None);
    EXPECT_EQ(parseLinkRequest(QByteArray("\0GetSymbol", 10)), LinkRequest::None);
}

TEST(LinkProtocol, KeywordInsideAShortBufferIsNotReadPastItsEnd)
{
    // The request bytes live in a buffer exactly as long as what was received.
    const char text[] = {'G', 'e', 't', 'S', 'y', 'm'};
    EXPECT_EQ(parseLinkRequest(QByteArray(text, sizeof text)), LinkRequest::None);
}

TEST(LinkProtocol, NumbersAreRoundedToFloat)
{
    EXPECT_EQ(linkCountValue(16777217), 16777216.0f);
    EXPECT_EQ(linkCountValue(16777219), 16777220.0f);
    EXPECT_EQ(linkCountValue(0), 0.0f);
    EXPECT_EQ(linkRateValue(12345678.9), 12345679.0f);
}

TEST(LinkProtocol, PortIsTheLowSixteenBits)
{
    EXPECT_EQ(linkPort(66536), 1000);
    EXPECT_EQ(linkPort(1000), 1000);
    EXPECT_EQ(linkPort(65536), 0);
    EXPECT_EQ(linkPort(65535), 65535);
    EXPECT_EQ(linkPort(999999999), 999999999 % 65536);
}
