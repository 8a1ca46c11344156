// Throughput of the text writers and readers against printf-style formatting and numpy.
//   text_bench [--samples N] [--no-numpy] [--dir FOLDER]
#include "textformats.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Result
{
    const char *name;
    double seconds;
};

template<typename F>
Result timed(const char *name, F f)
{
    const auto start = Clock::now();
    f();
    return {name, secondsSince(start)};
}

double fprintfOneFile(const IqBuffer &r, const QString &path)
{
    const auto start = Clock::now();
    FILE *f = std::fopen(path.toLocal8Bit().constData(), "w");
    for (int64_t k = 0; k < r.sampleCount; ++k)
        std::fprintf(f, "%0.7e %0.7e\n", double(r.iData[k]), double(r.qData[k]));
    std::fclose(f);
    return secondsSince(start);
}

double fprintfTwoFiles(const IqBuffer &r, const QString &iPath, const QString &qPath)
{
    const auto start = Clock::now();
    for (const auto &[path, data] :
         {std::pair{iPath, r.iData.data()}, std::pair{qPath, r.qData.data()}}) {
        FILE *f = std::fopen(path.toLocal8Bit().constData(), "w");
        for (int64_t k = 0; k < r.sampleCount; ++k)
            std::fprintf(f, "%0.7e\n", double(data[k]));
        std::fclose(f);
    }
    return secondsSince(start);
}

const char *kNumpyScript = R"(
import sys, time, numpy as np
d, n = sys.argv[1], int(sys.argv[2])
i = np.fromfile(d + '/i.f32', dtype=np.float32).astype(np.float64)
q = np.fromfile(d + '/q.f32', dtype=np.float32).astype(np.float64)
t = time.perf_counter(); np.savetxt(d + '/np.asc', np.column_stack([i, q]), fmt='%.7e', delimiter=' ')
w = time.perf_counter() - t
t = time.perf_counter(); a = np.loadtxt(d + '/np.asc', dtype=np.float32)
r = time.perf_counter() - t
assert a.shape == (n, 2)
print(w, r)
)";

void printRow(const char *name, double seconds, int64_t rows)
{
    std::printf("%-34s %8.3f s %8.2f M rows/s\n", name, seconds, double(rows) / seconds / 1e6);
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int64_t count = 10000000;
    bool numpy = true;
    QString folder;
    const QStringList args = app.arguments();
    for (int k = 1; k < args.size(); ++k) {
        if (args[k] == QLatin1String("--samples") && k + 1 < args.size())
            count = args[++k].toLongLong();
        else if (args[k] == QLatin1String("--no-numpy"))
            numpy = false;
        else if (args[k] == QLatin1String("--dir") && k + 1 < args.size())
            folder = args[++k];
    }
    QTemporaryDir temp(folder.isEmpty() ? QDir::tempPath() + QStringLiteral("/text_bench-XXXXXX")
                                        : folder + QStringLiteral("/text_bench-XXXXXX"));
    const auto path = [&](const char *name) { return temp.filePath(QLatin1String(name)); };

    IqBuffer r;
    allocateSamples(r, count);
    r.sampleCount = count;
    std::mt19937 rng(1);
    std::normal_distribution<float> gauss(0.0f, 0.3f);
    for (int64_t k = 0; k < count; ++k) {
        r.iData[k] = gauss(rng);
        r.qData[k] = gauss(rng);
    }
    std::printf("%lld samples (rows), files in %s\n", static_cast<long long>(count),
                temp.path().toLocal8Bit().constData());

    const double fOne = fprintfOneFile(r, path("fprintf.asc"));
    const double fTwo = fprintfTwoFiles(r, path("fprintf.i"), path("fprintf.q"));
    const Result wOne
            = timed("writeTextIq one file", [&] { writeTextIq(r, 1, path("one.asc"), QString()); });
    const Result wTwo = timed("writeTextIq two files",
                              [&] { writeTextIq(r, 0, path("two.i"), path("two.q")); });
    IqBuffer back;
    back.iFileName = path("one.asc");
    const Result rOne = timed("readTextIq one file", [&] { readTextIq(back, 1); });
    const bool sameOne = back.sampleCount == count
                         && QFile(path("one.asc")).size() == QFile(path("fprintf.asc")).size();
    back.iFileName = path("two.i");
    back.qFileName = path("two.q");
    const Result rTwo = timed("readTextIq two files", [&] { readTextIq(back, 0); });

    printRow("fprintf %0.7e one file", fOne, count);
    printRow("fprintf %0.7e two files", fTwo, count);
    for (const Result &x : {wOne, wTwo, rOne, rTwo})
        printRow(x.name, x.seconds, count);
    std::printf("write one file: %.2fx fprintf; two files: %.2fx fprintf\n", fOne / wOne.seconds,
                fTwo / wTwo.seconds);
    if (!sameOne || back.sampleCount != count)
        std::printf("WARNING: read-back count or file size differs\n");

    if (numpy) {
        QFile fi(path("i.f32")), fq(path("q.f32"));
        fi.open(QIODevice::WriteOnly);
        fi.write(reinterpret_cast<const char *>(r.iData.data()), count * 4);
        fi.close();
        fq.open(QIODevice::WriteOnly);
        fq.write(reinterpret_cast<const char *>(r.qData.data()), count * 4);
        fq.close();
        QProcess p;
        p.start(QStringLiteral(TROVIK_BENCH_PYTHON),
                {QStringLiteral("-c"), QString::fromLatin1(kNumpyScript), temp.path(),
                 QString::number(count)});
        p.waitForFinished(-1);
        const QList<QByteArray> times = p.readAllStandardOutput().trimmed().split(' ');
        if (times.size() == 2) {
            const double npWrite = times[0].toDouble();
            const double npRead = times[1].toDouble();
            printRow("numpy.savetxt %.7e", npWrite, count);
            printRow("numpy.loadtxt float32", npRead, count);
            std::printf("write one file: %.1fx numpy.savetxt; read one file: %.2fx numpy.loadtxt, "
                        "two files: %.2fx\n",
                        npWrite / wOne.seconds, npRead / rOne.seconds, npRead / rTwo.seconds);
        } else {
            std::printf("numpy run failed: %s\n", p.readAllStandardError().constData());
        }
    }
    return 0;
}
