#include "linuxosinfo.h"

#include "libraryfiles.h"
#include "linuxdrivers.h"
#include "visaversion.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QtGlobal>

#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>

#if defined(__GLIBC__)
#include <gnu/libc-version.h>
#endif
#include <matio.h>
#if defined(TROVIK_HAVE_FFTW)
#include <fftw3.h>
#endif

namespace {

const char kInfodeskVersion[] = "2.1.0.1";

QString unquote(QString v)
{
    v = v.trimmed();
    if (v.size() >= 2 && (v.startsWith(QLatin1Char('"')) || v.startsWith(QLatin1Char('\'')))
        && v.endsWith(v[0]))
        v = v.mid(1, v.size() - 2);
    return v.replace(QStringLiteral("\\\""), QStringLiteral("\""))
            .replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
}

QString ctimeText(qint64 seconds)
{
    const time_t t = static_cast<time_t>(seconds);
    char buf[64] = {};
    if (!ctime_r(&t, buf))
        return notFound();
    return QString::fromLatin1(buf).trimmed();
}

// Seconds since 1970 when the file was created, or 0 where the file system does not say.
qint64 birthTime(const QString &path)
{
#if defined(STATX_BTIME)
    struct statx st = {};
    if (statx(AT_FDCWD, QFile::encodeName(path).constData(), 0, STATX_BTIME, &st) == 0
        && (st.stx_mask & STATX_BTIME) && st.stx_btime.tv_sec > 0)
        return st.stx_btime.tv_sec;
#else
    Q_UNUSED(path);
#endif
    return 0;
}

QString versionAfterDash(const char *text)
{
    // "fftw-3.3.10-sse2-avx" -> "3.3.10"
    const QString s = QString::fromLatin1(text);
    const QString v = s.section(QLatin1Char('-'), 1, 1);
    return v.isEmpty() ? s : v;
}

}  // namespace

LinuxOSInfo::LinuxOSInfo(LinuxProbe probe)
    : m_probe(std::move(probe))
{}

QString LinuxOSInfo::operatingSystemName() const
{
    for (const QString &file :
         {QStringLiteral("/etc/os-release"), QStringLiteral("/usr/lib/os-release")}) {
        for (const QByteArray &line : m_probe.read(file).split('\n')) {
            if (line.startsWith("PRETTY_NAME=")) {
                const QString v = unquote(QString::fromUtf8(line.mid(12)));
                if (!v.isEmpty())
                    return v;
            }
        }
    }
    return notFound();
}

QString LinuxOSInfo::kernel() const
{
    const QString r = m_probe.readLine(QStringLiteral("/proc/sys/kernel/osrelease"));
    return r.isEmpty() ? notFound() : r;
}

QString LinuxOSInfo::installDate() const
{
    // The installer's log folder is written once, at installation; failing that, the birth
    // time of the root folder is when its file system was made.
    const QDir installer(m_probe.path(QStringLiteral("/var/log/installer")));
    if (installer.exists()) {
        qint64 oldest = 0;
        for (const QFileInfo &f :
             installer.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
            const qint64 t = f.lastModified().toSecsSinceEpoch();
            if (t > 0 && (oldest == 0 || t < oldest))
                oldest = t;
        }
        if (oldest > 0)
            return ctimeText(oldest);
    }
    const qint64 born = birthTime(m_probe.path(QStringLiteral("/")));
    return born > 0 ? ctimeText(born) : notFound();
}

QString LinuxOSInfo::adminRights() const
{
    if (m_probe.uid == 0)
        return QStringLiteral("Yes");
    for (const char *g : {"sudo", "wheel", "admin"})
        if (m_probe.groups.contains(QLatin1String(g)))
            return QStringLiteral("Yes");
    return QStringLiteral("No");
}

QString LinuxOSInfo::localeName() const
{
    for (const char *key : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString v = m_probe.environment.value(QLatin1String(key));
        if (!v.isEmpty())
            return v;
    }
    return QString();
}

QString LinuxOSInfo::country() const
{
    const QLocale l(localeName());
    if (localeName().isEmpty() || l.language() == QLocale::C || l.country() == QLocale::AnyCountry)
        return notFound();
    return QLocale::countryToString(l.country());
}

QString LinuxOSInfo::language() const
{
    const QLocale l(localeName());
    if (localeName().isEmpty() || l.language() == QLocale::C)
        return notFound();
    return QLocale::languageToString(l.language());
}

QString LinuxOSInfo::localeId() const
{
    const QString name = localeName();
    return name.isEmpty() ? notFound() : name;
}

QString LinuxOSInfo::systemLibrary(const QString &baseName) const
{
    const QString loaded = loadedLibraryFile(m_probe, baseName);
    return loaded.isEmpty() ? findLibraryFile(m_probe, m_probe.libraryDirs, baseName) : loaded;
}

QString LinuxOSInfo::libraryVersion(const QString &baseName) const
{
    return reportedVersion(systemLibrary(baseName));
}

