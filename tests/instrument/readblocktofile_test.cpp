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
        EXPECT_EQ(info.fileName(), "Trace.tmp");
        EXPECT_TRUE(info.dir().dirName().startsWith("trovik-"));
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
    ASSERT_TRUE(queryBlock(session, "TRAC:DATA?\n", values));
    EXPECT_EQ(values.size(), 3u);
    EXPECT_EQ(ScriptedInstrument::written(), QByteArray("TRAC:DATA?\n"));
    EXPECT_EQ(ScriptedInstrument::pendingBytes(), 2u);
    if (!GetParam()) {
        QString reply;
        EXPECT_EQ(queryText(session, "*OPC?\n", reply), VI_SUCCESS);
        EXPECT_EQ(reply, "1\n");
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

// A reply that is not a whole block fails, leaves the values as they were and no file behind;
// a header that is not one is never followed by a read into the file.
TEST_P(ReadBlockToFileTest, BrokenBlocksFailAndLeaveTheValues)
{
    struct Case
    {
        const char *what;
        QByteArray reply;
        unsigned fileRequest;
        unsigned readRequests;  // 0: not counted
    };
    const Case cases[] = {
            {"no hash", "X3512" + body(ramp(128)) + "\n", 0, 1},  // after the first two bytes
            {"zero digits", "#012345678\n", 0, 0},
            {"a letter for the digits", "#A12345678\n", 0, 0},
            {"a colon for the digits", "#:12345678\n", 0, 0},
            {"a length that is not decimal", "#3a12" + QByteArray(512, 'z') + "\n", 0, 0},
            {"fewer length digits than announced", "#512", 0, 0},
            {"fewer bytes than announced", "#3512" + body(ramp(100)), 512, 0},
            {"no reply", QByteArray(), 0, 1},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.what);
        ScriptedInstrument::start(GetParam());
        if (!k.reply.isEmpty())
            ScriptedInstrument::reply(k.reply);
        std::vector<double> values(2, 4.0);
        EXPECT_FALSE(readBlockToFile(session, values));
        EXPECT_EQ(values, (std::vector<double>{4.0, 4.0}));
        EXPECT_EQ(ScriptedInstrument::fileRequest(), k.fileRequest);
        if (k.readRequests > 0) {
            EXPECT_EQ(ScriptedInstrument::readRequestCount(), k.readRequests);
            EXPECT_EQ(ScriptedInstrument::readRequest(0), 2u);
        }
        expectTemporaryFileGone();
    }
    std::vector<double> values;
    EXPECT_FALSE(queryBlock(0, "TRAC?\n", values));  // no session
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
