// WAV files beyond what a 32-bit RIFF size holds: the RF64 header we write, and RF64 / BW64
// files read by us and by sox.
#include "containertestutil.h"
#include "filetypes.h"
#include "wavformat.h"

#include <gtest/gtest.h>

using namespace containertest;

namespace {

QByteArray stereoData(int n)
{
    QByteArray b;
    for (int k = 0; k < n; ++k)
        for (int16_t v : {int16_t(k * 31 - 15000), int16_t(12000 - k * 17)})
            b.append(reinterpret_cast<const char *>(&v), 2);
    return b;
}

IqStatus readBytes(const QByteArray &bytes, IqBuffer &r)
{
    return loadBytes(TypeCode::WavMixed, bytes, r);
}

}  // namespace

TEST(Rf64, SwitchesOnlyWhereTheRiffSizeOverflows)
{
    const int64_t last = (int64_t(0xFFFFFFFF) - 36) / 4;  // stereo samples a RIFF size still holds
    EXPECT_FALSE(wavNeedsRf64(last, 2));
    EXPECT_TRUE(wavNeedsRf64(last + 1, 2));
    EXPECT_FALSE(wavNeedsRf64(2 * last, 1));
    EXPECT_TRUE(wavNeedsRf64(2 * last + 2, 1));
    const QByteArray riff = wavHeaderBytes(1000, 2, 48000);
    EXPECT_EQ(riff.size(), 44);
    EXPECT_TRUE(riff.startsWith("RIFF"));

    // "RF64", no 32-bit size, "WAVEds64" of 28 bytes: the file's size less 8, the data's size, the
    // sample count and no table; the usual "fmt ", and "data" of no 32-bit size.
    EXPECT_EQ(wavHeaderBytes(last + 1, 2, 48000, true).toHex(),
              QByteArray("52463634ffffffff57415645647336341c0000002400000001000000"
                         "dcffffff00000000f7ffff3f0000000000000000666d742010000000"
                         "0100020080bb000000ee02000400100064617461ffffffff"));
}

TEST(Rf64, Rf64AndBw64FilesReadLikeTheirRiffTwin)
{
    const QByteArray data = stereoData(1000);
    IqBuffer riff, large;
    ASSERT_EQ(readBytes(wavHeaderBytes(1000, 2, 48000) + data, riff), IqStatus::Ok);
    for (const char *magic : {"RF64", "BW64"}) {
        SCOPED_TRACE(magic);
        QByteArray file = wavHeaderBytes(1000, 2, 48000, true) + data;
        file.replace(0, 4, magic);
        ASSERT_EQ(readBytes(file, large), IqStatus::Ok);
        ASSERT_EQ(large.sampleCount, 1000);
        EXPECT_EQ(large.sampleRate, 48000.0);
        for (int k = 0; k < 1000; ++k) {
            ASSERT_EQ(large.iData[k], riff.iData[k]);
            ASSERT_EQ(large.qData[k], riff.qData[k]);
        }
        EXPECT_EQ(readBytes(file.left(file.size() - 1), large), IqStatus::FirstFile)
                << "data shorter than ds64 says";
        QByteArray noDs64 = file;
        noDs64.replace(12, 4, "JUNK");
        EXPECT_EQ(readBytes(noDs64, large), IqStatus::BadWavHeader);
        EXPECT_EQ(readBytes(file.left(30), large), IqStatus::FirstFile);
    }
}

TEST(Rf64, SoxReadsOurRf64Header)
{
    if (!haveProgram("sox"))
        GTEST_SKIP() << "sox is not installed";
    QTemporaryDir dir;
    const QByteArray data = stereoData(777);
    const QString wav = dir.filePath(QStringLiteral("r.wav")),
                  raw = dir.filePath(QStringLiteral("r.raw"));
    ASSERT_TRUE(writeAll(wav, wavHeaderBytes(777, 2, 44100, true) + data));
    QByteArray out;
    ASSERT_EQ(run(QStringLiteral("sox"), {QStringLiteral("--i"), QStringLiteral("-s"), wav}, &out),
              0);
    EXPECT_EQ(out.trimmed(), "777");
    ASSERT_EQ(run(QStringLiteral("sox"), {wav, QStringLiteral("-t"), QStringLiteral("raw"), raw}),
              0);
    EXPECT_EQ(readAll(raw), data);
}
