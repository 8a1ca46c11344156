#pragma once

#include "simulatorprocess.h"
#include "visa.h"

#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <vector>

inline const char *const kSocketResource = "TCPIP0::127.0.0.1::5025::SOCKET";
inline const char *const kInstrResource = "TCPIP::127.0.0.1::INSTR";

// One simulator and one open session per test, run once per resource kind.
class VisaFixture : public ::testing::TestWithParam<const char *>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim_.ready()) << "simulator did not start";
        ASSERT_EQ(viOpenDefaultRM(&rm_), VI_SUCCESS);
        ASSERT_EQ(viOpen(rm_, GetParam(), VI_NULL, 10000, &vi_), VI_SUCCESS);
    }
    void TearDown() override { viClose(rm_); }

    bool isSocket() const { return std::string(GetParam()).find("SOCKET") != std::string::npos; }

    void send(const std::string &text)
    {
        ViUInt32 done = 0;
        ASSERT_EQ(viWrite(vi_, reinterpret_cast<ViConstBuf>(text.data()), ViUInt32(text.size()),
                          &done),
                  VI_SUCCESS);
        ASSERT_EQ(done, text.size());
    }

    // Reads up to count bytes; returns them and leaves the read's status in status.
    std::string readBytes(size_t count)
    {
        std::string buf(count, '\0');
        ViUInt32 got = 0;
        status = viRead(vi_, reinterpret_cast<ViPBuf>(buf.data()), ViUInt32(count), &got);
        buf.resize(got);
        return buf;
    }

    // A text query read up to the line feed.
    std::string query(const std::string &command)
    {
        viSetAttribute(vi_, VI_ATTR_TERMCHAR_EN, VI_TRUE);
        send(command);
        std::string reply = readBytes(20000);
        EXPECT_EQ(status, VI_SUCCESS_TERM_CHAR) << command;
        viSetAttribute(vi_, VI_ATTR_TERMCHAR_EN, VI_FALSE);
        return reply;
    }

    void setTimeout(ViUInt32 ms)
    {
        ASSERT_EQ(viSetAttribute(vi_, VI_ATTR_TMO_VALUE, ms), VI_SUCCESS);
    }

    static double secondsSince(std::chrono::steady_clock::time_point t0)
    {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }

    SimulatorProcess sim_;
    ViSession rm_ = VI_NULL;
    ViSession vi_ = VI_NULL;
    ViStatus status = VI_SUCCESS;
};

inline std::string blockHeader(uint64_t bytes)
{
    const std::string digits = std::to_string(bytes);
    return "#" + std::to_string(digits.size()) + digits;
}
