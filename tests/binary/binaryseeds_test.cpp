// Writes the seed corpora of the binary-format fuzz targets from files the writers produce.
// Runs only when TROVIK_WRITE_FUZZ_SEEDS is set:
//   TROVIK_WRITE_FUZZ_SEEDS=1 ./binary_tests --gtest_filter='BinarySeeds.*'
// Two-file inputs are framed as: selector byte, 16-bit little-endian size of the first file,
// first file, second file (see fuzz/binaryfuzzinput.h).
#include "binarytestsupport.h"
#include "dispatch.h"

#include <QDir>

namespace {

QByteArray twoFiles(const QByteArray &i, const QByteArray &q)
{
    const char size[2] = {char(i.size() & 0xff), char(i.size() >> 8)};
    return QByteArray(1, '\1') + QByteArray(size, 2) + i + q;
}

QByteArray oneFile(const QByteArray &f)
{
    return QByteArray(1, '\0') + f;
}

class BinarySeeds : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("TROVIK_WRITE_FUZZ_SEEDS"))
            GTEST_SKIP() << "set TROVIK_WRITE_FUZZ_SEEDS to rewrite fuzz/corpus";
    }
    void seed(const char *target, const char *name, const QByteArray &bytes)
    {
        const QString folder
                = QStringLiteral(TROVIK_FUZZ_CORPUS_DIR "/") + QString::fromLatin1(target);
        ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_TRUE(writeAll(folder + '/' + QString::fromLatin1(name), bytes));
    }
    // The bytes a writer produces for a small test record.
    QByteArray written(int code, int64_t n, const char *second = nullptr)
    {
        const QString i = tmp.filePath("i"), q = tmp.filePath("q");
        EXPECT_EQ(writeFileOfType(makeRecord(n, 1e6), code, i, q), IqStatus::Ok);
        return second ? readAll(q) : readAll(i);
    }
    QTemporaryDir tmp;
};

}  // namespace

TEST_F(BinarySeeds, Write)
{
    seed("binary_mat", "one_file", oneFile(written(3, 6)));
    seed("binary_mat", "one_file_empty", oneFile(written(3, 0)));
    seed("binary_mat", "two_files", twoFiles(written(2, 5), written(2, 5, "q")));

    // A compressed file of doubles and integers from an independent writer.
    ASSERT_TRUE(
            runPython(QStringLiteral("import scipy.io as sio\nk = np.arange(6)\n"
                                     "sio.savemat(sys.argv[1], {'I': test_i(k).astype(np.float64), "
                                     "'Q': (k - 3).astype(np.int16)}, do_compression=True)\n"),
                      {tmp.filePath("z.mat")}));
    seed("binary_mat", "compressed", oneFile(readAll(tmp.filePath("z.mat"))));

    seed("binary_spw", "spw", oneFile(written(12, 4)));
    seed("binary_spw", "ads_single",
         twoFiles("Sampling Frequency = 5.0\nNumber of points = 2\n$DATA\n" + leDouble(1)
                          + leDouble(2),
                  "$DATA\n" + leDouble(3) + leDouble(4)));

    const QByteArray time = "BINARY TIME\na b c 2\nthird\nfourth\n" + leDouble(0) + leDouble(1)
                            + leDouble(1e-6) + leDouble(2);
    seed("binary_adstime", "two_points", twoFiles(time, time));

    seed("binary_iqw", "pairs", oneFile(written(18, 5)));
    seed("binary_iqw", "blocks", QByteArray(1, '\1') + written(19, 5) + 'x');

    seed("binary_loomwave", "short_header", written(23, 4));
    seed("binary_loomwave", "long_header",
         leInt32(64) + leInt32(2) + QByteArray("VTP\0", 4) + leInt32(0) + leDouble(1e6) + leInt32(1)
                 + leInt32(2) + leDouble(1e6) + QByteArray(24, '\0') + QByteArray(16, '\x3f'));
}
