#include "command.h"

#include "codecs.h"
#include "dispatch.h"
#include "filetypes.h"
#include "linkserver.h"
#include "linksource.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const char kUsage[] =
    "Usage: trovik-cli serve --from TYPE --in F [--in-q F] [--rate HZ] --port P [--connect-to 0|1]\n"
    "                        [--stall-timeout MS]\n"
    "Loads an I/Q file as the program's Load does and serves it to the signal-generation\n"
    "software on 127.0.0.1 until SIGINT or SIGTERM. Prints \"listening on 127.0.0.1:P\" once\n"
    "connections are accepted (P is the bound port: the setting modulo 65536; 0 picks a free one).\n\n"
    "  --from TYPE         load type: key or index (see 'trovik-cli types')\n"
    "  --in F              the file (the I file of a two-file type)\n"
    "  --in-q F            the Q file of a two-file type (default: F with .i replaced by .q)\n"
    "  --rate HZ           sample rate when the file gives none (default 100000000)\n"
    "  --port P            TCP port setting\n"
    "  --connect-to 0|1    0 LOOM, 1 LOOM2 (samples pushed on GetNewState; default 1)\n"
    "  --stall-timeout MS  drop a client that takes no bytes for MS ms (default 30000)\n\n"
    "Example: trovik-cli serve --from iqw-pairs --in tone.iqw --rate 1e6 --port 1000";

struct ServeOptions
{
    QString type, iFile, qFile;
    double rate = 100000000.0;
    qint64 port = -1;
    int connectTo = 1;
    int stallMs = LinkProtocol::defaultStallTimeoutMs;
};

bool parseNumber(const QString &text, double &out)
{
    bool ok = false;
    out = text.toDouble(&ok);
    return ok;
}

// Returns an empty string on success, else the complaint.
QString parseServeOptions(const QStringList &args, ServeOptions &o)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (i + 1 >= args.size())
            return QStringLiteral("option '%1' needs a value or is unknown").arg(a);
        const QString v = args[++i];
        double n = 0;
        if (a == QLatin1String("--from")) o.type = v;
        else if (a == QLatin1String("--in")) o.iFile = v;
        else if (a == QLatin1String("--in-q")) o.qFile = v;
        else if (a == QLatin1String("--rate")) {
            if (!parseNumber(v, o.rate) || !(o.rate > 0)) return QStringLiteral("bad --rate '%1'").arg(v);
        } else if (a == QLatin1String("--port")) {
            if (!parseNumber(v, n) || n < 0 || n > 999999999 || n != static_cast<qint64>(n))
                return QStringLiteral("bad --port '%1' (0 to 999999999)").arg(v);
            o.port = static_cast<qint64>(n);
        } else if (a == QLatin1String("--connect-to")) {
            if (v != QLatin1String("0") && v != QLatin1String("1")) return QStringLiteral("bad --connect-to '%1' (0 or 1)").arg(v);
            o.connectTo = v.toInt();
        } else if (a == QLatin1String("--stall-timeout")) {
            if (!parseNumber(v, n) || n < 1 || n > 86400000) return QStringLiteral("bad --stall-timeout '%1'").arg(v);
            o.stallMs = static_cast<int>(n);
        } else
            return QStringLiteral("unknown option '%1'").arg(a);
    }
    if (o.type.isEmpty() || o.iFile.isEmpty() || o.port < 0)
        return QStringLiteral("serve needs --from, --in and --port");
    return QString();
}

// Fills the record as a successful Load does; returns an empty string or the complaint.
QString loadRecord(const ServeOptions &o, IqBuffer &record)
{
    record.typeIndex = FileTypeTable::findLoad(o.type);
    if (record.typeIndex < 0)
        return QStringLiteral("unknown load type '%1' (see 'trovik-cli types')").arg(o.type);
    const FileTypeRow &row = FileTypeTable::loadRow(record.typeIndex);
    if (!readerFor(row.typeCode))
        return QStringLiteral("load type '%1' has no reader in this build").arg(o.type);
    record.iFileName = o.iFile;
    record.qFileName = o.qFile;
    if (row.fileCount == 2 && o.qFile.isEmpty()) {
        if (!o.iFile.endsWith(QLatin1String(".i")))
            return QStringLiteral("type '%1' has two files: give --in-q").arg(o.type);
        record.qFileName = o.iFile.left(o.iFile.size() - 1) + QLatin1Char('q');
    }
    record.sampleRate = o.rate;
    record.refLevel = 50.0f;
    const IqStatus status = loadIqFile(record);
    if (status == IqStatusCode::Scrambled)
        return QStringLiteral("The file %1 is scrambled. Load aborted.").arg(record.iFileName);
    if (status != IqStatusCode::Ok)
        return QStringLiteral("File Load Error. (%1)").arg(QString::fromLatin1(iqStatusText(status)));
    return QString();
}

// SIGINT and SIGTERM end the event loop through a socket pair, the one thing a signal
// handler may safely touch.
int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &c, 1);
}

bool quitOnSignals(QCoreApplication &app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0)
        return false;
    auto *notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    struct sigaction sa = {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    return ::sigaction(SIGINT, &sa, nullptr) == 0 && ::sigaction(SIGTERM, &sa, nullptr) == 0;
}

int runServe(const QStringList &args)
{
    ServeOptions o;
    QString problem = parseServeOptions(args, o);
    if (!problem.isEmpty())
        return cliFail(problem);
    IqBuffer record;
    problem = loadRecord(o, record);
    if (!problem.isEmpty())
        return cliFail(problem);
    const bool dataValid = true;
    const bool newState = true;
    BoundLinkSource source(record, newState, dataValid, o.connectTo);
    LinkServer server(source);
    server.setStallTimeout(o.stallMs);
    if (!quitOnSignals(*QCoreApplication::instance()))
        return cliFail(QStringLiteral("cannot install the signal handlers"));
    if (!server.listen(o.port))
        return cliFail(QStringLiteral("cannot listen on 127.0.0.1:%1").arg(linkPort(o.port)));
    server.acceptConnections();
    std::printf("listening on 127.0.0.1:%u\n", static_cast<unsigned>(server.serverPort()));
    std::fflush(stdout);
    QCoreApplication::exec();
    return 0;
}

const CliCommandRegistration kServe({"serve", "serve a loaded I/Q file to the signal-generation software",
                                     kUsage, runServe, 80});

}  // namespace
