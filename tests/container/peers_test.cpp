// Our files against independent readers and writers: scipy, numpy and sox.
#include "containertestutil.h"
#include "dispatch.h"
#include "rawrecording.h"
#include "wavformat.h"
#include "wvformat.h"

#include <gtest/gtest.h>

using namespace containertest;

namespace {

class PeerTest : public TempDirTest
{
protected:
    void SetUp() override
    {
        if (!havePython("numpy, scipy.io.wavfile"))
            GTEST_SKIP() << TROVIK_TEST_PYTHON << " with numpy and scipy is not available";
    }
};

TEST_F(PeerTest, ScipyReadsOurStereoAndMonoWav)
{
    IqBuffer r = sineRecord(4321, 48000);
    ASSERT_EQ(writeFileOfType(r, 15, path("s.wav"), QString()), IqStatus::Ok);
    ASSERT_EQ(writeFileOfType(r, 14, path("i.wav"), path("q.wav")), IqStatus::Ok);
    ASSERT_TRUE(writeFloats(r, path("x.f32")));
    const char *script = R"(
import sys, warnings, numpy as np
from scipy.io import wavfile
warnings.simplefilter('error')   # a size field that disagrees with the file warns in scipy
d = sys.argv[1]
x = np.fromfile(d + '/x.f32', '<f4').astype(np.float64).reshape(2, -1)
want = np.trunc(x * (65535.9 / 2)).astype(np.int16)
rate, s = wavfile.read(d + '/s.wav')
assert rate == 48000 and s.dtype == np.int16 and s.shape == (4321, 2), (rate, s.dtype, s.shape)
assert (s[:, 0] == want[0]).all() and (s[:, 1] == want[1]).all()
for name, ch in (('i.wav', 0), ('q.wav', 1)):
    rate, m = wavfile.read(d + '/' + name)
    assert rate == 48000 and m.shape == (4321,) and (m == want[ch]).all()
print('ok')
)";
    EXPECT_TRUE(pythonSaysOk(script, {dir.path()}));
}

TEST_F(PeerTest, WeReadScipyWavFiles)
{
    const char *script = R"(
import sys, numpy as np
from scipy.io import wavfile
d = sys.argv[1]
k = np.arange(1234)
s16 = np.stack([(k * 53) % 65536 - 32768, 1000 - k], axis=1).astype(np.int16)
wavfile.write(d + '/p16.wav', 22050, s16)
wavfile.write(d + '/p8.wav', 8000, np.stack([k % 256, 255 - k % 256], axis=1).astype(np.uint8))
wavfile.write(d + '/pf.wav', 8000, s16.astype(np.float32))
)";
    ASSERT_EQ(python(QLatin1String(script), {dir.path()}), 0);
    IqBuffer r;
    ASSERT_EQ(readFiles(r, 15, path("p16.wav")), IqStatus::Ok);
    ASSERT_EQ(r.sampleCount, 1234);
    EXPECT_EQ(r.sampleRate, 22050.0);
    for (int k = 0; k < 1234; ++k) {
        ASSERT_EQ(r.iData[k], float(int16_t((k * 53) % 65536 - 32768))) << k;
        ASSERT_EQ(r.qData[k], float(1000 - k)) << k;
    }
    // 8-bit samples are taken as signed bytes (unsigned 200 reads as -56).
    ASSERT_EQ(readFiles(r, 15, path("p8.wav")), IqStatus::Ok);
    EXPECT_EQ(r.iData[200], -56.0f);
    EXPECT_EQ(r.qData[0], -1.0f);
    EXPECT_EQ(readFiles(r, 15, path("pf.wav")), IqStatus::BadWavHeader);
}

