// Definite-length binary blocks, over an instrument with END (message mode) and over a
// raw socket without it (stream mode).

#include "scriptedinstrument.h"
#include "visasession.h"

#include <QDir>
#include <QFileInfo>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cmath>

namespace {

std::vector<float> ramp(int count)
{
    std::vector<float> values;
    for (int i = 0; i < count; ++i)
        values.push_back(float(std::sin(0.1 * i) * 1000.0 + i / 7.0));
    return values;
}

QByteArray body(const std::vector<float> &values)
{
    QByteArray bytes(int(values.size() * 4), '\0');
    for (size_t i = 0; i < values.size(); ++i)
        qToLittleEndian(values[i], bytes.data() + 4 * i);
    return bytes;
}

QByteArray block(const QByteArray &data, int digits)
{
    const QByteArray length = QByteArray::number(data.size()).rightJustified(digits, '0');
    return "#" + QByteArray::number(length.size()) + length + data;
}

class ReadBlockToFileTest : public ::testing::TestWithParam<bool>
{
protected:
    void SetUp() override { ScriptedInstrument::start(GetParam()); }

    // The temporary file and its folder are gone, and they were private ones.
    void expectTemporaryFileGone()
    {
        const QString file = ScriptedInstrument::lastFile();
        if (file.isEmpty())
            return;
        const QFileInfo info(file);
        EXPECT_EQ(info.fileName(), QStringLiteral("Trace.tmp"));
        EXPECT_TRUE(info.dir().dirName().startsWith(QStringLiteral("trovik-")));
        EXPECT_FALSE(info.exists());
        EXPECT_FALSE(info.dir().exists());
    }

