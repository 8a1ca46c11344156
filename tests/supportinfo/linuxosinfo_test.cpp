#include "libraryfiles.h"
#include "linuxdrivers.h"
#include "linuxosinfo.h"
#include "supportreport.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdlib>
#include <ctime>

namespace {

// A made-up machine under a temporary folder.
class FakeMachine : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        probe.root = tmp.path() + QStringLiteral("/root");
        probe.libraryDirs = QStringList{QStringLiteral("/usr/lib/x86_64-linux-gnu"),
                                        QStringLiteral("/usr/lib")};
        probe.programDir = tmp.path() + QStringLiteral("/program");
        QDir().mkpath(probe.root);
        QDir().mkpath(probe.programDir);
        probe.uid = 1000;
        probe.groups = QStringList{QStringLiteral("users")};
    }

    QString at(const QString &p) const { return probe.root + p; }

    void write(const QString &p, const QByteArray &text)
    {
        QDir().mkpath(QFileInfo(at(p)).path());
        QFile f(at(p));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }

    // A library file with the usual chain of symbolic links to it.
    void library(const QString &dir, const QString &real, const QStringList &links)
    {
        write(dir + QLatin1Char('/') + real, "ELF");
        for (const QString &l : links)
            ASSERT_TRUE(QFile::link(real, at(dir + QLatin1Char('/') + l)));
    }

    void symlink(const QString &target, const QString &p)
    {
        QDir().mkpath(QFileInfo(at(p)).path());
        ASSERT_TRUE(QFile::link(target, at(p)));
    }

    QTemporaryDir tmp;
    LinuxProbe probe;
};

}  // namespace

TEST_F(FakeMachine, NothingThereGivesDashesAndNoDevices)
{
    const LinuxOSInfo info(probe);
    EXPECT_EQ(info.operatingSystemName(), QStringLiteral("---"));
    EXPECT_EQ(info.kernel(), QStringLiteral("---"));
    EXPECT_EQ(info.visaLibrary(), QStringLiteral("---"));
    EXPECT_EQ(info.quillonControlLibrary(), QStringLiteral("---"));
    EXPECT_EQ(info.ieeeDriver(), QStringLiteral("---"));
    EXPECT_EQ(info.country(), QStringLiteral("---"));
    EXPECT_EQ(info.language(), QStringLiteral("---"));
    EXPECT_EQ(info.localeId(), QStringLiteral("---"));
    EXPECT_EQ(info.adminRights(), QStringLiteral("No"));
    const QList<ReportGroup> drivers = info.driverInformation();
    ASSERT_EQ(drivers.size(), 3);
    EXPECT_EQ(drivers[0].entries.value(0).first,
              QStringLiteral("No USB test and measurement device found"));
    EXPECT_EQ(drivers[1].entries.value(0).first, QStringLiteral("No GPIB interface found"));
    EXPECT_EQ(drivers[2].entries.value(0).first, QStringLiteral("No VXI driver found"));

    const QString report = supportReport(QStringLiteral("Trovik32"), QStringLiteral("6.0.6"),
                                         QStringLiteral("27-Mar-2017"), info);
    EXPECT_TRUE(report.contains(QStringLiteral("\n*** Operating System ***\n: ---\n")));
    EXPECT_TRUE(report.contains(QStringLiteral("\nVISA: ---\n")));
    EXPECT_TRUE(report.contains(QStringLiteral("\nInfodesk: 2.1.0.1\n")));
    EXPECT_TRUE(report.contains(QStringLiteral("\n*** Instrument Drivers ***\n")));
}

TEST_F(FakeMachine, OperatingSystemFacts)
{
    write(QStringLiteral("/etc/os-release"),
          "NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nID=debian\n");
    write(QStringLiteral("/proc/sys/kernel/osrelease"), "6.1.0-18-amd64\n");
    write(QStringLiteral("/var/log/installer/syslog"), "x");
    write(QStringLiteral("/var/log/installer/status"), "x");
    // The oldest file of the installer's logs dates the installation.
    const QDateTime t = QDateTime::fromSecsSinceEpoch(1700000000);
    const QPair<const char *, QDateTime> times[]
            = {{"/var/log/installer/syslog", t.addSecs(60)}, {"/var/log/installer/status", t}};
    for (const auto &ft : times) {
        QFile file(at(QLatin1String(ft.first)));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(ft.second, QFileDevice::FileModificationTime));
    }
    qputenv("TZ", "UTC");
    tzset();
    const LinuxOSInfo info(probe);
    EXPECT_EQ(info.operatingSystemName(), QStringLiteral("Debian GNU/Linux 12 (bookworm)"));
    EXPECT_EQ(info.kernel(), QStringLiteral("6.1.0-18-amd64"));
    EXPECT_EQ(info.installDate(), QStringLiteral("Tue Nov 14 22:13:20 2023"));
    const ReportGroup os = info.systemInformation().first();
    EXPECT_EQ(os.name, QStringLiteral("Operating System"));
    EXPECT_EQ(os.entries.first(),
              qMakePair(QString(), QStringLiteral("Debian GNU/Linux 12 (bookworm)")));
}

