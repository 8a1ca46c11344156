// Basic I/O of kxvisa against the simulated instrument, over a raw socket and VXI-11.
#include "testsignal.h"
#include "visafixture.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sys/resource.h>
#include <thread>

using scpisim::BlockContent;
using scpisim::TestSignal;

namespace {

std::string signalBytes(BlockContent content, uint64_t offset, size_t size)
{
    std::string s(size, '\0');
    TestSignal::get(content).copy(offset, reinterpret_cast<uint8_t *>(s.data()), size);
    return s;
}

}  // namespace

TEST_P(VisaFixture, IdentificationAndNumberReplies)
{
    EXPECT_EQ(query("*IDN?\n"), "Vantorp,SCPISIM,000001,1.0\n");
    EXPECT_EQ(query("*CLS;*OPC?\n"), "1\n");
    EXPECT_EQ(query("FREQ:CENT 2.5 GHz;*OPC?\n"), "1\n");
    EXPECT_EQ(query("FREQ:CENT?;*WAI\n"), "2500000000\n");
    EXPECT_EQ(query("DISP:TRAC:Y:RLEV?\n"), "-10\n");
    EXPECT_EQ(query("BOGUS:CMD?;SYST:ERR?\n"), "-113,\"Undefined header\"\n");
    EXPECT_EQ(query("SYST:ERR?\n"), "0,\"No error\"\n");
}

TEST_P(VisaFixture, TermcharOffEndsAtEndOnlyOverVxi11)
{
    send("*IDN?\n");
    setTimeout(400);
    const std::string reply = readBytes(100);
    EXPECT_EQ(reply, "Vantorp,SCPISIM,000001,1.0\n");
    // A raw socket has no end marker: without the termination character only the count or
    // the timeout ends a read, and the partial count is reported.
    EXPECT_EQ(status, isSocket() ? VI_ERROR_TMO : VI_SUCCESS);
}

TEST_P(VisaFixture, BinaryBlockWithLineFeedsAndZerosArrivesExactly)
{
    send("TRAC:IQ:DATA:FORM IQP\n");  // the tone as I/Q pairs, not all I then all Q
    for (BlockContent content : {BlockContent::Tone, BlockContent::Ramp}) {
        send(content == BlockContent::Ramp ? "SIM:BLOC:MODE RAMP\n" : "SIM:BLOC:MODE TONE\n");
        send("SIM:BLOC:POIN 4096;:TRAC:IQ:DATA?\n");
        const uint64_t bytes = 8 * 4096;
        const std::string header = blockHeader(bytes);
        EXPECT_EQ(readBytes(header.size()), header);
        EXPECT_EQ(status, VI_SUCCESS_MAX_CNT);
        // Odd-sized reads smaller than the reply: each returns exactly its count.
        std::string data;
        while (data.size() + 1000 <= bytes) {
            data += readBytes(1000);
            ASSERT_EQ(status, VI_SUCCESS_MAX_CNT);
        }
        const std::string expected = signalBytes(content, 0, bytes);
        ASSERT_NE(expected.find('\n'), std::string::npos);
        ASSERT_NE(expected.find('\0'), std::string::npos);
        // A read larger than what is left ends with the reply (VXI-11 END) or by timeout.
        setTimeout(500);
        data += readBytes(bytes);
        EXPECT_EQ(status, isSocket() ? VI_ERROR_TMO : VI_SUCCESS);
        ASSERT_EQ(data.size(), bytes + 1);
        EXPECT_TRUE(data.compare(0, bytes, expected) == 0);
        EXPECT_EQ(data.back(), '\n');
        setTimeout(2000);
    }
}

TEST_P(VisaFixture, TermcharOnStopsAtEachLineFeedAndKeepsTheRest)
{
    send("SIM:BLOC:MODE RAMP;POIN 100\n");
    send("TRAC:IQ:DATA?\n");
    ASSERT_EQ(viSetAttribute(vi_, VI_ATTR_TERMCHAR_EN, VI_TRUE), VI_SUCCESS);
    const std::string expected = blockHeader(800) + signalBytes(BlockContent::Ramp, 0, 800) + "\n";
    std::string data;
    while (data.size() < expected.size()) {
        const std::string piece = readBytes(5000);
        ASSERT_EQ(status, VI_SUCCESS_TERM_CHAR);
        ASSERT_EQ(piece.back(), '\n');
        ASSERT_EQ(std::count(piece.begin(), piece.end(), '\n'), 1);
        data += piece;
    }
    EXPECT_EQ(data, expected);
    // Another termination character is honoured too.
    ASSERT_EQ(viSetAttribute(vi_, VI_ATTR_TERMCHAR, ','), VI_SUCCESS);
    send("*IDN?\n");
    EXPECT_EQ(readBytes(100), "Vantorp,");
    EXPECT_EQ(status, VI_SUCCESS_TERM_CHAR);
    EXPECT_EQ(readBytes(100), "SCPISIM,");
}

