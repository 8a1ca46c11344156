// The session layer against the simulated instrument, through Pontil and kxvisa, over a
// raw SCPI socket and (inside a private network namespace) over VXI-11.

#include "simulatorinstance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

class SimulatorTest : public SimulatorSession
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(Simulator::instance().chosenCode, KXVI_LIBRARY_KXVISA);
        SimulatorSession::SetUp();
    }

    int commandCount()
    {
        double count = -1;
        EXPECT_EQ(queryNumber(session, "SIM:COUN?\n", count), VI_SUCCESS);
        return int(count);
    }
};

// Text, numbers and options come back over the transport as the instrument sent them.
TEST_P(SimulatorTest, QueriesGiveTheInstrumentsReplies)
{
    QString reply;
    EXPECT_EQ(queryText(session, "*IDN?\n", reply), VI_SUCCESS);
    EXPECT_EQ(reply, "Vantorp,SIM,1,1.0\n");  // the identity the fixture gave it
    ASSERT_EQ(writeCommand(session, "SIM:BLOC:POIN 321;:SIM:OPT Q31,Q53,Q90\n"), VI_SUCCESS);
    double points = 0;
    EXPECT_EQ(queryNumber(session, "SIM:BLOC:POIN?\n", points), VI_SUCCESS);
    EXPECT_EQ(points, 321.0);
    EXPECT_TRUE(hasOption(session, "Q53"));
    EXPECT_FALSE(hasOption(session, "q53"));  // case-sensitive
    ASSERT_EQ(writeCommand(session, "SIM:OPT q53\n"), VI_SUCCESS);
    EXPECT_FALSE(hasOption(session, "Q53"));
}

TEST_P(SimulatorTest, Block3512GivesTheFloatsOfTheBlock)
{
    ASSERT_EQ(writeCommand(session, "SIM:BLOC:POIN 64;MODE RAMP\n"), VI_SUCCESS);
    std::vector<double> values;
    ASSERT_TRUE(queryBlock(session, "TRAC:IQ:DATA?\n", values));
    ASSERT_EQ(values.size(), 128u);
    // Ramp bytes 0, 1, 2, ...: value k is the float of the bytes 4k .. 4k+3.
    for (size_t k = 0; k < values.size(); ++k) {
        unsigned char bytes[4];
        for (int b = 0; b < 4; ++b)
            bytes[b] = static_cast<unsigned char>((4 * k + b) & 0xFF);
        float expected;
        std::memcpy(&expected, bytes, 4);
        if (std::isnan(expected))
            EXPECT_TRUE(std::isnan(values[k])) << k;
        else
            EXPECT_EQ(values[k], double(expected)) << k;
    }
    QString reply;
    EXPECT_EQ(queryText(session, "*OPC?\n", reply), VI_SUCCESS);
    EXPECT_EQ(reply, "1\n");
}

TEST_P(SimulatorTest, LargeToneBlock)
{
    ASSERT_EQ(writeCommand(session, "SIM:BLOC:POIN 100000;MODE TONE\n"), VI_SUCCESS);
    std::vector<double> values;
    ASSERT_TRUE(queryBlock(session, "TRAC:IQ:DATA?\n", values));
    EXPECT_EQ(values.size(), 200000u);
    double largest = 0;
    for (double v : values)
        largest = std::max(largest, std::abs(v));
    EXPECT_GT(largest, 0.0);
    EXPECT_LT(largest, 1e6);
}

// A reply that is not a block, or one shorter than its header says, fails.
TEST_P(SimulatorTest, BrokenBlocksFail)
{
    ASSERT_EQ(writeCommand(session, "*IDN?\n"), VI_SUCCESS);
    std::vector<double> values{1.0};
    EXPECT_FALSE(readBlockToFile(session, values));
    EXPECT_EQ(values, std::vector<double>{1.0});
    ASSERT_NO_FATAL_FAILURE(reconnect());  // the rest of that reply is never read
    ASSERT_EQ(setTimeout(session, 500), VI_SUCCESS);
    ASSERT_EQ(writeCommand(session, "SIM:BLOC:POIN 64;SKEW 40\n"), VI_SUCCESS);
    EXPECT_FALSE(queryBlock(session, "TRAC:IQ:DATA?\n", values));
    viClear(session);
}

TEST_P(SimulatorTest, QueryTextOfTwentyThousandBytesFails)
{
    const QString fits = QString(19998, QLatin1Char('x'));
    ASSERT_EQ(writeCommand(session, QStringLiteral("SIM:ECHO \"%1\"\n").arg(fits)), VI_SUCCESS);
    QString reply;
    EXPECT_EQ(queryText(session, "SIM:ECHO?\n", reply), VI_SUCCESS);
    EXPECT_EQ(reply.size(), 19999);
    ASSERT_EQ(
            writeCommand(session, QStringLiteral("SIM:ECHO \"%1\"\n").arg(fits + QLatin1Char('y'))),
            VI_SUCCESS);
    reply = "before";
    EXPECT_EQ(queryText(session, "SIM:ECHO?\n", reply), VI_SUCCESS_MAX_CNT);
    EXPECT_EQ(reply, "before");
}

TEST_P(SimulatorTest, GoToLocalByResourceString)
{
    int before = commandCount();
    EXPECT_EQ(goToLocal(session, settings.resourceString), VI_SUCCESS);  // TCPIP: "&GTL"
    EXPECT_EQ(commandCount(), before + 2);
    QString remote;
    EXPECT_EQ(queryText(session, "SIM:REM?\n", remote), VI_SUCCESS);
    EXPECT_EQ(remote, "0\n");

    before = commandCount();
    EXPECT_EQ(goToLocal(session, "USB0::0x0AAD::0x0054::100001::INSTR"), VI_SUCCESS);
    EXPECT_EQ(commandCount(), before + 1);

    // GPIB goes through REN, whatever the session behind it answers; it sends no command.
    before = commandCount();
    EXPECT_EQ(goToLocal(session, "GPIB0::20::INSTR"),
              viGpibControlREN(session, VI_GPIB_REN_ADDRESS_GTL));
    EXPECT_EQ(commandCount(), before + 1);
}

INSTANTIATE_TEST_SUITE_P(Transport, SimulatorTest, ::testing::Bool(), transportName);

}  // namespace