TEST_F(FakeMachine, OsReleaseInUsrLibAndUnquotedValues)
{
    write(QStringLiteral("/usr/lib/os-release"), "PRETTY_NAME=Plain Name\n");
    EXPECT_EQ(LinuxOSInfo(probe).operatingSystemName(), QStringLiteral("Plain Name"));
}

TEST_F(FakeMachine, AdminRightsFromRootOrAdminGroups)
{
    EXPECT_EQ(LinuxOSInfo(probe).adminRights(), QStringLiteral("No"));
    for (const char *g : {"sudo", "wheel", "admin"}) {
        probe.groups = QStringList{QStringLiteral("users"), QLatin1String(g)};
        EXPECT_EQ(LinuxOSInfo(probe).adminRights(), QStringLiteral("Yes")) << g;
    }
    probe.groups = QStringList{};
    probe.uid = 0;
    EXPECT_EQ(LinuxOSInfo(probe).adminRights(), QStringLiteral("Yes"));
}

TEST_F(FakeMachine, LanguageFromTheLocaleVariablesInPrecedence)
{
    probe.environment.insert(QStringLiteral("LANG"), QStringLiteral("de_DE.UTF-8"));
    LinuxOSInfo german(probe);
    EXPECT_EQ(german.country(), QStringLiteral("Germany"));
    EXPECT_EQ(german.language(), QStringLiteral("German"));
    EXPECT_EQ(german.localeId(), QStringLiteral("de_DE.UTF-8"));
    probe.environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("fr_CA.UTF-8"));
    LinuxOSInfo french(probe);
    EXPECT_EQ(french.country(), QStringLiteral("Canada"));
    EXPECT_EQ(french.language(), QStringLiteral("French"));
    EXPECT_EQ(french.localeId(), QStringLiteral("fr_CA.UTF-8"));
    probe.environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    LinuxOSInfo c(probe);
    EXPECT_EQ(c.country(), QStringLiteral("---"));
    EXPECT_EQ(c.language(), QStringLiteral("---"));
    EXPECT_EQ(c.localeId(), QStringLiteral("C.UTF-8"));
}

TEST_F(FakeMachine, LibraryVersionsFromResolvedFileNames)
{
    library(QStringLiteral("/usr/lib/x86_64-linux-gnu"), QStringLiteral("libqwt-qt5.so.6.1.4"),
            {QStringLiteral("libqwt-qt5.so.6"), QStringLiteral("libqwt-qt5.so")});
    library(QStringLiteral("/usr/lib"), QStringLiteral("libgpib.so.0.3.0"),
            {QStringLiteral("libgpib.so.0")});
    library(QStringLiteral("/usr/lib"), QStringLiteral("libquilloncontrol.so.1.2"), {});
    write(QStringLiteral("/usr/lib/libkxvitqlb.so"), "ELF");
    const LinuxOSInfo info(probe);
    EXPECT_EQ(info.libraryVersion(QStringLiteral("libqwt-qt5.so")), QStringLiteral("6.1.4"));
    EXPECT_EQ(info.ieeeDriver(), QStringLiteral("0.3.0"));
    EXPECT_EQ(info.quillonControlLibrary(),
              QStringLiteral("1.2"));  // the older name when the newer is absent
    EXPECT_EQ(info.libraryVersion(QStringLiteral("libkxvitqlb.so")),
              QStringLiteral("unknown version"));
    EXPECT_EQ(info.libraryVersion(QStringLiteral("libsorrelcontrol.so")), QStringLiteral("---"));
    library(QStringLiteral("/usr/lib"), QStringLiteral("libquilloncontrol2.so.3.0.1"), {});
    EXPECT_EQ(LinuxOSInfo(probe).quillonControlLibrary(), QStringLiteral("3.0.1"));
}

