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
        probe.root = tmp.path() + "/root";
        probe.libraryDirs = QStringList{"/usr/lib/x86_64-linux-gnu", "/usr/lib"};
        probe.programDir = tmp.path() + "/program";
        QDir().mkpath(probe.root);
        QDir().mkpath(probe.programDir);
        probe.uid = 1000;
        probe.groups = QStringList{"users"};
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
    for (const QString &v : {info.operatingSystemName(), info.kernel(), info.visaLibrary(),
                             info.quillonControlLibrary(), info.ieeeDriver(), info.country(),
                             info.language(), info.localeId()})
        EXPECT_EQ(v, "---");
    EXPECT_EQ(info.adminRights(), "No");
    QStringList firstLines;
    for (const ReportGroup &g : info.driverInformation())
        firstLines << g.entries.value(0).first;
    EXPECT_EQ(firstLines, QStringList({"No USB test and measurement device found",
                                       "No GPIB interface found", "No VXI driver found"}));

    const QString report = supportReport("Trovik32", "6.0.6", "27-Mar-2017", info);
    for (const char *part : {"\n*** Operating System ***\n: ---\n", "\nVISA: ---\n",
                             "\nInfodesk: 2.1.0.1\n", "\n*** Instrument Drivers ***\n"})
        EXPECT_TRUE(report.contains(QLatin1String(part))) << part;
}

TEST_F(FakeMachine, OperatingSystemFacts)
{
    write("/etc/os-release",
          "NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nID=debian\n");
    write("/proc/sys/kernel/osrelease", "6.1.0-18-amd64\n");
    write("/var/log/installer/syslog", "x");
    write("/var/log/installer/status", "x");
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
    EXPECT_EQ(info.operatingSystemName(), "Debian GNU/Linux 12 (bookworm)");
    EXPECT_EQ(info.kernel(), "6.1.0-18-amd64");
    EXPECT_EQ(info.installDate(), "Tue Nov 14 22:13:20 2023");
    const ReportGroup os = info.systemInformation().first();
    EXPECT_EQ(os.name, "Operating System");
    EXPECT_EQ(os.entries.first(), qMakePair(QString(), QString("Debian GNU/Linux 12 (bookworm)")));
}

TEST_F(FakeMachine, AdminRightsFromRootOrAdminGroups)
{
    EXPECT_EQ(LinuxOSInfo(probe).adminRights(), "No");
    for (const char *g : {"sudo", "wheel", "admin"}) {
        probe.groups = QStringList{"users", QLatin1String(g)};
        EXPECT_EQ(LinuxOSInfo(probe).adminRights(), "Yes") << g;
    }
    probe.groups = QStringList{};
    probe.uid = 0;
    EXPECT_EQ(LinuxOSInfo(probe).adminRights(), "Yes");
}

TEST_F(FakeMachine, LanguageFromTheLocaleVariablesInPrecedence)
{
    // Each row adds its variable to those set before it.
    const struct
    {
        const char *variable, *value, *country, *language;
    } rows[] = {{"LANG", "de_DE.UTF-8", "Germany", "German"},
                {"LC_ALL", "fr_CA.UTF-8", "Canada", "French"},
                {"LC_ALL", "C.UTF-8", "---", "---"}};
    for (const auto &r : rows) {
        SCOPED_TRACE(r.value);
        probe.environment.insert(r.variable, r.value);
        const LinuxOSInfo info(probe);
        EXPECT_EQ(info.country(), r.country);
        EXPECT_EQ(info.language(), r.language);
        EXPECT_EQ(info.localeId(), r.value);
    }
}

TEST_F(FakeMachine, LibraryVersionsFromResolvedFileNames)
{
    library("/usr/lib/x86_64-linux-gnu", "libqwt-qt5.so.6.1.4",
            {"libqwt-qt5.so.6", "libqwt-qt5.so"});
    library("/usr/lib", "libgpib.so.0.3.0", {"libgpib.so.0"});
    library("/usr/lib", "libquilloncontrol.so.1.2", {});
    write("/usr/lib/libkxvitqlb.so", "ELF");
    const LinuxOSInfo info(probe);
    EXPECT_EQ(info.libraryVersion("libqwt-qt5.so"), "6.1.4");
    EXPECT_EQ(info.ieeeDriver(), "0.3.0");
    EXPECT_EQ(info.quillonControlLibrary(),
              "1.2");  // the older name when the newer is absent
    EXPECT_EQ(info.libraryVersion("libkxvitqlb.so"), "unknown version");
    EXPECT_EQ(info.libraryVersion("libsorrelcontrol.so"), "---");
    library("/usr/lib", "libquilloncontrol2.so.3.0.1", {});
    EXPECT_EQ(LinuxOSInfo(probe).quillonControlLibrary(), "3.0.1");
}

