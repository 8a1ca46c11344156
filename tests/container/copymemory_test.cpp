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

// One copy: the types and files of trovik-cli's command line, the file that tells the size of
// what was written, and that size (exactly, or at least for a header of varying length).
struct Copy
{
    const char *name, *from, *in, *to, *out, *written;
    int64_t bytes;
    bool exact;
};

const Copy kCopies[] = {
        {"MatToWv", "matlab-binary-mixed", "big.mat", "wv", "big.wv", "big.wv", 4 * kSamples + 1,
         false},
        {"IqwToSigmf", "iqw-pairs", "big.iqw", "sigmf", "big.sigmf-meta", "big.sigmf-data",
         8 * kSamples, true},
        // Two float32 arrays of 56 header bytes each after the file's 128.
        {"IqwToMat", "iqw-pairs", "big.iqw", "matlab-binary-mixed", "copy.mat", "copy.mat",
         128 + 2 * (56 + 4 * kSamples), true},
};

void PrintTo(const Copy &c, std::ostream *os)
{
    *os << c.name;
}

class CopyMemory : public ::testing::TestWithParam<Copy>
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

TEST_P(CopyMemory, HoldsOneChunk)
{
    const Copy &c = GetParam();
    long rss = 0;
    ASSERT_EQ(runMeasured({"copy", "--from", c.from, "--in", path(c.in), "--to", c.to, "--out",
                           path(c.out), "--chunk", std::to_string(kChunk)},
                          rss),
              0);
    const int64_t size = QFileInfo(path(c.written, 0)).size();
    if (c.exact)
        EXPECT_EQ(size, c.bytes);
    else
        EXPECT_GT(size, c.bytes);
    EXPECT_LT(rss, kAllowanceKiB + 8 * kChunk / 1024) << "peak " << rss / 1024 << " MiB";
    RecordProperty("peak_kib", int(rss));
}

INSTANTIATE_TEST_SUITE_P(Copies, CopyMemory, ::testing::ValuesIn(kCopies),
                         [](const auto &info) { return std::string(info.param.name); });

}  // namespace
