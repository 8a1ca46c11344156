// A 50,000,000-pair capture (a 400 MB TRAC:IQ:DATA? block) from the simulated instrument over
// a raw SCPI socket: the whole Trace of an analyzer row through the acquisition library,
// Pontil and kxvisa (sequence, block read, division into the two float arrays), beside a
// plain socket read of the same block from the same simulator and pyvisa-py reading it with
// query_binary_values. Also the capture's peak memory against its two sample arrays.
#include "acquisition.h"
#include "visaconnection.h"
#include "visasession.h"

#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <netinet/in.h>
#include <string>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr uint64_t kPairs = 50000000;
constexpr uint64_t kBytes = 8 * kPairs;

double now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
}

// kB of the named line of /proc/self/status (VmRSS, VmHWM).
long statusKb(const char *name)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(name, 0) == 0)
            return std::atol(line.c_str() + std::strlen(name) + 1);
    return -1;
}

bool sendText(int fd, const std::string &text)
{
    return ::send(fd, text.data(), text.size(), 0) == ssize_t(text.size());
}

// The block over a plain TCP socket: the query, the header, the body and terminator in
// 24 MB recv calls.
double plainSocketRead(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(uint16_t(port));
    if (::connect(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0)
        return 0;
    std::vector<char> buffer(24u << 20);
    sendText(fd, "*RST;:SIM:BLOC:MODE TONE;POIN " + std::to_string(kPairs) + "\n");
    const uint64_t total = 11 + kBytes + 1;  // "#9400000000", body, "\n"
    const double t0 = now();
    sendText(fd, "TRAC:IQ:DATA?\n");
    uint64_t got = 0;
    for (ssize_t n; got < total && (n = ::recv(fd, buffer.data(), buffer.size(), 0)) > 0;)
        got += uint64_t(n);
    const double t = now() - t0;
    ::close(fd);
    return got == total ? kBytes / t / 1e6 : 0;
}

// One Trace of an Olive (I/Q pairs, Raw IQ off: every value divided by the level scale).
double capture(VisaConnection &visa, IqBuffer &record)
{
    AppSettings settings;
    settings.deviceType = int(DeviceId::Olive);
    settings.sampleCount = uint32_t(kPairs);
    settings.sampleRate = 32e6;
    settings.rawIq = false;
    InstrumentOptions options;
    SilentProgress progress;
    InstrumentContext context{visa.session(), settings, options, progress};
    const double t0 = now();
    const AcquisitionStatus status = acquireTrace(context, record);
    const double t = now() - t0;
    return status == AcquisitionStatus::Success && record.sampleCount == int64_t(kPairs)
                   ? kBytes / t / 1e6
                   : 0;
}

void printRow(const char *name, const std::vector<double> &r)
{
    std::vector<double> sorted = r;
    std::sort(sorted.begin(), sorted.end());
    std::printf("%-28s median %6.0f  rounds", name, sorted[sorted.size() / 2]);
    for (double v : r)
        std::printf(" %.0f", v);
    std::printf("\n");
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char **argv)
{
    int rounds = 5, pyRounds = 1;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--rounds"))
            rounds = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--pyvisa-rounds"))
            pyRounds = std::atoi(argv[i + 1]);
    }
    // kxvisa beside libpontil.so, nothing of the system's.
    QTemporaryDir empty;
    setenv("PONTIL_ROOT", empty.path().toLocal8Bit().constData(), 1);
    setenv("PONTIL_LIBRARY_PATH", empty.path().toLocal8Bit().constData(), 1);
    int out[2];
    if (::pipe(out) != 0)
        return 1;
    const pid_t sim = ::fork();
    if (sim == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        ::dup2(out[1], 1);
        ::execl(SCPISIM_PATH, SCPISIM_PATH, "--no-vxi11", "--socket-port", "0",
                static_cast<char *>(nullptr));
        ::_exit(127);
    }
    char line[128] = {};
    int port = 0;
    if (::read(out[0], line, sizeof line - 1) <= 0
        || std::sscanf(line, "READY socket=%d", &port) != 1)
        return 1;
    VisaConnection visa;
    const QString resource = QStringLiteral("TCPIP::127.0.0.1::%1::SOCKET").arg(port);
    if (!selectVisaLibrary() || visa.open() != VI_SUCCESS
        || visa.openInstrument(resource) != VI_SUCCESS)
        return 1;
    writeCommand(visa.session(), QStringLiteral("*RST\n"));

    std::printf("50,000,000-pair capture (400 MB block) over SOCKET, MB/s (1 MB = 1e6 bytes)\n");
    IqBuffer record;
    const long before = statusKb("VmRSS:");
    std::vector<double> acquired{capture(visa, record)};
    const long peak = statusKb("VmHWM:");
    for (int i = 1; i < rounds; ++i)
        acquired.push_back(capture(visa, record));
    std::vector<double> plain;
    for (int i = 0; i < rounds; ++i)
        plain.push_back(plainSocketRead(port));
    printRow("plain socket read", plain);
    printRow("trovik acquireTrace", acquired);
    const double arrays = 2.0 * 4.0 * double(kPairs) / 1024.0;
    std::printf("peak memory of the first capture: %.0f MB above the start, %.3fx the two arrays\n",
                (peak - before) / 1024.0, (peak - before) / arrays);
    std::fflush(stdout);
    releaseSamples(record);
    visa.close();
    const std::string py = "/usr/bin/python3 " PYVISA_SCRIPT " " + std::to_string(port) + " "
                           + std::to_string(kPairs) + " " + std::to_string(pyRounds);
    const int rc = std::system(py.c_str());
    ::kill(sim, SIGTERM);
    ::waitpid(sim, nullptr, 0);
    return rc == 0 ? 0 : 1;
}
