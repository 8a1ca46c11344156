// The words beneath a failed Init or Trace: VISA statuses by name, what a LAN resource
// points at, what a connection attempt gives, and which lines are shown.

#include "acquisitionstatus.h"
#include "connectionprobe.h"

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

TEST(AcquisitionDetailTest, VisaStatusesByNameAndMeaning)
{
    EXPECT_EQ(visaStatusText(VI_ERROR_TMO),
              "VI_ERROR_TMO (timeout expired before the operation completed)");
    EXPECT_EQ(visaStatusText(VI_ERROR_CONN_LOST), "VI_ERROR_CONN_LOST (the connection was lost)");
    EXPECT_TRUE(visaStatusText(VI_ERROR_INV_RSRC_NAME).startsWith("VI_ERROR_INV_RSRC_NAME ("));
    EXPECT_EQ(visaStatusText(ViStatus(0xBFFF1234u)),
              "0xbfff1234 (a status this program does not know)");
}

TEST(AcquisitionDetailTest, LanResourcesPointAtTheirHostAndPort)
{
    struct Case
    {
        const char *resource;
        bool lan;
        const char *host;
        uint16_t port;
    };
    const Case cases[] = {
            {"TCPIP::127.0.0.1::5025::SOCKET", true, "127.0.0.1", 5025},
            {"tcpip0::scope.lab::inst0::INSTR", true, "scope.lab", 111},
            {"TCPIP::10.0.0.7::INSTR", true, "10.0.0.7", 111},
            {"TCPIP::10.0.0.7", true, "10.0.0.7", 111},
            {"TCPIP1::10.0.0.7::hislip0::INSTR", true, "10.0.0.7", 4880},
            {"TCPIP::[::1]::5025::SOCKET", true, "::1", 5025},
            {"  TCPIP::host::80::socket ", true, "host", 80},
            {"TCPIP::host::0::SOCKET", false, "", 0},
            {"TCPIP::host::99999::SOCKET", false, "", 0},
            {"TCPIP::", false, "", 0},
            {"GPIB0::20::INSTR", false, "", 0},
            {"USB::0x1234::0x5678::SN::INSTR", false, "", 0},
    };
    for (const Case &c : cases) {
        LanEndpoint endpoint;
        ASSERT_EQ(lanEndpoint(QString::fromLatin1(c.resource), endpoint), c.lan) << c.resource;
        if (!c.lan)
            continue;
        EXPECT_EQ(endpoint.host, QString::fromLatin1(c.host)) << c.resource;
        EXPECT_EQ(endpoint.port, c.port) << c.resource;
    }
}

TEST(AcquisitionDetailTest, ProbeTellsRefusedFromListening)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 1), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr *>(&address), &length), 0);
    const LanEndpoint endpoint{"127.0.0.1", ntohs(address.sin_port)};
    const QString where = QStringLiteral("127.0.0.1:%1").arg(endpoint.port);
    EXPECT_EQ(probeConnection(endpoint), where + " accepts connections");
    ::close(listener);
    EXPECT_EQ(probeConnection(endpoint), "connection refused by " + where);
    EXPECT_EQ(probeConnection({"no-such-host.invalid", 5025}),
              "host no-such-host.invalid not found");
}

TEST(AcquisitionDetailTest, LinesNameTheResourceOnceAndOnlyForFailures)
{
    clearAcquisitionDetail();
    noteCommandFailure("*IDN?\n", VI_ERROR_TMO, true, 2000);
    noteCommandFailure("*IDN?\n", VI_ERROR_TMO, true, 2000);  // told once
    const AcquisitionDetail detail = lastAcquisitionDetail();
    const QString resource = "TCPIP::10.0.0.7::INSTR";
    EXPECT_EQ(acquisitionDetailLines(AcquisitionStatus::InitFailed, detail, resource),
              (QStringList{"timeout after 2000 ms waiting for the reply to *IDN?",
                           "VISA status " + visaStatusText(VI_ERROR_TMO),
                           "resource TCPIP::10.0.0.7::INSTR"}));
    EXPECT_TRUE(acquisitionDetailLines(AcquisitionStatus::Success, detail, resource).isEmpty());
    EXPECT_TRUE(acquisitionDetailLines(AcquisitionStatus::Cancelled, detail, resource).isEmpty());
    EXPECT_TRUE(acquisitionDetailLines(AcquisitionStatus::NoMemory, AcquisitionDetail(), resource)
                        .isEmpty());
    EXPECT_EQ(acquisitionDetailLines(AcquisitionStatus::InitFailed, AcquisitionDetail(), resource),
              QStringList{"resource TCPIP::10.0.0.7::INSTR"});

    clearAcquisitionDetail();
    noteOpenFailure("GPIB0::20::INSTR", VI_ERROR_RSRC_NFOUND);
    const QStringList open = acquisitionDetailLines(AcquisitionStatus::InitFailed,
                                                    lastAcquisitionDetail(), "GPIB0::20::INSTR");
    EXPECT_EQ(open.first(), "cannot open the session to GPIB0::20::INSTR");
    EXPECT_EQ(open.last(), QStringLiteral("no device answers at GPIB0::20::INSTR, or the VISA "
                                          "implementation in use has no interface GPIB0"));
    EXPECT_FALSE(open.contains("resource GPIB0::20::INSTR"));  // named already
    clearAcquisitionDetail();
    EXPECT_TRUE(lastAcquisitionDetail().empty());
}

}  // namespace
