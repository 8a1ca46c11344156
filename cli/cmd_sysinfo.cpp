#include "clioptions.h"
#include "command.h"

#include "linuxosinfo.h"
#include "programidentity.h"
#include "supportreport.h"

#include <cstdio>

namespace {

const char kUsage[]
        = "Usage: trovik-cli sysinfo [--drivers]\n"
          "Prints the support report of the About window: the program's identity, the operating\n"
          "system, language settings, library versions, VISA implementations and instrument "
          "drivers.\n\n"
          "  --drivers   also list the instrument interfaces found (the Driver Information tab)\n\n"
          "Example: trovik-cli sysinfo > support.txt";

QString driverText(const QList<ReportGroup> &groups)
{
    QString text;
    for (const ReportGroup &g : groups) {
        text += QStringLiteral("*** ") + g.name + QStringLiteral(" ***\n");
        for (const auto &e : g.entries)
            text += (e.second.isEmpty() ? e.first : e.first + QStringLiteral(": ") + e.second)
                    + QLatin1Char('\n');
        text += QLatin1Char('\n');
    }
    return text;
}

int runSysinfo(const QStringList &args)
{
    CliOptions options;
    QString error;
    if (!options.parse(args, {}, error, {QStringLiteral("--drivers")}))
        return cliFail(error);
    const LinuxOSInfo info;
    // The identity the program's About window reports.
    using namespace ProgramIdentity;
    QString text = supportReport(QLatin1String(applicationName), QLatin1String(version),
                                 QLatin1String(releaseDate), info);
    if (options.has(QStringLiteral("--drivers")))
        text += driverText(info.driverInformation());
    const QByteArray out = text.toUtf8();
    std::fwrite(out.constData(), 1, static_cast<size_t>(out.size()), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

const CliCommandRegistration kSysinfo({"sysinfo", "print the support report of this computer",
                                       kUsage, runSysinfo, 90});

}  // namespace