TEST_P(VisaFixture, WritesOverOneKibibyteArriveWhole)
{
    std::string text(5000, 'x');
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = char('a' + i % 26);
    send("SIM:ECHO \"" + text + "\"\n");
    EXPECT_EQ(query("SIM:ECHO?\n"), text + "\n");
    // Binary data with every byte value, line feeds and zeros included, both ways.
    std::string block(3000, '\0');
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = char((i * 7) & 0xFF);
    send("SIM:STOR " + blockHeader(block.size()) + block + "\n");
    send("SIM:STOR?\n");
    const std::string reply = readBytes(blockHeader(block.size()).size() + block.size() + 1);
    EXPECT_EQ(status, isSocket() ? VI_SUCCESS_MAX_CNT : VI_SUCCESS);
    EXPECT_EQ(reply, blockHeader(block.size()) + block + "\n");
    EXPECT_EQ(query("SYST:ERR?\n"), "0,\"No error\"\n");
    EXPECT_NE(sim_.log().find("SIM:ECHO \"" + text + "\""), std::string::npos);
    EXPECT_NE(sim_.log().find("SIM:STOR #<3000 bytes>"), std::string::npos);
}

TEST_P(VisaFixture, ReplyAfterTheDeadlineTimesOut)
{
    send("SIM:DEL 3000\n");
    send("*IDN?\n");
    setTimeout(500);
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(readBytes(100), "");
    const double elapsed = secondsSince(t0);
    EXPECT_EQ(status, VI_ERROR_TMO);
    EXPECT_GE(elapsed, 0.45);
    EXPECT_LT(elapsed, 2.9);
    // The late reply is not lost: it is there for the next read.
    setTimeout(20000);
    ASSERT_EQ(viSetAttribute(vi_, VI_ATTR_TERMCHAR_EN, VI_TRUE), VI_SUCCESS);
    EXPECT_EQ(readBytes(100), "Vantorp,SCPISIM,000001,1.0\n");
    EXPECT_EQ(status, VI_SUCCESS_TERM_CHAR);
}

TEST_P(VisaFixture, TimeoutInTheMiddleReportsThePartialCount)
{
    send("SIM:BLOC:MODE RAMP;POIN 1000;:SIM:CHUN 100,50\n");
    send("TRAC:IQ:DATA?\n");
    setTimeout(600);
    const std::string data = readBytes(8000);
    EXPECT_EQ(status, VI_ERROR_TMO);
    EXPECT_GT(data.size(), 0u);
    EXPECT_LT(data.size(), 8000u);
    const std::string expected = blockHeader(8000) + signalBytes(BlockContent::Ramp, 0, 8000);
    EXPECT_EQ(data, expected.substr(0, data.size()));
}

TEST_P(VisaFixture, PeerClosingMidBlockLosesTheConnection)
{
    send("SIM:BLOC:MODE RAMP;POIN 12500;:SIM:DROP 5000\n");
    send("TRAC:IQ:DATA?\n");
    const std::string data = readBytes(200000);
    EXPECT_EQ(status, VI_ERROR_CONN_LOST);
    ASSERT_EQ(data.size(), 5000u);
    const std::string expected = blockHeader(100000) + signalBytes(BlockContent::Ramp, 0, 100000);
    EXPECT_EQ(data, expected.substr(0, 5000));
    EXPECT_EQ(readBytes(10), "");
    EXPECT_EQ(status, VI_ERROR_CONN_LOST);
}

TEST_P(VisaFixture, WrongBlockLengthIsSeenByTheReader)
{
    send("SIM:BLOC:MODE RAMP;POIN 100;SKEW 40\n");
    send("TRAC:IQ:DATA?\n");
    setTimeout(500);
    EXPECT_EQ(readBytes(5), "#3840");
    // 840 bytes announced, 800 sent plus the line feed: the reader gets fewer than it asked.
    const std::string data = readBytes(840 + 1);
    EXPECT_EQ(data.size(), 801u);
    EXPECT_EQ(status, isSocket() ? VI_ERROR_TMO : VI_SUCCESS);
}