TEST_F(FakeMachine, VisaImplementationsInOrderWithTheirMakers)
{
    const QString keysight = "/opt/keysight/iolibs";
    write(keysight + "/libktvisa32.so", "ELF");
    EXPECT_EQ(LinuxOSInfo(probe).visaLibrary(), "unknown version (Agilent)");
    library("/usr/lib/x86_64-linux-gnu", "libvisa.so.21.5.0", {"libvisa.so.0"});
    QFile ours(probe.programDir + "/libkxvisa.so.6.0.6");
    ASSERT_TRUE(ours.open(QIODevice::WriteOnly));
    ours.close();
    ASSERT_TRUE(QFile::link("libkxvisa.so.6.0.6", probe.programDir + "/libkxvisa.so"));
    EXPECT_EQ(LinuxOSInfo(probe).visaLibrary(),
              QStringLiteral("21.5.0 (National Instruments), unknown version (Agilent), 6.0.6 "
                             "(Vantorp GmbH)"));
}

TEST_F(FakeMachine, OneFileInAnotherPlaceIsFoundToo)
{
    const struct
    {
        const char *file, *text;
        QString (LinuxOSInfo::*fact)() const;
        const char *want;
    } rows[] = {// Unquoted values in the distribution's own copy.
                {"/usr/lib/os-release", "PRETTY_NAME=Plain Name\n",
                 &LinuxOSInfo::operatingSystemName, "Plain Name"},
                // Old releases of the National Instruments library in the framework folder.
                {"/usr/local/vxipnp/linux/lib64/libvisa.so", "ELF", &LinuxOSInfo::visaLibrary,
                 "unknown version (National Instruments)"}};
    for (const auto &r : rows) {
        SCOPED_TRACE(r.file);
        QDir(probe.root).removeRecursively();
        write(r.file, r.text);
        EXPECT_EQ((LinuxOSInfo(probe).*r.fact)(), r.want);
    }
}

TEST_F(FakeMachine, UsbTestAndMeasurementInterfacesOnly)
{
    const QString usb = "/sys/bus/usb/devices/";
    // Writes "name=value" pairs, split at ';', as the files of one device folder.
    const auto device = [&](const QString &dir, const QString &files) {
        for (const QString &f : files.split(QLatin1Char(';')))
            write(usb + dir + QLatin1Char('/') + f.section(QLatin1Char('='), 0, 0),
                  f.section(QLatin1Char('='), 1).toUtf8() + '\n');
    };
    device("1-2", "manufacturer=Vantorp;product=FSX Analyzer;idVendor=0aad;idProduct=0117;"
                  "serial=100123");
    device("1-2:1.0", "bInterfaceClass=fe;bInterfaceSubClass=03");
    write("/sys/bus/usb/drivers/usbtmc/bind", "");
    symlink(at("/sys/bus/usb/drivers/usbtmc"), usb + "1-2:1.0/driver");
    // A keyboard and a firmware-update interface (class fe, subclass 1) are not instruments.
    device("3-1", "idVendor=046d");
    device("3-1:1.0", "bInterfaceClass=03;bInterfaceSubClass=01");
    device("4-1:1.1", "bInterfaceClass=fe;bInterfaceSubClass=01");
    // An instrument whose interface has no driver bound.
    device("2-4", "idVendor=0957;idProduct=1755");
    device("2-4:1.0", "bInterfaceClass=FE;bInterfaceSubClass=03");
    EXPECT_EQ(usbTmcDevices(probe),
              QStringList(
                      {"Vantorp FSX Analyzer (0aad:0117, serial 100123) at USB 1-2, driver usbtmc",
                       "USB instrument (0957:1755) at USB 2-4, driver none"}));
    const ReportGroup drivers = LinuxOSInfo(probe).driverInformation().first();
    EXPECT_EQ(drivers.name, "USB test and measurement devices");
    EXPECT_EQ(drivers.entries.size(), 2);
}

