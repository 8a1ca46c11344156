#include "binarytestsupport.h"
#include "dispatch.h"

#include <QDir>

#include <cstring>

namespace {

class IqwFormat : public ::testing::Test
{
protected:
    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
};

IqBuffer readWith(int typeCode, const QString &file, IqStatus &status)
{
    IqBuffer r;
    r.iFileName = file;
    status = readFileOfType(r, typeCode);
    return r;
}

}  // namespace

TEST_F(IqwFormat, PairsAndBlocksHaveTheirLayoutAndReadBack)
{
    const IqBuffer rec = makeRecord(1000);
    ASSERT_EQ(writeFileOfType(rec, 18, path("p.iqw"), QString()), IqStatus::Ok);
    ASSERT_EQ(writeFileOfType(rec, 19, path("b.iqw"), QString()), IqStatus::Ok);
    const QByteArray pairs = readBytes(path("p.iqw"));
    const QByteArray blocks = readBytes(path("b.iqw"));
    ASSERT_EQ(pairs.size(), 8000);
    ASSERT_EQ(blocks.size(), 8000);
    float v;
    std::memcpy(&v, pairs.constData() + 8 * 7 + 4, 4);  // Q7
    EXPECT_EQ(v, testQ(7));
    std::memcpy(&v, blocks.constData() + 4000 + 4 * 7, 4);  // Q7
    EXPECT_EQ(v, testQ(7));

    IqStatus s;
    EXPECT_TRUE(holdsTestSignal(readWith(18, path("p.iqw"), s), 1000));
    EXPECT_EQ(s, IqStatus::Ok);
    EXPECT_TRUE(holdsTestSignal(readWith(19, path("b.iqw"), s), 1000));
    EXPECT_EQ(s, IqStatus::Ok);
}

TEST_F(IqwFormat, TrailingPartialSampleIsIgnored)
{
    // 801 bytes: 100 samples and one stray byte.
    const IqBuffer rec = makeRecord(100);
    ASSERT_EQ(writeFileOfType(rec, 18, path("p.iqw"), QString()), IqStatus::Ok);
    ASSERT_EQ(writeFileOfType(rec, 19, path("b.iqw"), QString()), IqStatus::Ok);
    for (const char *name : {"p.iqw", "b.iqw"}) {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write("x", 1);
    }
    IqStatus s;
    EXPECT_TRUE(holdsTestSignal(readWith(18, path("p.iqw"), s), 100));
    EXPECT_TRUE(holdsTestSignal(readWith(19, path("b.iqw"), s), 100));
    // Fewer than 8 bytes: no sample at all, still a success.
    writeBytes(path("tiny.iqw"), QByteArray(7, 'a'));
    EXPECT_EQ(readWith(18, path("tiny.iqw"), s).sampleCount, 0);
    EXPECT_EQ(s, IqStatus::Ok);
}

TEST_F(IqwFormat, MissingFileAndUnwritableTargetFailWithMinusOne)
{
    IqStatus s;
    const IqBuffer r = readWith(18, path("none.iqw"), s);
    EXPECT_EQ(s, IqStatus::FirstFile);
    EXPECT_TRUE(r.iData.isNull());
    readWith(19, path("none.iqw"), s);
    EXPECT_EQ(s, IqStatus::FirstFile);
    const IqBuffer rec = makeRecord(10);
    EXPECT_EQ(writeFileOfType(rec, 18, path("no/such/dir.iqw"), QString()), IqStatus::FirstFile);
    EXPECT_EQ(writeFileOfType(rec, 19, path("no/such/dir.iqw"), QString()), IqStatus::FirstFile);
}

TEST_F(IqwFormat, NumpyReadsOurFilesAndWeReadNumpys)
{
    const int64_t n = 100003;  // not a multiple of any block size
    const IqBuffer rec = makeRecord(n);
    ASSERT_EQ(writeFileOfType(rec, 18, path("p.iqw"), QString()), IqStatus::Ok);
    ASSERT_EQ(writeFileOfType(rec, 19, path("b.iqw"), QString()), IqStatus::Ok);
    ASSERT_TRUE(runPython(QStringLiteral(R"(
n = int(sys.argv[3]); k = np.arange(n)
p = np.fromfile(sys.argv[1], dtype='<f4')
b = np.fromfile(sys.argv[2], dtype='<f4')
assert p.size == 2 * n and b.size == 2 * n
assert np.array_equal(p[0::2], test_i(k)) and np.array_equal(p[1::2], test_q(k))
assert np.array_equal(b[:n], test_i(k)) and np.array_equal(b[n:], test_q(k))
m = n + 17; k = np.arange(m)
np.stack([test_i(k), test_q(k)], axis=1).astype('<f4').tofile(sys.argv[4])
np.concatenate([test_i(k), test_q(k)]).astype('<f4').tofile(sys.argv[5])
)"),
                          {path("p.iqw"), path("b.iqw"), QString::number(n), path("np_p.iqw"),
                           path("np_b.iqw")}));
    IqStatus s;
    EXPECT_TRUE(holdsTestSignal(readWith(18, path("np_p.iqw"), s), n + 17));
    EXPECT_TRUE(holdsTestSignal(readWith(19, path("np_b.iqw"), s), n + 17));
}

TEST_F(IqwFormat, EmptyRecordWritesEmptyFile)
{
    IqBuffer empty;
    ASSERT_EQ(writeFileOfType(empty, 18, path("e.iqw"), QString()), IqStatus::Ok);
    EXPECT_EQ(QFileInfo(path("e.iqw")).size(), 0);
}
