// Reads one 400 MB binary block (50 million float32 I/Q pairs) from the simulated
// instrument over a raw socket and over VXI-11 with viRead in 24 MB chunks, beside a plain
// loopback socket copy of the same size and pyvisa-py reading the same block.
// Needs port 111 for VXI-11: run it inside unshare -rn (see bench/RESULTS.md).
#include "visa.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <netinet/in.h>
#include <string>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr uint64_t kPairs = 50000000;
constexpr uint64_t kBytes = 8 * kPairs;
constexpr size_t kChunk = 24u << 20;

double now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
}

double plainSocketCopy()
{
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    ::bind(listener, reinterpret_cast<sockaddr *>(&a), sizeof a);
    ::listen(listener, 1);
    ::getsockname(listener, reinterpret_cast<sockaddr *>(&a), &len);
    std::thread sender([listener] {
        const int fd = ::accept(listener, nullptr, nullptr);
        std::vector<char> block(1 << 20, 'x');
        for (uint64_t sent = 0; sent < kBytes;) {
            const ssize_t n
                    = ::send(fd, block.data(), std::min<uint64_t>(block.size(), kBytes - sent), 0);
            if (n <= 0)
                break;
            sent += uint64_t(n);
        }
        ::close(fd);
    });
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    ::connect(fd, reinterpret_cast<sockaddr *>(&a), sizeof a);
    std::vector<char> buffer(kChunk);
    const double t0 = now();
    uint64_t got = 0;
    for (ssize_t n; got < kBytes && (n = ::recv(fd, buffer.data(), buffer.size(), 0)) > 0;)
        got += uint64_t(n);
    const double t = now() - t0;
    sender.join();
    ::close(fd);
    ::close(listener);
    return got == kBytes ? kBytes / t / 1e6 : 0;
}

bool write(ViSession vi, const std::string &s)
{
    ViUInt32 n = 0;
    return viWrite(vi, reinterpret_cast<ViConstBuf>(s.data()), ViUInt32(s.size()), &n)
           == VI_SUCCESS;
}

double kxvisaRead(const char *resource)
{
    ViSession rm = 0, vi = 0;
    if (viOpenDefaultRM(&rm) != VI_SUCCESS
        || viOpen(rm, resource, VI_NULL, 10000, &vi) != VI_SUCCESS)
        return 0;
    viSetAttribute(vi, VI_ATTR_TMO_VALUE, 60000);
    std::vector<uint8_t> buffer(kChunk);
    write(vi, "SIM:BLOC:MODE TONE;POIN " + std::to_string(kPairs) + "\n");
    const double t0 = now();
    write(vi, "TRAC:IQ:DATA?\n");
    ViUInt32 n = 0;
    const std::string header = "#9" + std::to_string(kBytes);
    ViStatus s = viRead(vi, buffer.data(), ViUInt32(header.size()), &n);
    uint64_t got = 0;
    while (s >= 0 && got < kBytes + 1) {
        s = viRead(vi, buffer.data(), ViUInt32(std::min<uint64_t>(kChunk, kBytes + 1 - got)), &n);
        got += n;
    }
    const double t = now() - t0;
    viClose(rm);
    return got == kBytes + 1 ? kBytes / t / 1e6 : 0;
}

}  // namespace

int main(int argc, char **argv)
{
    std::string simulator = SCPISIM_PATH, script = PYVISA_SCRIPT, python = "/usr/bin/python3";
    int rounds = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--simulator"))
            simulator = argv[i + 1];
        else if (!std::strcmp(argv[i], "--rounds"))
            rounds = std::atoi(argv[i + 1]);
    }
    int out[2];
    if (::pipe(out) != 0)
        return 1;
    const pid_t sim = ::fork();
    if (sim == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        ::dup2(out[1], 1);
        ::execl(simulator.c_str(), simulator.c_str(), "--require-vxi11",
                static_cast<char *>(nullptr));
        ::_exit(127);
    }
    char line[128] = {};
    if (::read(out[0], line, sizeof line - 1) <= 0 || std::strncmp(line, "READY", 5) != 0) {
        std::fprintf(stderr, "simulator did not start (port 111 needs: unshare -rn sh -c 'ip link "
                             "set lo up; ...')\n");
        return 1;
    }
    std::printf("400 MB block, viRead in 24 MB chunks, MB/s (1 MB = 1e6 bytes): median, then every "
                "round\n");
    auto row = [&](const char *name, auto fn) {
        std::vector<double> r;
        for (int i = 0; i < rounds; ++i)
            r.push_back(fn());
        std::vector<double> sorted = r;
        std::sort(sorted.begin(), sorted.end());
        std::printf("%-26s median %6.0f  rounds", name, sorted[sorted.size() / 2]);
        for (double v : r)
            std::printf(" %.0f", v);
        std::printf("\n");
        std::fflush(stdout);
    };
    row("plain loopback socket", plainSocketCopy);
    row("kxvisa SOCKET", [] { return kxvisaRead("TCPIP::127.0.0.1::5025::SOCKET"); });
    row("kxvisa VXI-11 INSTR", [] { return kxvisaRead("TCPIP::127.0.0.1::INSTR"); });
    const std::string py = python + " " + script;
    std::fflush(stdout);
    const int rc = std::system(py.c_str());
    ::kill(sim, SIGTERM);
    ::waitpid(sim, nullptr, 0);
    return rc == 0 ? 0 : 1;
}
