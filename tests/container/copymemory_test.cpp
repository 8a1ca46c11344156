// A chunked copy holds one chunk, whatever the file's size: the copy runs as trovik-cli in a
// child process and the child's peak resident memory is read back from the kernel.
#include "containertestutil.h"
#include "dispatch.h"
#include "iqwformat.h"
#include "matformat.h"

#include <gtest/gtest.h>

#include <QFileInfo>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

using namespace containertest;

namespace {

#ifdef TROVIK_COPY_LONG
constexpr int64_t kSamples = int64_t(256) << 20;  // 2 GiB of float I/Q
#else
constexpr int64_t kSamples = int64_t(32) << 20;  // 256 MiB of float I/Q
#endif
constexpr int64_t kChunk = int64_t(1) << 20;  // 8 MiB of arrays
// What the program needs beside the chunk: its libraries, the read and write buffers, a scan
// block and the SigMF hash blocks.
constexpr long kAllowanceKiB = 96 * 1024;

// Runs trovik-cli with args; the exit status and the peak resident memory (KiB).
int runMeasured(const std::vector<std::string> &args, long &maxRssKiB)
{
    std::vector<char *> argv{const_cast<char *>(TROVIK_CLI)};
    for (const std::string &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    // fork, not posix_spawn: a child that shares the parent's memory until exec inherits the
    // parent's peak as its own, while a forked child starts from the parent's present size.
    const pid_t pid = fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        execv(TROVIK_CLI, argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return -1;
    maxRssKiB = usage.ru_maxrss;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class CopyMemory : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        dir = new QTemporaryDir;
        // The record is made and written by a child of its own. A forked copy starts from this
        // process's resident size, and under AddressSanitizer freed arrays stay resident (its
        // quarantine): made here, they would count towards every copy's peak.
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            IqBuffer r = makeRecord(
                    kSamples, [](int64_t k) { return float(k % 1000) * 1e-3f; },
                    [](int64_t k) { return -float(k % 777) * 1e-3f; });
            const bool written
                    = writeFileOfType(r, 3, path("big.mat", 0), QString()) == IqStatus::Ok
                      && writeFileOfType(r, 18, path("big.iqw", 0), QString()) == IqStatus::Ok;
            _exit(written ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the files were not written";
    }
    static void TearDownTestSuite() { delete dir; }
    static std::string path(const char *name)
    {
        return dir->filePath(QLatin1String(name)).toStdString();
    }
    static QString path(const char *name, int) { return dir->filePath(QLatin1String(name)); }

    static QTemporaryDir *dir;
};

QTemporaryDir *CopyMemory::dir = nullptr;

TEST_F(CopyMemory, MatToWvHoldsOneChunk)
{
    long rss = 0;
    ASSERT_EQ(runMeasured({"copy", "--from", "matlab-binary-mixed", "--in", path("big.mat"), "--to",
                           "wv", "--out", path("big.wv"), "--chunk", std::to_string(kChunk)},
                          rss),
              0);
    EXPECT_EQ(QFileInfo(path("big.wv", 0)).size() > 4 * kSamples, true);
    EXPECT_LT(rss, kAllowanceKiB + 8 * kChunk / 1024) << "peak " << rss / 1024 << " MiB";
    RecordProperty("peak_kib", int(rss));
}

TEST_F(CopyMemory, IqwToSigmfHoldsOneChunk)
{
    long rss = 0;
    ASSERT_EQ(runMeasured({"copy", "--from", "iqw-pairs", "--in", path("big.iqw"), "--to", "sigmf",
                           "--out", path("big.sigmf-meta"), "--chunk", std::to_string(kChunk)},
                          rss),
              0);
    EXPECT_EQ(QFileInfo(path("big.sigmf-data", 0)).size(), 8 * kSamples);
    EXPECT_LT(rss, kAllowanceKiB + 8 * kChunk / 1024) << "peak " << rss / 1024 << " MiB";
    RecordProperty("peak_kib", int(rss));
}

}  // namespace