TEST_P(VisaFixture, ReadToFileStreamsHundredMegabytes)
{
    const uint64_t bytes = 100000000;
    send("SIM:BLOC:MODE TONE;POIN " + std::to_string(bytes / 8) + "\n");
    send("TRAC:IQ:DATA:FORM IQP\n");
    send("TRAC:IQ:DATA?\n");
    setTimeout(20000);
    const std::string header = blockHeader(bytes);
    ASSERT_EQ(readBytes(header.size()), header);
    const std::string path = sim_.folder() + "/block.bin";
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    ViUInt32 got = 0;
    status = viReadToFile(vi_, path.c_str(), ViUInt32(bytes + 1), &got);
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    EXPECT_EQ(status, isSocket() ? VI_SUCCESS_MAX_CNT : VI_SUCCESS);
    EXPECT_EQ(got, bytes + 1);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 32 * 1024) << "kB of extra peak memory";
    std::ifstream in(path, std::ios::binary);
    std::vector<char> chunk(1 << 20);
    uint64_t offset = 0;
    bool same = true;
    while (same && offset < bytes) {
        const size_t n = size_t(std::min<uint64_t>(chunk.size(), bytes - offset));
        in.read(chunk.data(), std::streamsize(n));
        same = in.gcount() == std::streamsize(n)
               && std::string(chunk.data(), n) == signalBytes(BlockContent::Tone, offset, n);
        offset += n;
    }
    EXPECT_TRUE(same) << "first difference in the megabyte at " << offset;
    EXPECT_EQ(in.get(), '\n');
    EXPECT_EQ(in.get(), EOF);
    in.close();
    std::remove(path.c_str());
}

TEST_P(VisaFixture, ReadToFileAppendsWhenAsked)
{
    const std::string path = sim_.folder() + "/idn.txt";
    ASSERT_EQ(viSetAttribute(vi_, VI_ATTR_TERMCHAR_EN, VI_TRUE), VI_SUCCESS);
    for (ViBoolean append : {VI_FALSE, VI_TRUE}) {
        ASSERT_EQ(viSetAttribute(vi_, VI_ATTR_FILE_APPEND_EN, append), VI_SUCCESS);
        send("*IDN?\n");
        ViUInt32 got = 0;
        EXPECT_EQ(viReadToFile(vi_, path.c_str(), 1000, &got), VI_SUCCESS_TERM_CHAR);
        EXPECT_EQ(got, 27u);
    }
    std::ifstream in(path);
    std::string all((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(all, "Vantorp,SCPISIM,000001,1.0\nVantorp,SCPISIM,000001,1.0\n");
    std::remove(path.c_str());
    ViUInt32 got = 7;
    EXPECT_EQ(viReadToFile(vi_, "/nonexistent-dir/x.bin", 10, &got), VI_ERROR_FILE_ACCESS);
    EXPECT_EQ(got, 0u);
}

TEST_P(VisaFixture, ClearDropsTheWaitingReply)
{
    send("*IDN?\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(viClear(vi_), VI_SUCCESS);
    setTimeout(300);
    EXPECT_EQ(readBytes(100), "");
    EXPECT_EQ(status, VI_ERROR_TMO);
    setTimeout(2000);
    EXPECT_EQ(query("*OPC?\n"), "1\n");
    if (!isSocket()) {
        EXPECT_NE(sim_.log().find("<device clear>"), std::string::npos);
    }
}

TEST_P(VisaFixture, RemoteEnableGoesThroughTheLinkOnlyForInstr)
{
    if (isSocket()) {
        EXPECT_EQ(viGpibControlREN(vi_, VI_GPIB_REN_ADDRESS_GTL), VI_ERROR_NSUP_OPER);
        return;
    }
    EXPECT_EQ(viGpibControlREN(vi_, VI_GPIB_REN_ASSERT_ADDRESS), VI_SUCCESS);
    EXPECT_EQ(query("SIM:REM?\n"), "1\n");
    EXPECT_EQ(viGpibControlREN(vi_, VI_GPIB_REN_ADDRESS_GTL), VI_SUCCESS);
    EXPECT_EQ(query("SIM:REM?\n"), "0\n");
    EXPECT_EQ(viGpibControlREN(vi_, 99), VI_ERROR_INV_MODE);
    const std::string log = sim_.log();
    EXPECT_LT(log.find("<remote>"), log.find("<local>"));
}

TEST_P(VisaFixture, ZeroCountsAndImmediateTimeout)
{
    ViUInt32 n = 9;
    EXPECT_EQ(viRead(vi_, nullptr, 0, &n), VI_SUCCESS_MAX_CNT);
    EXPECT_EQ(n, 0u);
    setTimeout(VI_TMO_IMMEDIATE);
    EXPECT_EQ(readBytes(10), "");
    EXPECT_EQ(status, VI_ERROR_TMO);
}

INSTANTIATE_TEST_SUITE_P(BothKinds, VisaFixture, ::testing::Values(kSocketResource, kInstrResource),
                         [](const auto &info) {
                             return std::string(info.index == 0 ? "Socket" : "Instr");
                         });
