#include "resourcename.h"

#include <gtest/gtest.h>

using kxvisa::parseResourceName;
using kxvisa::ResourceKind;
using kxvisa::ResourceName;

TEST(ResourceName, SocketResources)
{
    ResourceName r;
    ASSERT_EQ(parseResourceName("TCPIP0::192.168.1.5::5025::SOCKET", r), VI_SUCCESS);
    EXPECT_EQ(r.kind, ResourceKind::Socket);
    EXPECT_EQ(r.board, 0);
    EXPECT_EQ(r.host, "192.168.1.5");
    EXPECT_EQ(r.port, 5025);
    ASSERT_EQ(parseResourceName("  tcpip12::scope-1.lab.example::5025::socket\n", r), VI_SUCCESS);
    EXPECT_EQ(r.board, 12);
    EXPECT_EQ(r.host, "scope-1.lab.example");
    EXPECT_EQ(r.canonical(), "TCPIP12::scope-1.lab.example::5025::SOCKET");
    ASSERT_EQ(parseResourceName("TCPIP::[fe80::1:2]::5025::SOCKET", r), VI_SUCCESS);
    EXPECT_EQ(r.host, "fe80::1:2");
    EXPECT_EQ(r.canonical(), "TCPIP0::[fe80::1:2]::5025::SOCKET");
}

TEST(ResourceName, InstrResources)
{
    ResourceName r;
    ASSERT_EQ(parseResourceName("TCPIP::10.0.0.7::INSTR", r), VI_SUCCESS);
    EXPECT_EQ(r.kind, ResourceKind::Vxi11Instr);
    EXPECT_EQ(r.device, "inst0");
    ASSERT_EQ(parseResourceName("TCPIP1::10.0.0.7", r), VI_SUCCESS);
    EXPECT_EQ(r.device, "inst0");
    EXPECT_EQ(r.board, 1);
    ASSERT_EQ(parseResourceName("TCPIP::10.0.0.7::gpib0,5::instr", r), VI_SUCCESS);
    EXPECT_EQ(r.device, "gpib0,5");
    ASSERT_EQ(parseResourceName("TCPIP::10.0.0.7::inst1", r), VI_SUCCESS);
    EXPECT_EQ(r.device, "inst1");
    ASSERT_EQ(parseResourceName("TCPIP::[::1]::INSTR", r), VI_SUCCESS);
    EXPECT_EQ(r.host, "::1");
    EXPECT_EQ(r.canonical(), "TCPIP0::[::1]::inst0::INSTR");
    ASSERT_EQ(parseResourceName("TCPIP::10.0.0.7::hislip0::INSTR", r), VI_SUCCESS);
    EXPECT_EQ(r.kind, ResourceKind::HislipInstr);
}

TEST(ResourceName, OtherInterfacesAndAliasesAreNotFound)
{
    ResourceName r;
    for (const char *name : {"GPIB0::7::INSTR", "gpib::7", "USB0::0x0957::0x1796::MY1::INSTR",
                             "ASRL3::INSTR", "VXI0::1::INSTR", "PXI0::3-18::INSTR", "myScope"})
        EXPECT_EQ(parseResourceName(name, r), VI_ERROR_RSRC_NFOUND) << name;
}

TEST(ResourceName, MalformedNamesAreRejected)
{
    ResourceName r;
    for (const char *name : {"",
                             "   ",
                             "TCPIP",
                             "TCPIP::",
                             "TCPIPX::host::INSTR",
                             "TCPIP::host::0::SOCKET",
                             "TCPIP::host::65536::SOCKET",
                             "TCPIP::host::SOCKET",
                             "TCPIP::host::50a::SOCKET",
                             "TCPIP::host::1::2::SOCKET",
                             "TCPIP::host::a::b::INSTR",
                             "TCPIP::[::1::INSTR",
                             "TCPIP::::1::INSTR",
                             "TCPIP::ho st::INSTR",
                             "TCPIP::[zz]::INSTR",
                             "foo::bar",
                             "TCPIP::host::::INSTR",
                             "TCPIP::host::inst0:",
                             "TCPIP::host::a[b]::INSTR",
                             "TCPIP99999999::host::INSTR"})
        EXPECT_EQ(parseResourceName(name, r), VI_ERROR_INV_RSRC_NAME) << name;
}