    const ViSession session = ScriptedInstrument::kSession;
};

TEST_P(ReadBlockToFileTest, Block3512GivesTheFloatsInOrder)
{
    const std::vector<float> expected = ramp(128);
    ScriptedInstrument::reply(block(body(expected), 3) + "\n");
    std::vector<double> values(5, 9.0);
    ASSERT_TRUE(readBlockToFile(session, values));
    ASSERT_EQ(values.size(), 128u);
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(values[i], double(expected[i])) << i;
    // Header in two reads (2 bytes, 3 digits), the 512 data bytes to the file, then the terminator.
    EXPECT_EQ(ScriptedInstrument::readRequest(0), 2u);
    EXPECT_EQ(ScriptedInstrument::readRequest(1), 3u);
    EXPECT_EQ(ScriptedInstrument::fileRequest(), 512u);
    EXPECT_EQ(ScriptedInstrument::pendingBytes(), 0u);
    expectTemporaryFileGone();
}

TEST_P(ReadBlockToFileTest, TheNextReplyIsNotDisturbed)
{
    ScriptedInstrument::reply(block(body(ramp(3)), 2) + "\n");
    ScriptedInstrument::reply("1\n");
    std::vector<double> values;
    ASSERT_TRUE(queryBlock(session, QStringLiteral("TRAC:DATA?\n"), values));
    EXPECT_EQ(values.size(), 3u);
    EXPECT_EQ(ScriptedInstrument::written(), QByteArray("TRAC:DATA?\n"));
    EXPECT_EQ(ScriptedInstrument::pendingBytes(), 2u);
    if (!GetParam()) {
        QString reply;
        EXPECT_EQ(queryText(session, QStringLiteral("*OPC?\n"), reply), VI_SUCCESS);
        EXPECT_EQ(reply, QStringLiteral("1\n"));
    }
}

TEST_P(ReadBlockToFileTest, LengthNotAMultipleOfFourDropsTheTail)
{
    QByteArray data = body({1.5f, -2.25f});
    data += "xyz";
    ScriptedInstrument::reply(block(data, 9) + "\n");
    std::vector<double> values;
    ASSERT_TRUE(readBlockToFile(session, values));
    EXPECT_EQ(values, (std::vector<double>{1.5, -2.25}));
    EXPECT_EQ(ScriptedInstrument::fileRequest(), 11u);
    expectTemporaryFileGone();
}

TEST_P(ReadBlockToFileTest, EmptyBlock)
{
    ScriptedInstrument::reply("#10\n");
    std::vector<double> values(3, 1.0);
    ASSERT_TRUE(readBlockToFile(session, values));
    EXPECT_TRUE(values.empty());
    EXPECT_EQ(ScriptedInstrument::pendingBytes(), 0u);
}

TEST_P(ReadBlockToFileTest, BlockNotStartingWithHashFailsAfterTwoBytes)
{
    ScriptedInstrument::reply(QByteArray("X3512") + body(ramp(128)) + "\n");
    std::vector<double> values(2, 4.0);
    EXPECT_FALSE(readBlockToFile(session, values));
    EXPECT_EQ(values, (std::vector<double>{4.0, 4.0}));
    EXPECT_EQ(ScriptedInstrument::readRequestCount(), 1u);
    EXPECT_EQ(ScriptedInstrument::readRequest(0), 2u);
    EXPECT_EQ(ScriptedInstrument::fileRequest(), 0u);
}

TEST_P(ReadBlockToFileTest, BadLengthDigitFails)
{
    for (const char *header : {"#0", "#A", "#:"}) {
        ScriptedInstrument::start(GetParam());
        ScriptedInstrument::reply(QByteArray(header) + "12345678\n");
        std::vector<double> values;
        EXPECT_FALSE(readBlockToFile(session, values)) << header;
        EXPECT_EQ(ScriptedInstrument::fileRequest(), 0u) << header;
    }
}

TEST_P(ReadBlockToFileTest, LengthThatIsNotDecimalFails)
{
    ScriptedInstrument::reply("#3a12" + QByteArray(512, 'z') + "\n");
    std::vector<double> values;
    EXPECT_FALSE(readBlockToFile(session, values));
    EXPECT_EQ(ScriptedInstrument::fileRequest(), 0u);
}

TEST_P(ReadBlockToFileTest, FewerLengthDigitsThanAnnouncedFail)
{
    ScriptedInstrument::reply("#512");
    std::vector<double> values;
    EXPECT_FALSE(readBlockToFile(session, values));
    EXPECT_EQ(ScriptedInstrument::fileRequest(), 0u);
}

TEST_P(ReadBlockToFileTest, FewerBytesThanAnnouncedFailAndLeaveNoFile)
{
    ScriptedInstrument::reply("#3512" + body(ramp(100)));
    std::vector<double> values(1, 3.0);
    EXPECT_FALSE(readBlockToFile(session, values));
    EXPECT_EQ(values, std::vector<double>{3.0});
    EXPECT_EQ(ScriptedInstrument::fileRequest(), 512u);
    expectTemporaryFileGone();
}

TEST_P(ReadBlockToFileTest, LineFeedsInTheDataDoNotEndTheReadWhenTheTermCharIsOn)
{
    ASSERT_EQ(viSetAttribute(session, VI_ATTR_TERMCHAR_EN, VI_TRUE), VI_SUCCESS);
    QByteArray data(64, '\n');
    data[5] = 'x';
    ScriptedInstrument::reply(block(data, 2) + "\n");
    ScriptedInstrument::reply("1\n");
    std::vector<double> values;
    ASSERT_TRUE(readBlockToFile(session, values));
    ASSERT_EQ(values.size(), 16u);
    EXPECT_EQ(values[0], double(qFromLittleEndian<float>("\n\n\n\n")));
    EXPECT_TRUE(ScriptedInstrument::termCharEnabled());
    // The block's terminator was taken: the next read gets the next reply.
    unsigned char next[10] = {};
    ViUInt32 count = 0;
    EXPECT_EQ(readRaw(session, next, 10, count), VI_SUCCESS_TERM_CHAR);
    EXPECT_EQ(QByteArray(reinterpret_cast<char *>(next), int(count)), QByteArray("1\n"));
}

TEST_P(ReadBlockToFileTest, NoReplyFails)
{
    std::vector<double> values;
    EXPECT_FALSE(readBlockToFile(session, values));
    EXPECT_FALSE(queryBlock(0, QStringLiteral("TRAC?\n"), values));
    EXPECT_EQ(ScriptedInstrument::readRequestCount(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Transport, ReadBlockToFileTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool> &info) {
                             return info.param ? "RawSocket" : "MessageWithEnd";
                         });

TEST(ReadBlockToFileEnd, BlockWhoseLastByteCarriesEndNeedsNoTerminator)
{
    ScriptedInstrument::start(false);
    ScriptedInstrument::reply(block(body(ramp(4)), 2));
    ScriptedInstrument::reply("next\n");
    std::vector<double> values;
    ASSERT_TRUE(readBlockToFile(ScriptedInstrument::kSession, values));
    EXPECT_EQ(values.size(), 4u);
    EXPECT_EQ(ScriptedInstrument::readRequestCount(), 2u);
    EXPECT_EQ(ScriptedInstrument::pendingBytes(), 5u);
}

}  // namespace