TEST_F(FakeMachine, VisaImplementationsInOrderWithTheirMakers)
{
    const QString keysight = QStringLiteral("/opt/keysight/iolibs");
    write(keysight + QStringLiteral("/libktvisa32.so"), "ELF");
    EXPECT_EQ(LinuxOSInfo(probe).visaLibrary(), QStringLiteral("unknown version (Agilent)"));
    library(QStringLiteral("/usr/lib/x86_64-linux-gnu"), QStringLiteral("libvisa.so.21.5.0"),
            {QStringLiteral("libvisa.so.0")});
    QFile ours(probe.programDir + QStringLiteral("/libkxvisa.so.6.0.6"));
    ASSERT_TRUE(ours.open(QIODevice::WriteOnly));
    ours.close();
    ASSERT_TRUE(QFile::link(QStringLiteral("libkxvisa.so.6.0.6"),
                            probe.programDir + QStringLiteral("/libkxvisa.so")));
    EXPECT_EQ(LinuxOSInfo(probe).visaLibrary(),
              QStringLiteral("21.5.0 (National Instruments), unknown version (Agilent), 6.0.6 "
                             "(Vantorp GmbH)"));
}

TEST_F(FakeMachine, NiVisaOfOldReleasesInTheFrameworkFolder)
{
    write(QStringLiteral("/usr/local/vxipnp/linux/lib64/libvisa.so"), "ELF");
    EXPECT_EQ(LinuxOSInfo(probe).visaLibrary(),
              QStringLiteral("unknown version (National Instruments)"));
}

TEST_F(FakeMachine, UsbTestAndMeasurementInterfacesOnly)
{
    const QString usb = QStringLiteral("/sys/bus/usb/devices");
    write(usb + QStringLiteral("/1-2/manufacturer"), "Vantorp\n");
    write(usb + QStringLiteral("/1-2/product"), "FSX Analyzer\n");
    write(usb + QStringLiteral("/1-2/idVendor"), "0aad\n");
    write(usb + QStringLiteral("/1-2/idProduct"), "0117\n");
    write(usb + QStringLiteral("/1-2/serial"), "100123\n");
    write(usb + QStringLiteral("/1-2:1.0/bInterfaceClass"), "fe\n");
    write(usb + QStringLiteral("/1-2:1.0/bInterfaceSubClass"), "03\n");
    write(QStringLiteral("/sys/bus/usb/drivers/usbtmc/bind"), "");
    symlink(at(QStringLiteral("/sys/bus/usb/drivers/usbtmc")),
            usb + QStringLiteral("/1-2:1.0/driver"));
    // A keyboard and a firmware-update interface (class fe, subclass 1) are not instruments.
    write(usb + QStringLiteral("/3-1/idVendor"), "046d\n");
    write(usb + QStringLiteral("/3-1:1.0/bInterfaceClass"), "03\n");
    write(usb + QStringLiteral("/3-1:1.0/bInterfaceSubClass"), "01\n");
    write(usb + QStringLiteral("/4-1:1.1/bInterfaceClass"), "fe\n");
    write(usb + QStringLiteral("/4-1:1.1/bInterfaceSubClass"), "01\n");
    // An instrument whose interface has no driver bound.
    write(usb + QStringLiteral("/2-4/idVendor"), "0957\n");
    write(usb + QStringLiteral("/2-4/idProduct"), "1755\n");
    write(usb + QStringLiteral("/2-4:1.0/bInterfaceClass"), "FE\n");
    write(usb + QStringLiteral("/2-4:1.0/bInterfaceSubClass"), "03\n");
    EXPECT_EQ(usbTmcDevices(probe),
              QStringList({QStringLiteral("Vantorp FSX Analyzer (0aad:0117, serial 100123) at USB "
                                          "1-2, driver usbtmc"),
                           QStringLiteral("USB instrument (0957:1755) at USB 2-4, driver none")}));
    const ReportGroup drivers = LinuxOSInfo(probe).driverInformation().first();
    EXPECT_EQ(drivers.name, QStringLiteral("USB test and measurement devices"));
    EXPECT_EQ(drivers.entries.size(), 2);
}

