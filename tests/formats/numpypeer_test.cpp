#include "../container/containertestutil.h"
#include "textformats.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cmath>
#include <random>

// numpy as an independent reader and writer of the plain text layouts.
namespace {

using NumpyPeer = containertest::NumpyTest;

// Runs a script with the folder as its argument; its standard output.
QByteArray runPython(const char *script, const QString &folder)
{
    QByteArray out;
    EXPECT_EQ(containertest::python(QString::fromLatin1(script), {folder}, &out), 0);
    return out;
}

QByteArray floatBytes(const SampleArray &a, int64_t count)
{
    return QByteArray(reinterpret_cast<const char *>(a.data()), int(count * 4));
}

const char *kCheckOurFiles = R"(
import sys, numpy as np
d = sys.argv[1]
i, q = np.fromfile(d + '/x.f32', dtype=np.float32).reshape(2, -1)
mixed = np.loadtxt(d + '/mixed.asc', ndmin=2)
assert mixed.shape == (len(i), 2), mixed.shape
assert np.allclose(mixed[:, 0], i, rtol=1.2e-7, atol=0) and np.allclose(mixed[:, 1], q, rtol=1.2e-7, atol=0)
si = np.loadtxt(d + '/single_i.dat'); sq = np.loadtxt(d + '/single_q.dat')
assert np.array_equal(si, mixed[:, 0]) and np.array_equal(sq, mixed[:, 1])
# numpy's own "%.7e" text of the same float32 values is byte-identical to ours.
import io
out = io.BytesIO()
np.savetxt(out, np.column_stack([i.astype(np.float64), q.astype(np.float64)]), fmt='%.7e', delimiter=' ')
assert out.getvalue() == open(d + '/mixed.asc', 'rb').read()
out = io.BytesIO()
np.savetxt(out, i.astype(np.float64), fmt='%.7e')
assert out.getvalue() == open(d + '/single_i.dat', 'rb').read()
print('ok', len(i))
)";

const char *kWriteNumpyFiles = R"(
import sys, numpy as np
d = sys.argv[1]
rng = np.random.default_rng(4)
v = np.concatenate([rng.normal(0, 1, 3000), rng.normal(0, 1e-30, 50), rng.normal(0, 1e30, 50), [0.0, -0.0, 1e-45, 3.4e38]])
w = rng.uniform(-5, 5, len(v))
np.savetxt(d + '/np_mixed.txt', np.column_stack([v, w]), fmt='%.18e', delimiter=' ')
np.savetxt(d + '/np_i.txt', v, fmt='%g')
np.savetxt(d + '/np_q.txt', w, fmt='%.9f')
v.astype(np.float32).tofile(d + '/np_v.f32')
w.astype(np.float32).tofile(d + '/np_w.f32')
np.float32(np.array([float('%g' % x) for x in v])).tofile(d + '/np_vg.f32')
np.float32(np.array([float('%.9f' % x) for x in w])).tofile(d + '/np_wf.f32')
print(len(v))
)";

}  // namespace

TEST_F(NumpyPeer, NumpyReadsOurMatlabAsciiFilesAndFormatsThemIdentically)
{
    std::mt19937 rng(9);
    std::normal_distribution<float> gauss(0.0f, 1.0f);
    std::vector<float> i(5000), q(5000);
    for (size_t k = 0; k < i.size(); ++k) {
        i[k] = gauss(rng) * std::pow(10.0f, float(int(k % 21) - 10));
        q[k] = gauss(rng);
    }
    const IqBuffer r = containertest::record(i, q);
    ASSERT_EQ(writeTextIq(r, 1, path("mixed.asc"), QString()), IqStatus::Ok);
    ASSERT_EQ(writeTextIq(r, 0, path("single_i.dat"), path("single_q.dat")), IqStatus::Ok);
    ASSERT_TRUE(containertest::writeFloats(r, path("x.f32")));
    EXPECT_EQ(runPython(kCheckOurFiles, dir.path()), QByteArray("ok 5000\n"));
}

TEST_F(NumpyPeer, WeReadNumpysTextFiles)
{
    const int count = runPython(kWriteNumpyFiles, dir.path()).trimmed().toInt();
    ASSERT_EQ(count, 3104);
    // Seventeen-digit text of a double, read as double and rounded to float: numpy's cast; and
    // numpy's "%g" and "%.9f" texts in two files.
    struct Case
    {
        int code;
        const char *i, *q, *iWant, *qWant;
    };
    for (const Case &c : {Case{1, "np_mixed.txt", "", "np_v.f32", "np_w.f32"},
                          Case{4, "np_i.txt", "np_q.txt", "np_vg.f32", "np_wf.f32"}}) {
        IqBuffer r;
        r.iFileName = path(c.i);
        r.qFileName = *c.q ? path(c.q) : QString();
        ASSERT_EQ(readTextIq(r, c.code), IqStatus::Ok) << c.i;
        ASSERT_EQ(r.sampleCount, count);
        EXPECT_EQ(floatBytes(r.iData, count), containertest::readAll(path(c.iWant))) << c.i;
        EXPECT_EQ(floatBytes(r.qData, count), containertest::readAll(path(c.qWant))) << c.i;
    }
}
