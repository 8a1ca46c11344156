// Times one load or one save of a binary format in a fresh process, so the peak resident size
// reported afterwards belongs to that one operation.
//   binary_bench save FORMAT FILE SAMPLES
//   binary_bench load FORMAT FILE
// FORMAT: iqw-pairs iqw-blocks ibn spw mat sigmf (FILE: x.sigmf-meta, beside it x.sigmf-data).
// Prints "seconds=… maxrss_kb=… samples=…".
#include "dispatch.h"

#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Format
{
    const char *name;
    int code;
};

const Format kFormats[] = {
        {"iqw-pairs", 18},
        {"iqw-blocks", 19},
        {"ibn", 23},
        {"spw", 12},
        {"mat", 3},
        {"sigmf", 33},
};

long maxRssKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

double seconds(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 4)
        return 2;
    const Format *f = nullptr;
    for (const Format &c : kFormats)
        if (!std::strcmp(c.name, argv[2]))
            f = &c;
    if (!f)
        return 2;
    const QString file = QString::fromLocal8Bit(argv[3]);
    IqBuffer r;
    IqStatus status;
    double t;
    if (!std::strcmp(argv[1], "save") && argc > 4) {
        const int64_t n = std::atoll(argv[4]);
        if (allocateSamples(r, n) != IqStatus::Ok)
            return 3;
        for (int64_t k = 0; k < n; ++k) {
            r.iData[k] = std::sin(0.001f * float(k % 100000));
            r.qData[k] = std::cos(0.001f * float(k % 100000));
        }
        r.sampleCount = n;
        r.sampleRate = 1e6;
        const auto t0 = std::chrono::steady_clock::now();
        status = writeFileOfType(r, f->code, file, QString());
        t = seconds(t0);
    } else {
        r.iFileName = file;
        const auto t0 = std::chrono::steady_clock::now();
        status = readFileOfType(r, f->code);
        t = seconds(t0);
    }
    std::printf("seconds=%.4f maxrss_kb=%ld samples=%lld status=%d\n", t, maxRssKb(),
                (long long)r.sampleCount, int(status));
    return status == IqStatus::Ok ? 0 : 1;
}
