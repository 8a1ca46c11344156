#include "binarytestsupport.h"
#include "dispatch.h"

#include <QFileInfo>

#include <cstring>

using IqwFormat = BinaryFiles;

// Pairs interleave I and Q; blocks hold all I values, then all Q values. Each writes 8 bytes a
// sample, reads back what it wrote, and takes no stray bytes as a sample.
TEST_F(IqwFormat, LayoutRoundTripAndFailures)
{
    struct Layout
    {
        int code;
        int q7At;  // the byte where Q7 of 1000 samples starts
    };
    for (const Layout l : {Layout{18, 8 * 7 + 4}, Layout{19, 4000 + 4 * 7}}) {
        SCOPED_TRACE(l.code);
        ASSERT_EQ(writeFileOfType(makeRecord(1000), l.code, path("a.iqw"), QString()),
                  IqStatus::Ok);
        const QByteArray bytes = readAll(path("a.iqw"));
        ASSERT_EQ(bytes.size(), 8000);
        float v;
        std::memcpy(&v, bytes.constData() + l.q7At, 4);
        EXPECT_EQ(v, testQ(7));
        IqBuffer r;
        ASSERT_EQ(readFiles(r, l.code, path("a.iqw")), IqStatus::Ok);
        EXPECT_TRUE(holdsTestSignal(r, 1000));
        // 8001 bytes: 1000 samples and one stray byte; fewer than 8 bytes: no sample, no fault.
        ASSERT_EQ(loadBytes(l.code, bytes + "x", r), IqStatus::Ok);
        EXPECT_TRUE(holdsTestSignal(r, 1000));
        ASSERT_EQ(loadBytes(l.code, QByteArray(7, 'a'), r), IqStatus::Ok);
        EXPECT_EQ(r.sampleCount, 0);
        ASSERT_EQ(writeFileOfType(IqBuffer(), l.code, path("e.iqw"), QString()), IqStatus::Ok);
        EXPECT_EQ(QFileInfo(path("e.iqw")).size(), 0);
        // A missing file and an unwritable target fail as the first file.
        EXPECT_EQ(readFiles(r, l.code, path("none.iqw")), IqStatus::FirstFile);
        EXPECT_TRUE(r.iData.isNull());
        EXPECT_EQ(writeFileOfType(makeRecord(10), l.code, path("no/such/dir.iqw"), QString()),
                  IqStatus::FirstFile);
    }
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
    IqBuffer r;
    ASSERT_EQ(readFiles(r, 18, path("np_p.iqw")), IqStatus::Ok);
    EXPECT_TRUE(holdsTestSignal(r, n + 17));
    ASSERT_EQ(readFiles(r, 19, path("np_b.iqw")), IqStatus::Ok);
    EXPECT_TRUE(holdsTestSignal(r, n + 17));
}
