// Throughput of the link server's sample message against a plain loopback socket copy of the
// same bytes, in one run. The client reads as fast as it can in both cases.
//   link_bench [--count N] [--runs R]
#include "linkserver.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <netinet/in.h>
#include <random>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

int connectTo(uint16_t port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0) {
        std::perror("connect");
        std::exit(1);
    }
    return fd;
}

bool recvAll(int fd, char *buf, size_t n)
{
    size_t got = 0;
    while (got < n) {
        const ssize_t k = ::recv(fd, buf + got, n - got, 0);
        if (k <= 0)
            return false;
        got += static_cast<size_t>(k);
    }
    return true;
}

// Reads total bytes; when expect is given, compares them with it. Returns seconds from start.
double drain(int fd, int64_t total, const char *expect, Clock::time_point start)
{
    std::vector<char> buf(4 << 20);
    int64_t got = 0;
    while (got < total) {
        const ssize_t k = ::recv(
                fd, buf.data(), static_cast<size_t>(std::min<int64_t>(buf.size(), total - got)), 0);
        if (k <= 0) {
            std::fprintf(stderr, "connection ended after %lld of %lld bytes\n",
                         static_cast<long long>(got), static_cast<long long>(total));
            std::exit(1);
        }
        if (expect && std::memcmp(buf.data(), expect + got, static_cast<size_t>(k)) != 0) {
            std::fprintf(stderr, "bytes differ near offset %lld\n", static_cast<long long>(got));
            std::exit(1);
        }
        got += k;
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double serveOnce(LinkServer &server, int64_t total, const char *expect)
{
    double seconds = 0;
    std::thread client([&] {
        const int fd = connectTo(server.serverPort());
        char greeting[24];
        recvAll(fd, greeting, sizeof greeting);
        const auto start = Clock::now();
        ::send(fd, "GetSymbol", 9, 0);
        seconds = drain(fd, total, expect, start);
        ::close(fd);
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                  Qt::QueuedConnection);
    });
    QCoreApplication::exec();
    client.join();
    return seconds;
}

double plainOnce(const std::vector<char> &message, const char *expect)
{
    const int lfd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    ::bind(lfd, reinterpret_cast<sockaddr *>(&a), sizeof a);
    ::listen(lfd, 1);
    ::getsockname(lfd, reinterpret_cast<sockaddr *>(&a), &len);
    std::thread sender([&] {
        const int fd = ::accept(lfd, nullptr, nullptr);
        char go;
        recvAll(fd, &go, 1);
        for (size_t off = 0; off < message.size();) {
            const size_t n = std::min<size_t>(64000, message.size() - off);
            const ssize_t k = ::send(fd, message.data() + off, n, 0);
            if (k <= 0)
                break;
            off += static_cast<size_t>(k);
        }
        ::close(fd);
    });
    const int fd = connectTo(ntohs(a.sin_port));
    const auto start = Clock::now();
    ::send(fd, "g", 1, 0);
    const double seconds = drain(fd, static_cast<int64_t>(message.size()), expect, start);
    ::close(fd);
    sender.join();
    ::close(lfd);
    return seconds;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int64_t count = 50000000;
    int runs = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--count"))
            count = std::atoll(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--runs"))
            runs = std::atoi(argv[i + 1]);
    }
    IqBuffer record;
    if (allocateSamples(record, count) != IqStatus::Ok)
        return 1;
    std::mt19937 rng(1);
    std::uniform_real_distribution<float> dist(-1.0f, 1.0f);
    for (int64_t n = 0; n < count; ++n) {
        record.iData[n] = dist(rng);
        record.qData[n] = dist(rng);
    }
    record.sampleCount = count;
    record.sampleRate = 1e6;

    // The same bytes, built whole, for the plain copy and for checking the server once.
    std::vector<char> message(static_cast<size_t>(4 + 8 * count));
    const int32_t type = SYMBOLS;
    std::memcpy(message.data(), &type, 4);
    for (int64_t n = 0; n < count; ++n) {
        std::memcpy(&message[static_cast<size_t>(4 + 8 * n)], &record.iData[n], 4);
        std::memcpy(&message[static_cast<size_t>(8 + 8 * n)], &record.qData[n], 4);
    }

    const bool newState = true, dataValid = true;
    const int connectTo = 1;
    BoundLinkSource source(record, newState, dataValid, connectTo);
    LinkServer server(source);
    if (!server.listen(0))
        return 1;
    server.acceptConnections();

    serveOnce(server, static_cast<int64_t>(message.size()), message.data());  // checked, not timed
    plainOnce(message, message.data());
    std::vector<double> served, plain;
    for (int r = 0; r < runs; ++r) {
        served.push_back(serveOnce(server, static_cast<int64_t>(message.size()), nullptr));
        plain.push_back(plainOnce(message, nullptr));
    }
    const double mb = static_cast<double>(message.size()) / 1e6;
    const double s = mb / median(served), p = mb / median(plain);
    std::printf("samples %lld, message %.1f MB, %d runs (median)\n", static_cast<long long>(count),
                mb, runs);
    std::printf("link server  %8.0f MB/s\n", s);
    std::printf("plain socket %8.0f MB/s\n", p);
    std::printf("ratio        %8.2f\n", s / p);
    return 0;
}
