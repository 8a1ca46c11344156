#include "binarytestsupport.h"
#include "dispatch.h"
#include "loomwavebinary.h"

#include <QDir>

#include <cstring>

namespace {

class LoomwaveBinary : public BinaryFiles
{
protected:
    IqStatus read(const QString &file, IqBuffer &r) { return readFiles(r, 23, file); }
    // A 64-byte header variant with the given scramble flag, followed by n test samples.
    QByteArray longHeaderFile(int32_t scrambleFlag, int32_t n)
    {
        QByteArray f = leInt32(64) + leInt32(n) + QByteArray("VTP\0", 4) + leInt32(0)
                       + leDouble(1.0) + leInt32(1) + leInt32(n) + leDouble(2.5e6)
                       + leInt32(scrambleFlag) + QByteArray(20, '\0');
        for (float (*signal)(int64_t) : {testI, testQ})
            for (int k = 0; k < n; ++k) {
                const float v = signal(k);
                f += QByteArray(reinterpret_cast<const char *>(&v), 4);
            }
        return f;
    }
};

}  // namespace

TEST_F(LoomwaveBinary, HeaderBytesAreExact)
{
    const IqBuffer rec = makeRecord(3, 1.25e6);
    ASSERT_EQ(writeFileOfType(rec, 23, path("a.ibn"), QString()), IqStatus::Ok);
    const QByteArray f = readAll(path("a.ibn"));
    ASSERT_EQ(f.size(), 40 + 3 * 8);
    const QByteArray expected = leInt32(40) + leInt32(3) + QByteArray("VTP\0", 4) + leInt32(0)
                                + leDouble(1.25e6) + leInt32(1) + leInt32(3) + leDouble(1.25e6);
    EXPECT_EQ(f.left(40).toHex(' '), expected.toHex(' '));
    float v;
    std::memcpy(&v, f.constData() + 40 + 12 + 4, 4);  // Q1: after three I values
    EXPECT_EQ(v, testQ(1));
}

TEST_F(LoomwaveBinary, RoundTripKeepsSamplesAndRate)
{
    const IqBuffer rec = makeRecord(5000, 7.68e6);
    ASSERT_EQ(writeFileOfType(rec, 23, path("a.ibn"), QString()), IqStatus::Ok);
    IqBuffer r;
    ASSERT_EQ(read(path("a.ibn"), r), IqStatus::Ok);
    EXPECT_TRUE(holdsTestSignal(r, 5000));
    EXPECT_EQ(r.sampleRate, 7.68e6);
}

TEST_F(LoomwaveBinary, LongHeaderIsSkippedAndScrambledFilesAreRefused)
{
    ASSERT_TRUE(writeAll(path("long.ibn"), longHeaderFile(0, 50)));
    IqBuffer r;
    ASSERT_EQ(read(path("long.ibn"), r), IqStatus::Ok);
    EXPECT_TRUE(holdsTestSignal(r, 50));
    EXPECT_EQ(r.sampleRate, 2.5e6);  // from offset 32, not 16

    ASSERT_TRUE(writeAll(path("scr.ibn"), longHeaderFile(1, 50)));
    IqBuffer s;
    EXPECT_EQ(read(path("scr.ibn"), s), IqStatus::Scrambled);
    EXPECT_TRUE(s.iData.isNull());
    EXPECT_EQ(s.sampleCount, 0);
}

TEST_F(LoomwaveBinary, UntrustedHeadersFailBeforeAllocating)
{
    const IqBuffer rec = makeRecord(100);
    ASSERT_EQ(writeFileOfType(rec, 23, path("a.ibn"), QString()), IqStatus::Ok);
    const QByteArray good = readAll(path("a.ibn"));
    struct Case
    {
        const char *what;
        QByteArray bytes;
    };
    QByteArray huge = good, negative = good, oneShort = good;
    huge.replace(4, 4, leInt32(0x7fffffff));
    negative.replace(4, 4, leInt32(-5));
    oneShort.chop(1);
    const Case cases[] = {
            {"empty", QByteArray()},
            {"header cut at 39", good.left(39)},
            {"long header cut at 63", longHeaderFile(0, 0).left(63)},
            {"count beyond the data", huge},
            {"negative count", negative},
            {"last Q value cut", oneShort},
    };
    for (const Case &c : cases) {
        IqBuffer r;
        EXPECT_EQ(loadBytes(23, c.bytes, r), IqStatus::FirstFile) << c.what;
        EXPECT_TRUE(r.iData.isNull() && r.qData.isNull()) << c.what;
        EXPECT_EQ(r.sampleCount, 0) << c.what;
    }
    IqBuffer r;
    EXPECT_EQ(read(path("missing.ibn"), r), IqStatus::FirstFile);
}

TEST_F(LoomwaveBinary, NumpyAgreesWithTheLayout)
{
    const int64_t n = 4099;
    ASSERT_EQ(writeFileOfType(makeRecord(n, 1e6), 23, path("a.ibn"), QString()), IqStatus::Ok);
    ASSERT_TRUE(runPython(QStringLiteral(R"(
n = int(sys.argv[2]); k = np.arange(n)
h = np.fromfile(sys.argv[1], dtype='<i4', count=10)
assert list(h[[0, 1, 6, 7]]) == [40, n, 1, n], h
assert np.fromfile(sys.argv[1], dtype='<f8', count=5)[4] == 1e6
d = np.fromfile(sys.argv[1], dtype='<f4', offset=40)
assert np.array_equal(d[:n], test_i(k)) and np.array_equal(d[n:], test_q(k))
m = 333; k = np.arange(m)
hdr = np.array([40, m], '<i4').tobytes() + b'VTP\0' + bytes(4) + np.array([3e6], '<f8').tobytes() \
    + np.array([1, m], '<i4').tobytes() + np.array([3e6], '<f8').tobytes()
with open(sys.argv[3], 'wb') as f:
    f.write(hdr); test_i(k).astype('<f4').tofile(f); test_q(k).astype('<f4').tofile(f)
)"),
                          {path("a.ibn"), QString::number(n), path("np.ibn")}));
    IqBuffer r;
    ASSERT_EQ(read(path("np.ibn"), r), IqStatus::Ok);
    EXPECT_TRUE(holdsTestSignal(r, 333));
    EXPECT_EQ(r.sampleRate, 3e6);
}
