#include "linuxprobe.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcessEnvironment>

#include <grp.h>
#include <link.h>
#include <unistd.h>
#include <vector>

namespace {

QStringList groupNames()
{
    QStringList names;
    const int n = ::getgroups(0, nullptr);
    if (n <= 0)
        return names;
    std::vector<gid_t> ids(static_cast<size_t>(n));
    const int got = ::getgroups(n, ids.data());
    for (int k = 0; k < got; ++k)
        if (const group *g = ::getgrgid(ids[static_cast<size_t>(k)]))
            names << QString::fromLocal8Bit(g->gr_name);
    if (const group *g = ::getgrgid(::getegid()))
        names << QString::fromLocal8Bit(g->gr_name);
    names.removeDuplicates();
    return names;
}

int addLoaded(dl_phdr_info *info, size_t, void *data)
{
    if (info->dlpi_name && info->dlpi_name[0])
        static_cast<QStringList *>(data)->append(QString::fromLocal8Bit(info->dlpi_name));
    return 0;
}

}  // namespace

QStringList LinuxProbe::standardLibraryDirs()
{
    QStringList dirs;
#if defined(__x86_64__)
    const QString triplet = QStringLiteral("x86_64-linux-gnu");
#elif defined(__aarch64__)
    const QString triplet = QStringLiteral("aarch64-linux-gnu");
#elif defined(__i386__)
    const QString triplet = QStringLiteral("i386-linux-gnu");
#else
    const QString triplet;
#endif
    for (const QString &prefix :
         {QStringLiteral("/usr/local/lib"), QStringLiteral("/lib"), QStringLiteral("/usr/lib")}) {
        if (!triplet.isEmpty())
            dirs << prefix + QLatin1Char('/') + triplet;
        dirs << prefix + QStringLiteral("64") << prefix;
    }
    return dirs;
}

LinuxProbe LinuxProbe::live()
{
    LinuxProbe p;
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *key : {"LANG", "LC_ALL", "LC_MESSAGES", "VXIPNPPATH", "LD_LIBRARY_PATH"})
        if (env.contains(QLatin1String(key)))
            p.environment.insert(QLatin1String(key), env.value(QLatin1String(key)));
    for (const QString &d : p.environment.value(QStringLiteral("LD_LIBRARY_PATH"))
                                    .split(QLatin1Char(':'), Qt::SkipEmptyParts))
        p.libraryDirs << d;
    p.libraryDirs << standardLibraryDirs();
    if (QCoreApplication::instance())
        p.programDir = QCoreApplication::applicationDirPath();
    p.uid = ::geteuid();
    p.groups = groupNames();
    dl_iterate_phdr(addLoaded, &p.loadedLibraries);
    return p;
}

QString LinuxProbe::path(const QString &p) const
{
    if (root.isEmpty() || root == QLatin1String("/"))
        return p;
    return QDir::cleanPath(root + QLatin1Char('/') + p);
}

QByteArray LinuxProbe::read(const QString &p) const
{
    QFile f(path(p));
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.read(1 << 20);  // every file read here is small; never let one take all memory
}

QString LinuxProbe::readLine(const QString &p) const
{
    const QByteArray all = read(p);
    const int nl = all.indexOf('\n');
    return QString::fromUtf8(nl < 0 ? all : all.left(nl)).trimmed();
}
