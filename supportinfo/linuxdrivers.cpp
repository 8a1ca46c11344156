#include "linuxdrivers.h"

#include "libraryfiles.h"
#include "osinfo.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString sysValue(const QDir &dir, const char *name)
{
    QFile f(dir.filePath(QLatin1String(name)));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.read(256)).trimmed();
}

QString describeUsbTmc(const QDir &devices, const QString &interfaceName)
{
    const QDir iface(devices.filePath(interfaceName));
    const QString deviceName = interfaceName.section(QLatin1Char(':'), 0, 0);
    const QDir device(devices.filePath(deviceName));
    QString text
            = (sysValue(device, "manufacturer") + QLatin1Char(' ') + sysValue(device, "product"))
                      .trimmed();
    if (text.isEmpty())
        text = QStringLiteral("USB instrument");
    text += QStringLiteral(" (") + sysValue(device, "idVendor") + QLatin1Char(':')
            + sysValue(device, "idProduct");
    const QString serial = sysValue(device, "serial");
    if (!serial.isEmpty())
        text += QStringLiteral(", serial ") + serial;
    text += QStringLiteral(") at USB ") + deviceName;
    const QString driver = QFileInfo(iface.filePath(QStringLiteral("driver"))).symLinkTarget();
    text += QStringLiteral(", driver ")
            + (driver.isEmpty() ? QStringLiteral("none") : QFileInfo(driver).fileName());
    return text;
}

QString kernelRelease(const LinuxProbe &probe)
{
    return probe.readLine(QStringLiteral("/proc/sys/kernel/osrelease"));
}

bool listsModule(const QByteArray &text, const QString &module)
{
    const QByteArray ko = "/" + module.toUtf8() + ".ko";
    for (const QByteArray &line : text.split('\n')) {
        const QByteArray file = line.split(':').first().trimmed();
        if (file.contains(ko) || file.startsWith(ko.mid(1)))
            return true;
    }
    return false;
}

}  // namespace

QStringList usbTmcDevices(const LinuxProbe &probe)
{
    QStringList found;
    const QDir devices(probe.path(QStringLiteral("/sys/bus/usb/devices")));
    const QStringList names
            = devices.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
    for (const QString &name : names) {
        if (!name.contains(QLatin1Char(':')))
            continue;  // a device, not an interface
        const QDir iface(devices.filePath(name));
        if (sysValue(iface, "bInterfaceClass").compare(QLatin1String("fe"), Qt::CaseInsensitive)
                    == 0
            && sysValue(iface, "bInterfaceSubClass") == QLatin1String("03"))
            found << describeUsbTmc(devices, name);
    }
    return found;
}

QString kernelModuleState(const LinuxProbe &probe, const QString &module)
{
    for (const QByteArray &line : probe.read(QStringLiteral("/proc/modules")).split('\n'))
        if (line.split(' ').first() == module.toUtf8())
            return QStringLiteral("loaded");
    const QString release = kernelRelease(probe);
    if (release.isEmpty())
        return notFound();
    const QString dir = QStringLiteral("/lib/modules/") + release;
    if (listsModule(probe.read(dir + QStringLiteral("/modules.builtin")), module))
        return QStringLiteral("built in");
    if (listsModule(probe.read(dir + QStringLiteral("/modules.dep")), module))
        return QStringLiteral("available");
    return notFound();
}

QStringList gpibDeviceNodes(const LinuxProbe &probe)
{
    QStringList nodes;
    const QDir dev(probe.path(QStringLiteral("/dev")));
    for (const QString &n :
         dev.entryList({QStringLiteral("gpib*")}, QDir::AllEntries | QDir::System, QDir::Name))
        nodes << QStringLiteral("/dev/") + n;
    return nodes;
}

QStringList gpibModules(const LinuxProbe &probe)
{
    QStringList modules;
    for (const QByteArray &line : probe.read(QStringLiteral("/proc/modules")).split('\n')) {
        const QString name = QString::fromUtf8(line.split(' ').first());
        if (name.contains(QLatin1String("gpib")))
            modules << name;
    }
    return modules;
}

QStringList vxiPnpDrivers(const LinuxProbe &probe)
{
    QStringList dirs;
    const QString env = probe.environment.value(QStringLiteral("VXIPNPPATH"));
    if (!env.isEmpty())
        dirs << env + QStringLiteral("/linux/bin");
    dirs << QStringLiteral("/usr/local/vxipnp/linux/bin")
         << QStringLiteral("/opt/vxipnp/linux/bin");
    QStringList drivers;
    for (const QString &d : dirs) {
        const QDir dir(probe.path(d));
        for (const QString &f :
             dir.entryList({QStringLiteral("kx*.so*")}, QDir::Files, QDir::Name)) {
            const QString v = libraryFileVersion(dir.filePath(f));
            const QString line = f + QStringLiteral(" (Version ") + (v.isEmpty() ? notFound() : v)
                                 + QLatin1Char(')');
            if (!drivers.contains(line))
                drivers << line;
        }
    }
    return drivers;
}
