// The session layer's text, number, command, timeout, local and option operations against
// the scripted instrument, through Pontil.

#include "scriptedinstrument.h"
#include "visasession.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <clocale>
#include <cstdlib>

namespace {

class VisaSessionTest : public ::testing::Test
{
protected:
    void SetUp() override { ScriptedInstrument::start(); }

    // A fresh instrument that will send the reply (if any), its term char on or off.
    void script(const QByteArray &reply, bool termChar)
    {
        ScriptedInstrument::start();
        ASSERT_EQ(viSetAttribute(session, VI_ATTR_TERMCHAR_EN, termChar ? VI_TRUE : VI_FALSE),
                  VI_SUCCESS);
        if (!reply.isEmpty())
            ScriptedInstrument::reply(reply);
    }

    const ViSession session = ScriptedInstrument::kSession;
};

TEST_F(VisaSessionTest, OpenSessionUsesTheResourceStringAndTenSeconds)
{
    ViSession opened = 0;
    EXPECT_EQ(openSession(ScriptedInstrument::kResourceManager, "TCPIP::10.0.0.7::INSTR", opened),
              VI_SUCCESS);
    EXPECT_EQ(opened, session);
    EXPECT_EQ(ScriptedInstrument::openedResource(), "TCPIP::10.0.0.7::INSTR");
    EXPECT_EQ(ScriptedInstrument::openTimeout(), 10000u);
    EXPECT_EQ(ScriptedInstrument::openMode(), 0u);
    EXPECT_EQ(openSession(0x9999, "GPIB0::20::INSTR", opened), VI_ERROR_INV_OBJECT);
}

TEST_F(VisaSessionTest, OpenSessionTurnsTheTermCharOnForRawSocketsOnly)
{
    ViSession opened = 0;
    ASSERT_EQ(openSession(ScriptedInstrument::kResourceManager, "TCPIP0::10.0.0.7::inst0::INSTR",
                          opened),
              VI_SUCCESS);
    EXPECT_FALSE(ScriptedInstrument::termCharEnabled());
    ASSERT_EQ(openSession(ScriptedInstrument::kResourceManager, "TCPIP::10.0.0.7::5025::socket",
                          opened),
              VI_SUCCESS);
    EXPECT_TRUE(ScriptedInstrument::termCharEnabled());
}

TEST_F(VisaSessionTest, WriteCommandSendsTheBytes)
{
    EXPECT_EQ(writeCommand(session, "FREQ:CENT 1e+09\n"), VI_SUCCESS);
    EXPECT_EQ(writeCommand(session, "*OPC?\n"), VI_SUCCESS);
    EXPECT_EQ(ScriptedInstrument::written(), QByteArray("FREQ:CENT 1e+09\n*OPC?\n"));
    EXPECT_EQ(writeCommand(0, "X\n"), VI_ERROR_INV_OBJECT);
}

// One reply, up to the END, the line feed where the term char is on, or the first zero byte;
// it must fit into 20000 bytes with room to spare. A failure leaves the reply alone.
TEST_F(VisaSessionTest, QueryTextGivesTheWholeReplyOrNothing)
{
    struct Case
    {
        const char *what;
        QByteArray reply;  // empty: none comes
        ViStatus status;
        QString text;  // "before": left alone
        bool termChar = false;
        bool noSession = false;
    };
    const QString before = "before";
    const Case cases[] = {
            {"line feed kept", "Maker,Model,1234,1.0\n", VI_SUCCESS, "Maker,Model,1234,1.0\n"},
            {"UTF-8", "\xc2\xb5V\n", VI_SUCCESS, QString::fromUtf8("\xc2\xb5V\n")},
            {"ended by the term char", "text\nmore\n", VI_SUCCESS, "text\n", true},
            {"zero byte", QByteArray("AB\0CD\n", 6), VI_SUCCESS, "AB"},
            {"19999 bytes", QByteArray(19999, 'a'), VI_SUCCESS, QString(19999, QLatin1Char('a'))},
            // The whole reply fits exactly, END with its last byte: still a full buffer.
            {"20000 bytes", QByteArray(19999, 'b') + '\n', VI_SUCCESS_MAX_CNT, before},
            {"25000 bytes", QByteArray(25000, 'c'), VI_SUCCESS_MAX_CNT, before},
            {"no reply", QByteArray(), VI_ERROR_TMO, before},
            {"no session", "never read\n", VI_ERROR_INV_OBJECT, before, false, true},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.what);
        ASSERT_NO_FATAL_FAILURE(script(k.reply, k.termChar));
        QString reply = before;
        EXPECT_EQ(queryText(k.noSession ? 0 : session, "*IDN?\n", reply), k.status);
        EXPECT_EQ(reply, k.text);
        EXPECT_EQ(ScriptedInstrument::written(),
                  k.noSession ? QByteArray() : QByteArray("*IDN?\n"));
        EXPECT_EQ(ScriptedInstrument::readRequestCount(), k.noSession ? 0u : 1u);
        EXPECT_EQ(ScriptedInstrument::readRequest(0), k.noSession ? 0u : 20000u);
    }
}

