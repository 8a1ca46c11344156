#include "command.h"

#include "linkserver.h"
#include "linksource.h"
#include "recordoptions.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const char kUsage[]
        = "Usage: trovik-cli serve --from TYPE --in F [--in-q F] [--rate HZ] --port P "
          "[--connect-to 0|1]\n"
          "                        [--stall-timeout MS]\n"
          "Loads an I/Q file as the program's Load does and serves it to the signal-generation\n"
          "software on 127.0.0.1 until SIGINT or SIGTERM. Prints \"listening on 127.0.0.1:P\" "
          "once\n"
          "connections are accepted (P is the bound port: the setting modulo 65536; 0 picks a free "
          "one).\n\n"
          "  --from TYPE         load type: key or index (see 'trovik-cli types')\n"
          "  --in F              the file (the I file of a two-file type)\n"
          "  --in-q F            the Q file of a two-file type (default: F with .i replaced by "
          ".q)\n"
          "  --rate HZ           sample rate when the file gives none (default 100000000)\n"
          "  --port P            TCP port setting\n"
          "  --connect-to 0|1    0 LOOM, 1 LOOM2 (samples pushed on GetNewState; default 1)\n"
          "  --stall-timeout MS  drop a client that takes no bytes for MS ms (default 30000)\n\n"
          "Example: trovik-cli serve --from iqw-pairs --in tone.iqw --rate 1e6 --port 1000";

const QStringList kOptions = {QStringLiteral("--from"),         QStringLiteral("--in"),
                              QStringLiteral("--in-q"),         QStringLiteral("--rate"),
                              QStringLiteral("--port"),         QStringLiteral("--connect-to"),
                              QStringLiteral("--stall-timeout")};
const QStringList kRequired
        = {QStringLiteral("--from"), QStringLiteral("--in"), QStringLiteral("--port")};

struct ServeSettings
{
    int64_t port = 0;
    int64_t connectTo = 1;
    int64_t stallMs = LinkProtocol::defaultStallTimeoutMs;
};

// Reads the options and names the record to load; returns false with the complaint.
bool prepare(const QStringList &args, IqBuffer &record, ServeSettings &s, QString &error)
{
    RecordOptions o;
    double rate = 0.0;  // only checked here: source() sets it on the record
    return o.parse(args, kOptions, error) && o.require("serve", kRequired, error)
           && o.positive(QStringLiteral("--rate"), 1.0, rate, error)
           && o.whole(QStringLiteral("--port"), 0, 999999999, 0, s.port, error)
           && o.whole(QStringLiteral("--connect-to"), 0, 1, s.connectTo, s.connectTo, error)
           && o.whole(QStringLiteral("--stall-timeout"), 1, 86400000, s.stallMs, s.stallMs, error)
           && o.source(record, error) && cliCanRead(record, error);
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
    IqBuffer record;
    ServeSettings s;
    QString error;
    if (!prepare(args, record, s, error))
        return cliFail(error);
    if (const int status = cliLoad(record))
        return status;
    // The source reads these through references for as long as the server runs.
    const bool dataValid = true;
    const bool newState = true;
    const int connectTo = int(s.connectTo);
    BoundLinkSource source(record, newState, dataValid, connectTo);
    LinkServer server(source);
    server.setStallTimeout(int(s.stallMs));
    if (!quitOnSignals(*QCoreApplication::instance()))
        return cliFail(QStringLiteral("cannot install the signal handlers"));
    if (!server.listen(s.port))
        return cliFail(QStringLiteral("cannot listen on 127.0.0.1:%1").arg(linkPort(s.port)));
    server.acceptConnections();
    std::printf("listening on 127.0.0.1:%u\n", static_cast<unsigned>(server.serverPort()));
    std::fflush(stdout);
    QCoreApplication::exec();
    return 0;
}

const CliCommandRegistration kServe({"serve",
                                     "serve a loaded I/Q file to the signal-generation software",
                                     kUsage, runServe, 80});

}  // namespace
