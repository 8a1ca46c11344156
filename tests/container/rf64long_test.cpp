// A chunked copy into a WAV file of more than 4 GiB: it becomes RF64, we and sox read it.
// The source is a sparse WV file, so the test needs disk for the output only (about 4.4 GB).
#include "chunkedcopy.h"
#include "containertestutil.h"
#include "filetypes.h"
#include "framecodec.h"
#include "wavformat.h"

#include <gtest/gtest.h>

using namespace containertest;

TEST(Rf64Long, ChunkedCopyBeyondFourGibibytes)
{
    QTemporaryDir dir;
    const int64_t n = 1100000000;  // 4.4 GB of 16-bit stereo data
    const QByteArray header = "{TYPE:Genova-WV,0}{SAMPLES:" + QByteArray::number(qlonglong(n))
                              + "} {CLOCK:1000000}{WAVEFORM-"
                              + QByteArray::number(qlonglong(4 * n + 1)) + ":#";
    QFile wv(dir.filePath(QStringLiteral("big.wv")));
    ASSERT_TRUE(wv.open(QIODevice::WriteOnly));
    wv.write(header);
    ASSERT_TRUE(wv.resize(header.size() + 4 * n + 1));
    // The last three samples are not zero, so they can be found in the output.
    const int16_t tail[6] = {1000, -2000, 3000, -4000, 32767, -32767};
    ASSERT_TRUE(wv.seek(header.size() + 4 * (n - 3)));
    wv.write(reinterpret_cast<const char *>(tail), sizeof tail);
    wv.close();

    IqBuffer source;
    source.typeIndex = 32;
    source.iFileName = wv.fileName();
    const QString out = dir.filePath(QStringLiteral("big.wav"));
    ASSERT_EQ(convertInChunks(source, out, TypeCode::WavMixed, int64_t(1) << 22), IqStatus::Ok);
    QFile::remove(wv.fileName());
    EXPECT_EQ(QFileInfo(out).size(), 80 + 4 * n);

    QFile file(out);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    WavHeader h;
    ASSERT_EQ(parseWavHeader(file, h), IqStatus::Ok);
    EXPECT_EQ(h.count, n);
    EXPECT_EQ(h.dataOffset, 80);
    IqStatus status = IqStatus::Ok;
    const auto reader = frameCodecFor(TypeCode::WavMixed)
                                ->openReader(out, QString(), TypeCode::WavMixed, status);
    ASSERT_EQ(status, IqStatus::Ok);
    ASSERT_EQ(reader->frameCount(), n);
    float i[4], q[4];
    ASSERT_EQ(reader->read(n - 4, 4, FrameSpan{i, q, 1}), IqStatus::Ok);
    EXPECT_EQ(i[0], 0.0f);
    EXPECT_EQ(i[1], 1000.0f);  // the factor is 1: 32767 is the largest code
    EXPECT_EQ(q[2], -4000.0f);
    EXPECT_EQ(i[3], 32767.0f);

    if (haveProgram("sox")) {
        QByteArray info;
        ASSERT_EQ(run(QStringLiteral("sox"), {QStringLiteral("--i"), QStringLiteral("-s"), out},
                      &info),
                  0);
        EXPECT_EQ(info.trimmed(), QByteArray::number(qlonglong(n)));
        // sox reads the samples too: the last second of the file, as raw 16-bit codes.
        const QString raw = dir.filePath(QStringLiteral("end.raw"));
        ASSERT_EQ(run(QStringLiteral("sox"),
                      {out, QStringLiteral("-t"), QStringLiteral("raw"), raw,
                       QStringLiteral("trim"), QStringLiteral("%1s").arg(n - 3)}),
                  0);
        const QByteArray end = readAll(raw);
        ASSERT_EQ(end.size(), 12);
        EXPECT_EQ(le16At(end, 0), 1000);
        EXPECT_EQ(le16At(end, 10), -32767);
    }
}
