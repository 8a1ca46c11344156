// Times one load or save of a container format in this process, so that /usr/bin/time can
// report the peak memory of exactly that operation.
//   container_bench save wav|wv|raw FILE SAMPLES
//   container_bench load wav|wv|raw FILE
//   container_bench rawfile FILE SAMPLES     (a large raw recording, written in blocks)
#include "bytes.h"
#include "dispatch.h"
#include "outputfile.h"
#include "rawrecording.h"
#include "wavformat.h"
#include "wvformat.h"

#include <QDateTime>
#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

IqBuffer signal(int64_t n)
{
    IqBuffer r;
    if (failed(allocateSamples(r, n)))
        std::exit(3);
    for (int64_t k = 0; k < n; ++k) {
        r.iData[k] = float(std::sin(0.001 * double(k)));
        r.qData[k] = float(std::cos(0.0013 * double(k)));
    }
    r.sampleCount = n;
    r.sampleRate = 1e6;
    return r;
}

int save(const char *format, const QString &path, int64_t n)
{
    const IqBuffer r = signal(n);
    IqStatus s = IqStatus::FirstFile;
    double t = 1e9;
    for (int run = 0; run < 3; ++run) {
        const auto start = Clock::now();
        if (!std::strcmp(format, "wav"))
            s = writeFileOfType(r, 15, path, QString());
        else if (!std::strcmp(format, "wv"))
            s = writeFileOfType(r, 25, path, QString());
        else if (!std::strcmp(format, "raw"))
            s = writeFileOfType(r, 24, path, QString());
        t = std::min(t, secondsSince(start));
    }
    const double mb = double(QFileInfo(path).size()) / 1e6;
    std::printf("save %s status %d: %.3f s, %.0f MB/s of file\n", format, statusCode(s), t, mb / t);
    return ok(s) ? 0 : 1;
}

// Best of three: other work on the machine makes single runs noisy.
int load(const char *format, const QString &path)
{
    IqBuffer r;
    r.iFileName = path;
    IqStatus s = IqStatus::FirstFile;
    double t = 1e9;
    for (int run = 0; run < 3; ++run) {
        releaseSamples(r);
        const auto start = Clock::now();
        if (!std::strcmp(format, "wav"))
            s = readFileOfType(r, 15);
        else if (!std::strcmp(format, "wv"))
            s = readFileOfType(r, 25);
        else if (!std::strcmp(format, "raw"))
            s = readFileOfType(r, 24);
        t = std::min(t, secondsSince(start));
    }
    const double mb = double(QFileInfo(path).size()) / 1e6;
    std::printf("load %s status %d: %lld samples, %.3f s, %.0f MB/s of file, arrays %.0f MB\n",
                format, statusCode(s), static_cast<long long>(r.sampleCount), t, mb / t,
                double(r.sampleCount) * 8 / 1e6);
    return ok(s) ? 0 : 1;
}

int rawFile(const QString &path, int64_t n)
{
    IqBuffer header;
    header.sampleCount = n;
    header.sampleRate = 1e6;
    OutputFile h(rawHeaderPath(path), 4096);
    h.write(rawHeaderText(header, QDateTime::currentDateTime()));
    OutputFile d(path);
    std::vector<unsigned char> block(size_t(1) << 22);
    for (int64_t k = 0; k < n;) {
        const int64_t m = std::min<int64_t>(n - k, int64_t(block.size() / 4));
        for (int64_t j = 0; j < m; ++j) {
            bytes::putLe16(block.data() + 4 * j,
                           uint16_t(int16_t(30000 * std::sin(0.001 * double(k + j)))));
            bytes::putLe16(block.data() + 4 * j + 2,
                           uint16_t(int16_t(20000 * std::cos(0.0013 * double(k + j)))));
        }
        d.write(block.data(), size_t(m) * 4);
        k += m;
    }
    return d.commit() && h.commit() ? 0 : 1;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc == 5 && !std::strcmp(argv[1], "save"))
        return save(argv[2], QString::fromLocal8Bit(argv[3]), std::atoll(argv[4]));
    if (argc == 4 && !std::strcmp(argv[1], "load"))
        return load(argv[2], QString::fromLocal8Bit(argv[3]));
    if (argc == 4 && !std::strcmp(argv[1], "rawfile"))
        return rawFile(QString::fromLocal8Bit(argv[2]), std::atoll(argv[3]));
    std::fprintf(
            stderr,
            "usage: container_bench save|load wav|wv|raw FILE [SAMPLES] | rawfile FILE SAMPLES\n");
    return 2;
}