TEST_F(FakeMachine, KernelModuleStates)
{
    write(QStringLiteral("/proc/sys/kernel/osrelease"), "6.1.0\n");
    EXPECT_EQ(kernelModuleState(probe, QStringLiteral("usbtmc")), QStringLiteral("---"));
    write(QStringLiteral("/lib/modules/6.1.0/modules.dep"),
          "kernel/drivers/usb/class/usbtmc.ko.xz:\nkernel/drivers/usb/class/cdc-acm.ko.xz: "
          "kernel/x.ko\n");
    EXPECT_EQ(kernelModuleState(probe, QStringLiteral("usbtmc")), QStringLiteral("available"));
    write(QStringLiteral("/lib/modules/6.1.0/modules.builtin"),
          "kernel/drivers/usb/class/usbtmc.ko\n");
    EXPECT_EQ(kernelModuleState(probe, QStringLiteral("usbtmc")), QStringLiteral("built in"));
    write(QStringLiteral("/proc/modules"), "usbtmc 36864 0 - Live 0x0000000000000000\n");
    EXPECT_EQ(kernelModuleState(probe, QStringLiteral("usbtmc")), QStringLiteral("loaded"));
    EXPECT_EQ(kernelModuleState(probe, QStringLiteral("usbtm")), QStringLiteral("---"));
}

TEST_F(FakeMachine, GpibNodesAndModules)
{
    write(QStringLiteral("/dev/gpib0"), "");
    write(QStringLiteral("/dev/gpib1"), "");
    write(QStringLiteral("/dev/null"), "");
    write(QStringLiteral("/proc/modules"), "ni_usb_gpib 40960 0 - Live 0x0\ngpib_common 57344 1 "
                                           "ni_usb_gpib, Live 0x0\nsnd 1 0 - Live 0x0\n");
    const LinuxOSInfo info(probe);
    const ReportGroup g = info.driverInformation().at(1);
    EXPECT_EQ(g.name, QStringLiteral("GPIB interfaces"));
    QStringList lines;
    for (const auto &e : g.entries)
        lines << e.first;
    EXPECT_EQ(lines, QStringList({QStringLiteral("/dev/gpib0"), QStringLiteral("/dev/gpib1"),
                                  QStringLiteral("ni_usb_gpib"), QStringLiteral("gpib_common")}));
    const ReportGroup summary = info.systemInformation().last();
    EXPECT_EQ(summary.entries.last().second,
              QStringLiteral("/dev/gpib0, /dev/gpib1, ni_usb_gpib, gpib_common"));
}

TEST_F(FakeMachine, VxiPlugAndPlayDriversOfTheMakerOnly)
{
    write(QStringLiteral("/opt/vxipnp/linux/bin/kxsmw_64.so.3.1.0"), "ELF");
    write(QStringLiteral("/opt/vxipnp/linux/bin/kxfsx.so"), "ELF");
    write(QStringLiteral("/opt/vxipnp/linux/bin/other.so"), "ELF");
    EXPECT_EQ(vxiPnpDrivers(probe),
              QStringList({QStringLiteral("kxfsx.so (Version ---)"),
                           QStringLiteral("kxsmw_64.so.3.1.0 (Version 3.1.0)")}));
}

TEST(LibraryFiles, VersionFromTheNameOrItsLinkTarget)
{
    EXPECT_EQ(libraryFileVersion(QStringLiteral("/nowhere/libfoo.so.1.2.3")),
              QStringLiteral("1.2.3"));
    EXPECT_EQ(libraryFileVersion(QStringLiteral("/nowhere/libfoo.so")), QString());
    EXPECT_EQ(libraryFileVersion(QStringLiteral("/nowhere/libfoo.so.1a")), QString());
    EXPECT_EQ(reportedVersion(QString()), QStringLiteral("---"));
}

TEST(LinuxOSInfoLive, ThisMachineGivesAReportWithEveryGroup)
{
    const LinuxOSInfo info;
    const QList<ReportGroup> groups = info.systemInformation();
    QStringList names;
    for (const ReportGroup &g : groups)
        names << g.name;
    EXPECT_EQ(names,
              QStringList({QStringLiteral("Operating System"), QStringLiteral("Language Settings"),
                           QStringLiteral("Library versions"), QStringLiteral("Remote Control"),
                           QStringLiteral("Instrument Drivers")}));
    EXPECT_EQ(groups[2].entries[0],
              qMakePair(QStringLiteral("Qt"), QString::fromLatin1(qVersion())));
    for (const ReportGroup &g : groups)
        for (const auto &e : g.entries)
            EXPECT_FALSE(e.second.isEmpty())
                    << g.name.toStdString() << " " << e.first.toStdString();
}