TEST_F(FakeMachine, KernelModuleStates)
{
    write("/proc/sys/kernel/osrelease", "6.1.0\n");
    // Each row adds its file to those written before it.
    const struct
    {
        const char *file, *text, *state;
    } rows[] = {{nullptr, nullptr, "---"},
                {"/lib/modules/6.1.0/modules.dep",
                 "kernel/drivers/usb/class/usbtmc.ko.xz:\n"
                 "kernel/drivers/usb/class/cdc-acm.ko.xz: kernel/x.ko\n",
                 "available"},
                {"/lib/modules/6.1.0/modules.builtin", "kernel/drivers/usb/class/usbtmc.ko\n",
                 "built in"},
                {"/proc/modules", "usbtmc 36864 0 - Live 0x0000000000000000\n", "loaded"}};
    for (const auto &r : rows) {
        if (r.file)
            write(QLatin1String(r.file), r.text);
        EXPECT_EQ(kernelModuleState(probe, "usbtmc"), QLatin1String(r.state)) << r.state;
    }
    EXPECT_EQ(kernelModuleState(probe, "usbtm"), "---");
}

TEST_F(FakeMachine, GpibNodesAndModules)
{
    write("/dev/gpib0", "");
    write("/dev/gpib1", "");
    write("/dev/null", "");
    write("/proc/modules", "ni_usb_gpib 40960 0 - Live 0x0\ngpib_common 57344 1 "
                           "ni_usb_gpib, Live 0x0\nsnd 1 0 - Live 0x0\n");
    const LinuxOSInfo info(probe);
    const ReportGroup g = info.driverInformation().at(1);
    EXPECT_EQ(g.name, "GPIB interfaces");
    QStringList lines;
    for (const auto &e : g.entries)
        lines << e.first;
    EXPECT_EQ(lines, QStringList({"/dev/gpib0", "/dev/gpib1", "ni_usb_gpib", "gpib_common"}));
    const ReportGroup summary = info.systemInformation().last();
    EXPECT_EQ(summary.entries.last().second, "/dev/gpib0, /dev/gpib1, ni_usb_gpib, gpib_common");
}

TEST_F(FakeMachine, VxiPlugAndPlayDriversOfTheMakerOnly)
{
    write("/opt/vxipnp/linux/bin/kxsmw_64.so.3.1.0", "ELF");
    write("/opt/vxipnp/linux/bin/kxfsx.so", "ELF");
    write("/opt/vxipnp/linux/bin/other.so", "ELF");
    EXPECT_EQ(vxiPnpDrivers(probe),
              QStringList({"kxfsx.so (Version ---)", "kxsmw_64.so.3.1.0 (Version 3.1.0)"}));
}

TEST(LibraryFiles, VersionFromTheNameOrItsLinkTarget)
{
    EXPECT_EQ(libraryFileVersion("/nowhere/libfoo.so.1.2.3"), "1.2.3");
    EXPECT_EQ(libraryFileVersion("/nowhere/libfoo.so"), QString());
    EXPECT_EQ(libraryFileVersion("/nowhere/libfoo.so.1a"), QString());
    EXPECT_EQ(reportedVersion(QString()), "---");
}

TEST(LinuxOSInfoLive, ThisMachineGivesAReportWithEveryGroup)
{
    const LinuxOSInfo info;
    const QList<ReportGroup> groups = info.systemInformation();
    QStringList names;
    for (const ReportGroup &g : groups)
        names << g.name;
    EXPECT_EQ(names, QStringList({"Operating System", "Language Settings", "Library versions",
                                  "Remote Control", "Instrument Drivers"}));
    EXPECT_EQ(groups[2].entries[0], qMakePair(QString("Qt"), QString::fromLatin1(qVersion())));
    for (const ReportGroup &g : groups)
        for (const auto &e : g.entries)
            EXPECT_FALSE(e.second.isEmpty())
                    << g.name.toStdString() << " " << e.first.toStdString();
}