QString LinuxOSInfo::visaLibrary() const
{
    struct Candidate
    {
        QString file;
        const char *maker;
    };
    QStringList besideProgram;
    if (!m_probe.programDir.isEmpty())
        for (const char *rel : {"", "/../lib", "/../kxvisa"})
            besideProgram << QDir::cleanPath(m_probe.programDir + QLatin1String(rel));
    QString ni = findLibraryFile(m_probe, m_probe.libraryDirs, QStringLiteral("libvisa.so"));
    if (ni.isEmpty())
        ni = findLibraryFile(m_probe, {QStringLiteral("/usr/local/vxipnp/linux/lib64")},
                             QStringLiteral("libvisa.so"));
    const QString keysight = findLibraryFile(m_probe, {QStringLiteral("/opt/keysight/iolibs")},
                                             QStringLiteral("libktvisa32.so"));
    LinuxProbe unrooted = m_probe;
    unrooted.root = QStringLiteral("/");
    QString ours = findLibraryFile(unrooted, besideProgram, QStringLiteral("libkxvisa.so"));
    if (ours.isEmpty())
        ours = findLibraryFile(m_probe, m_probe.libraryDirs, QStringLiteral("libkxvisa.so"));
    const Candidate all[]
            = {{ni, "National Instruments"}, {keysight, "Agilent"}, {ours, "Vantorp GmbH"}};
    QStringList found;
    for (const Candidate &c : all)
        if (!c.file.isEmpty())
            found << visaImplementationVersion(c.file) + QStringLiteral(" (")
                             + QLatin1String(c.maker) + QLatin1Char(')');
    return found.isEmpty() ? notFound() : found.join(QStringLiteral(", "));
}

QString LinuxOSInfo::quillonControlLibrary() const
{
    const QString v = libraryVersion(QStringLiteral("libquilloncontrol2.so"));
    return v != notFound() ? v : libraryVersion(QStringLiteral("libquilloncontrol.so"));
}

QString LinuxOSInfo::ieeeDriver() const
{
    const QString gpib = libraryVersion(QStringLiteral("libgpib.so"));
    if (gpib != notFound())
        return gpib;
    const QString sicl = findLibraryFile(m_probe, {QStringLiteral("/opt/keysight/iolibs")},
                                         QStringLiteral("libsicl.so"));
    return reportedVersion(sicl.isEmpty() ? systemLibrary(QStringLiteral("libsicl.so")) : sicl);
}

ReportGroup LinuxOSInfo::operatingSystemGroup() const
{
    return {QStringLiteral("Operating System"),
            {{QString(), operatingSystemName()},
             {QStringLiteral("Kernel"), kernel()},
             {QStringLiteral("Installed"), installDate()},
             {QStringLiteral("Admin rights"), adminRights()}}};
}

ReportGroup LinuxOSInfo::languageGroup() const
{
    return {QStringLiteral("Language Settings"),
            {{QStringLiteral("Country"), country()},
             {QStringLiteral("Language"), language()},
             {QStringLiteral("Local ID"), localeId()}}};
}

ReportGroup LinuxOSInfo::runtimeGroup() const
{
    int major = 0, minor = 0, release = 0;
    Mat_GetLibraryVersion(&major, &minor, &release);
    QString qwt = libraryVersion(QStringLiteral("libqwt-qt5.so"));
    if (qwt == notFound())
        qwt = libraryVersion(QStringLiteral("libqwt.so"));
#if defined(TROVIK_HAVE_FFTW)
    const QString fftw = versionAfterDash(fftw_version);
#else
    const QString fftw = libraryVersion(QStringLiteral("libfftw3.so"));
#endif
#if defined(__GLIBC__)
    const QString libc
            = QStringLiteral("GNU C library ") + QString::fromLatin1(gnu_get_libc_version());
#else
    const QString libc = notFound();
#endif
    return {QStringLiteral("Library versions"),
            {{QStringLiteral("Qt"), QString::fromLatin1(qVersion())},
             {QStringLiteral("Qwt"), qwt},
             {QStringLiteral("matio"),
              QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(release)},
             {QStringLiteral("FFTW"), fftw},
             {QStringLiteral("C library"), libc},
             {QStringLiteral("Infodesk"), QString::fromLatin1(kInfodeskVersion)}}};
}

ReportGroup LinuxOSInfo::remoteControlGroup() const
{
    return {QStringLiteral("Remote Control"),
            {{QStringLiteral("IEEE driver"), ieeeDriver()},
             {QStringLiteral("VISA"), visaLibrary()},
             {QStringLiteral("TQLB"), libraryVersion(QStringLiteral("libkxvitqlb.so"))},
             {QStringLiteral("Sorrel Control"),
              libraryVersion(QStringLiteral("libsorrelcontrol.so"))},
             {QStringLiteral("Quillon Control2"), quillonControlLibrary()}}};
}

ReportGroup LinuxOSInfo::instrumentDriverGroup() const
{
    const QStringList gpib = gpibDeviceNodes(m_probe) + gpibModules(m_probe);
    return {QStringLiteral("Instrument Drivers"),
            {{QStringLiteral("USB test and measurement driver"),
              kernelModuleState(m_probe, QStringLiteral("usbtmc"))},
             {QStringLiteral("USB test and measurement devices"),
              QString::number(usbTmcDevices(m_probe).size())},
             {QStringLiteral("GPIB"),
              gpib.isEmpty() ? notFound() : gpib.join(QStringLiteral(", "))}}};
}

QList<ReportGroup> LinuxOSInfo::systemInformation() const
{
    return {operatingSystemGroup(), languageGroup(), runtimeGroup(), remoteControlGroup(),
            instrumentDriverGroup()};
}

QList<ReportGroup> LinuxOSInfo::driverInformation() const
{
    auto listGroup = [](const char *name, QStringList items, const char *none) {
        if (items.isEmpty())
            items << QLatin1String(none);
        ReportGroup g{QLatin1String(name), {}};
        for (const QString &i : items)
            g.entries.append({i, QString()});
        return g;
    };
    return {listGroup("USB test and measurement devices", usbTmcDevices(m_probe),
                      "No USB test and measurement device found"),
            listGroup("GPIB interfaces", gpibDeviceNodes(m_probe) + gpibModules(m_probe),
                      "No GPIB interface found"),
            listGroup("Installed Vantorp VXI PnP drivers", vxiPnpDrivers(m_probe),
                      "No VXI driver found")};
}