TEST_F(PeerTest, SoxAgreesWithOurWav)
{
    if (!haveProgram("sox") || !haveProgram("soxi"))
        GTEST_SKIP() << "sox is not installed";
    IqBuffer r = sineRecord(3000, 96000);
    ASSERT_EQ(writeFileOfType(r, 15, path("s.wav"), QString()), IqStatus::Ok);
    QByteArray out;
    for (const auto &[flag, want] : {std::pair{"-s", "3000"}, {"-r", "96000"}, {"-c", "2"}}) {
        ASSERT_EQ(run(QStringLiteral("soxi"), {QLatin1String(flag), path("s.wav")}, &out), 0);
        EXPECT_EQ(out.trimmed(), want) << flag;
    }
    // sox's own decoding of our samples.
    ASSERT_EQ(run(QStringLiteral("sox"), {path("s.wav"), "-t", "raw", path("s.raw")}), 0);
    EXPECT_EQ(readAll(path("s.raw")), readAll(path("s.wav")).mid(44));

    // A file sox writes, with a comment (a LIST chunk before the data), loads whole.
    ASSERT_EQ(run(QStringLiteral("sox"), {"-n", "-r", "8000", "-c", "2", "-b", "16", "--comment",
                                          "trovik", path("g.wav"), "synth", "0.1", "sine", "440"}),
              0);
    ASSERT_EQ(run(QStringLiteral("sox"), {path("g.wav"), "-t", "raw", path("g.raw")}), 0);
    const QByteArray raw = readAll(path("g.raw"));
    IqBuffer g;
    ASSERT_EQ(readFiles(g, 15, path("g.wav")), IqStatus::Ok);
    ASSERT_EQ(g.sampleCount, 800);
    ASSERT_EQ(raw.size(), 800 * 4);
    for (int k = 0; k < 800; ++k) {
        ASSERT_EQ(g.iData[k], float(le16At(raw, 4 * k))) << k;
        ASSERT_EQ(g.qData[k], float(le16At(raw, 4 * k + 2))) << k;
    }
}

TEST_F(PeerTest, NumpyReadsOurRawRecordingAndWv)
{
    IqBuffer r = sineRecord(2500, 1e6);
    ASSERT_EQ(writeFileOfType(r, 24, path("r.wvd"), QString()), IqStatus::Ok);
    ASSERT_EQ(writeFileOfType(r, 25, path("w.wv"), QString()), IqStatus::Ok);
    ASSERT_TRUE(writeFloats(r, path("x.f32")));
    const char *script = R"(
import sys, numpy as np
d = sys.argv[1]
x = np.fromfile(d + '/x.f32', '<f4').astype(np.float64).reshape(2, -1)
raw = np.fromfile(d + '/r.wvd', '<i2').reshape(-1, 2).T
assert raw.shape == (2, 2500)
assert (raw == np.trunc(x * 32767 + 0.5)).all()          # P = 1
b = open(d + '/w.wv', 'rb').read()
h = b.index(b'#')
wv = np.frombuffer(b[h + 1:-1], '<i2').reshape(-1, 2).T
peak = np.sqrt((x.astype(np.float32).astype(np.float64) ** 2).sum(axis=0)).max()
assert b[-1:] == b'}' and wv.shape == (2, 2500)
assert np.abs(wv - np.trunc(x * (32767 / peak) + 0.5)).max() == 0
print('ok')
)";
    EXPECT_TRUE(pythonSaysOk(script, {dir.path()}));
}

TEST_F(PeerTest, WeReadNumpyRawRecording)
{
    // Every 16-bit code once, and numpy's own reading of them as two's complement / 32767.
    const char *script = R"(
import sys, numpy as np
d = sys.argv[1]
codes = np.arange(65536, dtype='<u2')
codes.tofile(d + '/n.wvd')
open(d + '/n.wvh', 'w').write('{TYPE:RAW16LE}{CLOCK:2500000.000000}{REFLEVEL:-3.500}{FREQUENCY:100.5}')
(codes.view('<i2').astype(np.float64) / 32767).astype('<f4').tofile(d + '/n.expect')
)";
    ASSERT_EQ(python(QLatin1String(script), {dir.path()}), 0);
    IqBuffer r;
    ASSERT_EQ(readFiles(r, 24, path("n.wvd")), IqStatus::Ok);
    ASSERT_EQ(r.sampleCount, 32768);
    EXPECT_EQ(r.sampleRate, 2.5e6);
    EXPECT_EQ(r.refLevel, -3.5f);
    EXPECT_EQ(r.centerFrequency, 100.5);
    const QByteArray expect = readAll(path("n.expect"));
    ASSERT_EQ(expect.size(), 65536 * 4);
    const auto *x = reinterpret_cast<const float *>(expect.constData());
    for (int k = 0; k < 32768; ++k) {
        ASSERT_EQ(r.iData[k], x[2 * k]) << "code " << 2 * k;
        ASSERT_EQ(r.qData[k], x[2 * k + 1]) << "code " << 2 * k + 1;
    }
}

}  // namespace
