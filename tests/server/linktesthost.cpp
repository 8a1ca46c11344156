// A process that serves a generated record through LinkServer for the socket-level tests.
// The tests drive it through stdin, one command a line, each answered by one line on stdout:
//   record COUNT RATE SEED   replace the record by COUNT generated samples (bit patterns below)
//   claim COUNT              set the record's sampleCount without touching its arrays
//   flags NEW VALID CONNECT  set newState, dataValid (0/1) and connectTo (0/1)
//   status                   "ok client=C up=U down=D rss_kb=R"
//   quit
// Sample n has the float bits I = n * 2654435761 + SEED and Q = (n * 40503 + 777 + SEED) ^
// 0xA5A5A5A5 (mod 2^32), so every bit pattern, NaN payloads included, travels through the server.
#include "linkserver.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

struct Host
{
    IqBuffer record;
    bool newState = true;
    bool dataValid = true;
    int connectTo = 1;
    int ups = 0;
    int downs = 0;
    std::string pending;
};

long residentKb()
{
    FILE *f = std::fopen("/proc/self/status", "r");
    long kb = -1;
    char line[256];
    while (f && std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "VmRSS: %ld", &kb) == 1)
            break;
    if (f)
        std::fclose(f);
    return kb;
}

bool fillRecord(IqBuffer &r, long long count, double rate, unsigned long long seed)
{
    if (allocateSamples(r, count) != IqStatus::Ok)
        return false;
    for (long long n = 0; n < count; ++n) {
        const uint32_t i = static_cast<uint32_t>(static_cast<uint64_t>(n) * 2654435761ull + seed);
        const uint32_t q = static_cast<uint32_t>(
                (static_cast<uint64_t>(n) * 40503ull + 777ull + seed) ^ 0xA5A5A5A5ull);
        std::memcpy(&r.iData[n], &i, 4);
        std::memcpy(&r.qData[n], &q, 4);
    }
    r.sampleCount = count;
    r.sampleRate = rate;
    return true;
}

void reply(const char *text)
{
    std::printf("%s\n", text);
    std::fflush(stdout);
}

void runCommand(Host &h, LinkServer &server, const std::string &line)
{
    long long a = 0;
    double b = 0;
    unsigned long long c = 0;
    int x = 0, y = 0, z = 0;
    if (std::sscanf(line.c_str(), "record %lld %lf %llu", &a, &b, &c) == 3)
        reply(fillRecord(h.record, a, b, c) ? "ok" : "error no memory");
    else if (std::sscanf(line.c_str(), "claim %lld", &a) == 1) {
        h.record.sampleCount = a;
        reply("ok");
    } else if (std::sscanf(line.c_str(), "flags %d %d %d", &x, &y, &z) == 3) {
        h.newState = x != 0;
        h.dataValid = y != 0;
        h.connectTo = z;
        reply("ok");
    } else if (line == "status") {
        std::printf("ok client=%d up=%d down=%d rss_kb=%ld\n", server.hasClient() ? 1 : 0, h.ups,
                    h.downs, residentKb());
        std::fflush(stdout);
    } else if (line == "quit") {
        reply("ok");
        QCoreApplication::quit();
    } else
        reply("error unknown command");
}

void readCommands(Host &h, LinkServer &server)
{
    char buf[4096];
    const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
    if (n <= 0) {
        QCoreApplication::quit();
        return;
    }
    h.pending.append(buf, static_cast<size_t>(n));
    size_t nl;
    while ((nl = h.pending.find('\n')) != std::string::npos) {
        const std::string line = h.pending.substr(0, nl);
        h.pending.erase(0, nl + 1);
        runCommand(h, server, line);
    }
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    long long port = 0;
    int stallMs = 1000;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--port") == 0)
            port = std::atoll(argv[i + 1]);
        else if (std::strcmp(argv[i], "--stall-ms") == 0)
            stallMs = std::atoi(argv[i + 1]);
    }
    Host h;
    BoundLinkSource source(h.record, h.newState, h.dataValid, h.connectTo);
    LinkServer server(source);
    server.setStallTimeout(stallMs);
    QObject::connect(&server, &LinkServer::connectedChanged,
                     [&h](bool up) { ++(up ? h.ups : h.downs); });
    if (!server.listen(port)) {
        reply("cannot listen");
        return 3;
    }
    server.acceptConnections();
    std::printf("listening on 127.0.0.1:%u\n", static_cast<unsigned>(server.serverPort()));
    std::fflush(stdout);
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] { readCommands(h, server); });
    return QCoreApplication::exec();
}