// The leading number of a reply of less than 100 bytes; a failure leaves the value alone.
TEST_F(VisaSessionTest, QueryNumberTakesTheLeadingNumber)
{
    struct Case
    {
        QByteArray reply;  // empty: none comes
        ViStatus status;
        double value;  // 7: left alone
        bool termChar = false;
    };
    const Case cases[] = {
            {"1.25E+03,OTHER\n", VI_SUCCESS, 1250.0},
            {"42.5\nnext\n", VI_SUCCESS, 42.5, true},
            {"garbage\n", VI_SUCCESS, 0.0},
            {QByteArray(), VI_ERROR_TMO, 7.0},
            {QByteArray(150, '9'), VI_SUCCESS_MAX_CNT, 7.0},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.reply.left(20).toStdString());
        ASSERT_NO_FATAL_FAILURE(script(k.reply, k.termChar));
        double value = 7;
        EXPECT_EQ(queryNumber(session, "FREQ?\n", value), k.status);
        EXPECT_DOUBLE_EQ(value, k.value);
        EXPECT_EQ(ScriptedInstrument::readRequest(0), 100u);
    }
}

// A program started in a locale with a decimal comma still reads the instrument's numbers.
bool useDecimalCommaLocale(const QTemporaryDir &folder)
{
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        return true;
    const QByteArray target = QFile::encodeName(folder.filePath("de_DE.UTF-8"));
    if (std::system(("localedef -i de_DE -f UTF-8 '" + target + "' >/dev/null 2>&1").constData())
        != 0)
        return false;
    setenv("LOCPATH", QFile::encodeName(folder.path()).constData(), 1);
    return std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
}

TEST_F(VisaSessionTest, QueryNumberIgnoresTheProgramLocale)
{
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    QTemporaryDir folder;
    if (!useDecimalCommaLocale(folder))
        GTEST_SKIP() << "no locale with a decimal comma can be made";
    ASSERT_EQ(std::atof("2.5"), 2.0);
    double value = 0;
    ScriptedInstrument::reply("2.5\n");
    const ViStatus status = queryNumber(session, "X?\n", value);
    std::setlocale(LC_NUMERIC, saved.c_str());
    unsetenv("LOCPATH");
    EXPECT_EQ(status, VI_SUCCESS);
    EXPECT_DOUBLE_EQ(value, 2.5);
}

TEST_F(VisaSessionTest, ReadRawPassesThrough)
{
    ScriptedInstrument::reply("abcdef");
    unsigned char buffer[4] = {};
    ViUInt32 count = 0;
    EXPECT_EQ(readRaw(session, buffer, 4, count), VI_SUCCESS_MAX_CNT);
    EXPECT_EQ(count, 4u);
    EXPECT_EQ(QByteArray(reinterpret_cast<char *>(buffer), 4), QByteArray("abcd"));
    EXPECT_EQ(readRaw(session, buffer, 4, count), VI_SUCCESS);
    EXPECT_EQ(count, 2u);
}

TEST_F(VisaSessionTest, SetTimeoutSetsTheTimeoutAttribute)
{
    EXPECT_EQ(setTimeout(session, 60000), VI_SUCCESS);
    EXPECT_EQ(ScriptedInstrument::timeout(), 60000u);
    EXPECT_EQ(setTimeout(0, 10), VI_ERROR_INV_OBJECT);
}

TEST_F(VisaSessionTest, GoToLocalByInterface)
{
    EXPECT_EQ(goToLocal(session, "GPIB0::20::INSTR"), VI_SUCCESS);
    EXPECT_EQ(ScriptedInstrument::renMode(), VI_GPIB_REN_ADDRESS_GTL);
    EXPECT_EQ(ScriptedInstrument::written(), QByteArray());

    ScriptedInstrument::start();
    EXPECT_EQ(goToLocal(session, "TCPIP0::192.168.1.100::inst0::INSTR"), VI_SUCCESS);
    EXPECT_EQ(goToLocal(session, "TQLB::1::INSTR"), VI_SUCCESS);
    EXPECT_EQ(ScriptedInstrument::written(), QByteArray("&GTL\n&GTL\n"));
    EXPECT_EQ(ScriptedInstrument::renMode(), -1);

    ScriptedInstrument::start();
    for (const char *resource :
         {"USB0::0x0AAD::0x0054::100001::INSTR", "gpib0::20::INSTR", "tcpip::host::INSTR"})
        EXPECT_EQ(goToLocal(session, QString::fromLatin1(resource)), VI_SUCCESS) << resource;
    EXPECT_EQ(ScriptedInstrument::written(), QByteArray());
    EXPECT_EQ(ScriptedInstrument::renMode(), -1);

    EXPECT_EQ(goToLocal(0, "GPIB0::20::INSTR"), VI_ERROR_INV_OBJECT);
}

TEST_F(VisaSessionTest, HasOptionIsACaseSensitiveSubstringTest)
{
    ScriptedInstrument::reply("Q31,Q53,Q90\n");
    EXPECT_TRUE(hasOption(session, "Q53"));
    EXPECT_EQ(ScriptedInstrument::written(), QByteArray("*OPT?\n"));
    ScriptedInstrument::reply("q53\n");
    EXPECT_FALSE(hasOption(session, "Q53"));
    ScriptedInstrument::reply("Q31,Q90\n");
    EXPECT_FALSE(hasOption(session, "Q53"));
    EXPECT_FALSE(hasOption(session, "Q53"));  // no reply: the query fails
}

}  // namespace
