// Sessions, resource manager, attributes and the functions kxvisa does not implement.
#include "visafixture.h"

#include <atomic>
#include <cstring>
#include <thread>

namespace {

class Session : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim_.ready());
        ASSERT_EQ(viOpenDefaultRM(&rm_), VI_SUCCESS);
    }
    void TearDown() override { viClose(rm_); }

    ViStatus open(const char *name, ViSession &vi) { return viOpen(rm_, name, VI_NULL, 5000, &vi); }

    SimulatorProcess sim_;
    ViSession rm_ = VI_NULL;
};

std::string textQuery(ViSession vi, const char *command)
{
    viSetAttribute(vi, VI_ATTR_TERMCHAR_EN, VI_TRUE);
    ViUInt32 n = 0;
    if (viWrite(vi, reinterpret_cast<ViConstBuf>(command), ViUInt32(std::strlen(command)), &n)
        != VI_SUCCESS)
        return "<write failed>";
    char buf[256] = {};
    if (viRead(vi, reinterpret_cast<ViPBuf>(buf), sizeof buf, &n) < 0)
        return "<read failed>";
    return std::string(buf, n);
}

}  // namespace

TEST_F(Session, OpenFailsCleanlyForWhatIsNotThere)
{
    ViSession vi = 123;
    EXPECT_EQ(open("GPIB0::5::INSTR", vi), VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(vi, VI_NULL);
    EXPECT_EQ(open("USB0::0x1234::0x5678::SN1::INSTR", vi), VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(open("ASRL1::INSTR", vi), VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(open("MyScope", vi), VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(open("TCPIP::127.0.0.1::hislip0::INSTR", vi), VI_ERROR_NSUP_OPER);
    EXPECT_EQ(open("TCPIP::127.0.0.1::5999::SOCKET", vi), VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(open("TCPIP::127.0.0.1::bogus::INSTR", vi), VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(open("TCPIP::no-such-host.invalid::INSTR", vi), VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(open("TCPIP::127.0.0.1::70000::SOCKET", vi), VI_ERROR_INV_RSRC_NAME);
    EXPECT_EQ(open("TCPIP::", vi), VI_ERROR_INV_RSRC_NAME);
    EXPECT_EQ(viOpen(rm_, nullptr, VI_NULL, 0, &vi), VI_ERROR_INV_RSRC_NAME);
    EXPECT_EQ(viOpen(rm_ + 1000, kSocketResource, VI_NULL, 0, &vi), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(viOpen(rm_, kSocketResource, 0x100, 0, &vi), VI_ERROR_INV_ACC_MODE);
}

TEST_F(Session, NamesAreCaseInsensitiveAndAcceptHostNamesAndIpv6)
{
    ViSession vi = VI_NULL;
    ASSERT_EQ(open("tcpip0::127.0.0.1::5025::socket", vi), VI_SUCCESS);
    EXPECT_EQ(textQuery(vi, "*OPC?\n"), "1\n");
    ASSERT_EQ(open("TcpIp::localhost::inst0::instr", vi), VI_SUCCESS);
    EXPECT_EQ(textQuery(vi, "*OPC?\n"), "1\n");
    ASSERT_EQ(open("TCPIP::127.0.0.1", vi), VI_SUCCESS);
    char name[256] = {};
    ASSERT_EQ(viGetAttribute(vi, VI_ATTR_RSRC_NAME, name), VI_SUCCESS);
    EXPECT_STREQ(name, "TCPIP0::127.0.0.1::inst0::INSTR");

    SimulatorProcess v6({"--address", "::1", "--no-vxi11", "--socket-port", "5026"});
    ASSERT_TRUE(v6.ready());
    ASSERT_EQ(open("TCPIP::[::1]::5026::SOCKET", vi), VI_SUCCESS);
    EXPECT_EQ(textQuery(vi, "*IDN?\n"), "Vantorp,SCPISIM,000001,1.0\n");
    ASSERT_EQ(viGetAttribute(vi, VI_ATTR_TCPIP_ADDR, name), VI_SUCCESS);
    EXPECT_STREQ(name, "::1");
}

TEST_F(Session, ClosingTheResourceManagerClosesItsSessions)
{
    ViSession other = VI_NULL, a = VI_NULL, b = VI_NULL, c = VI_NULL;
    ASSERT_EQ(viOpenDefaultRM(&other), VI_SUCCESS);
    ASSERT_EQ(open(kSocketResource, a), VI_SUCCESS);
    ASSERT_EQ(open(kInstrResource, b), VI_SUCCESS);
    ASSERT_EQ(viOpen(other, kInstrResource, VI_NULL, 5000, &c), VI_SUCCESS);
    EXPECT_EQ(viClose(rm_), VI_SUCCESS);
    ViUInt32 n = 0;
    EXPECT_EQ(viWrite(a, reinterpret_cast<ViConstBuf>("*CLS\n"), 5, &n), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(viWrite(b, reinterpret_cast<ViConstBuf>("*CLS\n"), 5, &n), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(viClose(a), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(textQuery(c, "*OPC?\n"), "1\n");  // a session of another manager lives on
    EXPECT_EQ(viClose(c), VI_SUCCESS);
    EXPECT_EQ(viClose(c), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(viClose(other), VI_SUCCESS);
    EXPECT_EQ(viClose(VI_NULL), VI_WARN_NULL_OBJECT);
    ASSERT_EQ(viOpenDefaultRM(&rm_), VI_SUCCESS);
}

TEST_F(Session, AttributesHaveVisaDefaultsAndCheckValues)
{
    for (const char *name : {kSocketResource, kInstrResource}) {
        ViSession vi = VI_NULL;
        ASSERT_EQ(open(name, vi), VI_SUCCESS);
        ViUInt32 tmo = 0;
        ViUInt8 term = 0;
        ViBoolean flag = 9;
        ViUInt16 manf = 0;
        EXPECT_EQ(viGetAttribute(vi, VI_ATTR_TMO_VALUE, &tmo), VI_SUCCESS);
        EXPECT_EQ(tmo, 2000u);
        EXPECT_EQ(viGetAttribute(vi, VI_ATTR_TERMCHAR, &term), VI_SUCCESS);
        EXPECT_EQ(term, '\n');
        EXPECT_EQ(viGetAttribute(vi, VI_ATTR_TERMCHAR_EN, &flag), VI_SUCCESS);
        EXPECT_EQ(flag, VI_FALSE);
        EXPECT_EQ(viGetAttribute(vi, VI_ATTR_SEND_END_EN, &flag), VI_SUCCESS);
        EXPECT_EQ(flag, VI_TRUE);
        EXPECT_EQ(viGetAttribute(vi, VI_ATTR_SUPPRESS_END_EN, &flag), VI_SUCCESS);
        EXPECT_EQ(flag, VI_FALSE);
        EXPECT_EQ(viGetAttribute(vi, VI_ATTR_RSRC_MANF_ID, &manf), VI_SUCCESS);
        EXPECT_EQ(manf, 0x0FAF);
        EXPECT_EQ(viSetAttribute(vi, VI_ATTR_TMO_VALUE, 12345), VI_SUCCESS);
        EXPECT_EQ(viGetAttribute(vi, VI_ATTR_TMO_VALUE, &tmo), VI_SUCCESS);
        EXPECT_EQ(tmo, 12345u);
        EXPECT_EQ(viSetAttribute(vi, VI_ATTR_TERMCHAR, 0x1FF), VI_ERROR_NSUP_ATTR_STATE);
        EXPECT_EQ(viSetAttribute(vi, VI_ATTR_TERMCHAR_EN, 2), VI_ERROR_NSUP_ATTR_STATE);
        EXPECT_EQ(viSetAttribute(vi, VI_ATTR_TMO_VALUE, 0x100000000ull), VI_ERROR_NSUP_ATTR_STATE);
        EXPECT_EQ(viSetAttribute(vi, VI_ATTR_RSRC_MANF_ID, 1), VI_ERROR_ATTR_READONLY);
        EXPECT_EQ(viSetAttribute(vi, 0x3FFF0FFF, 1), VI_ERROR_NSUP_ATTR);
        EXPECT_EQ(viGetAttribute(vi, 0x3FFF0FFF, &tmo), VI_ERROR_NSUP_ATTR);
        char text[256] = {};
        EXPECT_EQ(viGetAttribute(vi, VI_ATTR_RSRC_CLASS, text), VI_SUCCESS);
        EXPECT_STREQ(text,
                     std::string(name).find("SOCKET") != std::string::npos ? "SOCKET" : "INSTR");
        EXPECT_EQ(viClose(vi), VI_SUCCESS);
    }
    ViUInt16 manf = 0;
    EXPECT_EQ(viGetAttribute(rm_, VI_ATTR_RSRC_MANF_ID, &manf), VI_SUCCESS);
    EXPECT_EQ(manf, 0x0FAF);
    EXPECT_EQ(viSetAttribute(rm_, VI_ATTR_RSRC_MANF_ID, 1), VI_ERROR_ATTR_READONLY);
    EXPECT_EQ(viGetAttribute(12345, VI_ATTR_TMO_VALUE, &manf), VI_ERROR_INV_OBJECT);
}

TEST_F(Session, SendEndOffHoldsTheMessageUntilAnEndArrives)
{
    ViSession vi = VI_NULL;
    ASSERT_EQ(open(kInstrResource, vi), VI_SUCCESS);
    ASSERT_EQ(viSetAttribute(vi, VI_ATTR_SEND_END_EN, VI_FALSE), VI_SUCCESS);
    ViUInt32 n = 0;
    ASSERT_EQ(viWrite(vi, reinterpret_cast<ViConstBuf>("*IDN?"), 5, &n), VI_SUCCESS);
    ASSERT_EQ(viSetAttribute(vi, VI_ATTR_TMO_VALUE, 300), VI_SUCCESS);
    char buf[64];
    EXPECT_EQ(viRead(vi, reinterpret_cast<ViPBuf>(buf), sizeof buf, &n), VI_ERROR_TMO);
    ASSERT_EQ(viSetAttribute(vi, VI_ATTR_SEND_END_EN, VI_TRUE), VI_SUCCESS);
    ASSERT_EQ(viWrite(vi, reinterpret_cast<ViConstBuf>(""), 0, &n), VI_SUCCESS);
    ASSERT_EQ(viSetAttribute(vi, VI_ATTR_TMO_VALUE, 5000), VI_SUCCESS);
    EXPECT_EQ(viRead(vi, reinterpret_cast<ViPBuf>(buf), sizeof buf, &n), VI_SUCCESS);
    EXPECT_EQ(std::string(buf, n), "Vantorp,SCPISIM,000001,1.0\n");
}

TEST_F(Session, SuppressEndMakesTheReadWaitForCountOrTimeout)
{
    ViSession vi = VI_NULL;
    ASSERT_EQ(open(kInstrResource, vi), VI_SUCCESS);
    ASSERT_EQ(viSetAttribute(vi, VI_ATTR_SUPPRESS_END_EN, VI_TRUE), VI_SUCCESS);
    ASSERT_EQ(viSetAttribute(vi, VI_ATTR_TMO_VALUE, 400), VI_SUCCESS);
    ViUInt32 n = 0;
    ASSERT_EQ(viWrite(vi, reinterpret_cast<ViConstBuf>("*OPC?\n"), 6, &n), VI_SUCCESS);
    char buf[64];
    EXPECT_EQ(viRead(vi, reinterpret_cast<ViPBuf>(buf), sizeof buf, &n), VI_ERROR_TMO);
    EXPECT_EQ(std::string(buf, n), "1\n");
}

TEST_F(Session, StatusDescriptions)
{
    char text[256];
    EXPECT_EQ(viStatusDesc(rm_, VI_ERROR_TMO, text), VI_SUCCESS);
    EXPECT_EQ(std::string(text).rfind("VI_ERROR_TMO", 0), 0u);
    EXPECT_EQ(viStatusDesc(rm_, VI_SUCCESS_MAX_CNT, text), VI_SUCCESS);
    EXPECT_NE(std::string(text).find("MAX_CNT"), std::string::npos);
    EXPECT_EQ(viStatusDesc(rm_, ViStatus(0xBFFF7777), text), VI_WARN_UNKNOWN_STATUS);
    EXPECT_NE(std::string(text).find("BFFF7777"), std::string::npos);
}

TEST_F(Session, OtherFunctionsAnswerNotSupported)
{
    ViSession vi = VI_NULL;
    ASSERT_EQ(open(kSocketResource, vi), VI_SUCCESS);
    ViFindList list = 0;
    ViUInt32 count = 0;
    char desc[256];
    ViUInt16 stb = 0;
    ViUInt8 v8 = 0;
    EXPECT_EQ(viFindRsrc(rm_, "?*", &list, &count, desc), VI_ERROR_NSUP_OPER);
    EXPECT_EQ(viPrintf(vi, "%s\n", "*IDN?"), VI_ERROR_NSUP_OPER);
    EXPECT_EQ(viScanf(vi, "%s", desc), VI_ERROR_NSUP_OPER);
    EXPECT_EQ(viQueryf(vi, "*IDN?\n", "%s", desc), VI_ERROR_NSUP_OPER);
    EXPECT_EQ(viReadSTB(vi, &stb), VI_ERROR_NSUP_OPER);
    EXPECT_EQ(viLock(vi, VI_EXCLUSIVE_LOCK, 0, nullptr, desc), VI_ERROR_NSUP_OPER);
    EXPECT_EQ(viIn8(vi, 1, 0, &v8), VI_ERROR_NSUP_OPER);
    EXPECT_EQ(viWriteFromFile(vi, "/dev/null", 1, &count), VI_ERROR_NSUP_OPER);
    EXPECT_EQ(viEnableEvent(vi, 1, 1, 0), VI_ERROR_NSUP_OPER);
    EXPECT_EQ(viGpibSendIFC(vi), VI_ERROR_NSUP_OPER);
    ViUInt16 type = 0, board = 9;
    EXPECT_EQ(viParseRsrc(rm_, "tcpip3::host::5025::socket", &type, &board), VI_SUCCESS);
    EXPECT_EQ(type, VI_INTF_TCPIP);
    EXPECT_EQ(board, 3);
}

TEST_F(Session, SessionsWorkFromSeveralThreads)
{
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (const char *name : {kSocketResource, kInstrResource, kSocketResource, kInstrResource}) {
        threads.emplace_back([&, name] {
            ViSession vi = VI_NULL;
            if (viOpen(rm_, name, VI_NULL, 10000, &vi) != VI_SUCCESS) {
                ++failures;
                return;
            }
            viSetAttribute(vi, VI_ATTR_TMO_VALUE, 10000);
            for (int i = 0; i < 40; ++i)
                if (textQuery(vi, "*IDN?\n") != "Vantorp,SCPISIM,000001,1.0\n")
                    ++failures;
            viClose(vi);
        });
    }
    for (auto &t : threads)
        t.join();
    EXPECT_EQ(failures.load(), 0);
}

TEST_F(Session, CloseFromAnotherThreadEndsABlockedRead)
{
    for (const char *name : {kSocketResource, kInstrResource}) {
        ViSession vi = VI_NULL;
        ASSERT_EQ(open(name, vi), VI_SUCCESS);
        ASSERT_EQ(viSetAttribute(vi, VI_ATTR_TMO_VALUE, 30000), VI_SUCCESS);
        ViStatus status = VI_SUCCESS;
        const auto t0 = std::chrono::steady_clock::now();
        std::thread reader([&] {
            char buf[16];
            ViUInt32 n = 0;
            status = viRead(vi, reinterpret_cast<ViPBuf>(buf), sizeof buf, &n);
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_EQ(viClose(vi), VI_SUCCESS);
        reader.join();
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count(),
                  20.0);
        EXPECT_EQ(status, VI_ERROR_CONN_LOST) << name;
    }
}
