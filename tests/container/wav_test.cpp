#include "containertestutil.h"
#include "dispatch.h"
#include "filetypes.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace containertest;

namespace {

// A hand-made RIFF file: "RIFF" size "WAVE" and the given chunks.
QByteArray riff(const QByteArray &chunks, uint32_t riffSize = 0)
{
    QByteArray b("RIFF");
    const uint32_t size = riffSize ? riffSize : uint32_t(chunks.size() + 4);
    b.append(reinterpret_cast<const char *>(&size), 4);
    return b + "WAVE" + chunks;
}

QByteArray chunk(const char *id, const QByteArray &body, int64_t claimed = -1)
{
    const uint32_t size = uint32_t(claimed < 0 ? body.size() : claimed);
    QByteArray b(id, 4);
    b.append(reinterpret_cast<const char *>(&size), 4);
    b += body;
    if (body.size() & 1)
        b += '\0';
    return b;
}

QByteArray fmtBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, int extra = 0)
{
    QByteArray b(16 + extra, '\0');
    auto *p = reinterpret_cast<unsigned char *>(b.data());
    p[0] = uint8_t(tag), p[1] = uint8_t(tag >> 8), p[2] = uint8_t(channels),
    p[3] = uint8_t(channels >> 8);
    for (int k = 0; k < 4; ++k)
        p[4 + k] = uint8_t(rate >> (8 * k));
    p[12] = uint8_t(channels * bits / 8);
    p[14] = uint8_t(bits);
    return b;
}

IqStatus readBytes(const QByteArray &bytes, IqBuffer &r)
{
    return loadBytes(TypeCode::WavMixed, bytes, r);
}

QByteArray pcm16(const QByteArray &data)
{
    return riff(chunk("fmt ", fmtBody(1, 2, 8000, 16)) + chunk("data", data));
}

using WavTest = TempDirTest;

TEST_F(WavTest, HeadersAreByteExact)
{
    // "RIFF", its size, "WAVEfmt ", 16, PCM, channels, 44100 Hz, the byte rate (trunc(44100.75 *
    // block)), the block, 16 bits, "data" and its size.
    struct Case
    {
        int code, channels;
        const char *i, *q, *header;
    };
    for (const Case &c : {Case{15, 2, "s.wav", "",
                               "52494646c40f000057415645666d7420100000000100020044ac0000"
                               "13b102000400100064617461a00f0000"},
                          Case{14, 1, "i.wav", "q.wav",
                               "52494646f407000057415645666d7420100000000100010044ac0000"
                               "895801000200100064617461d0070000"}}) {
        SCOPED_TRACE(c.code);
        const QString q = *c.q ? path(c.q) : QString();
        ASSERT_EQ(writeFileOfType(sineRecord(1000, 44100.75), c.code, path(c.i), q), IqStatus::Ok);
        for (const QString &file : {path(c.i), q}) {
            if (file.isEmpty())
                continue;
            const QByteArray b = readAll(file);
            EXPECT_EQ(b.size(), 44 + 2 * c.channels * 1000);
            EXPECT_EQ(b.left(44).toHex(), QByteArray(c.header));
        }
    }
}

// Both channels take one factor, 65535.9 / 2 over the largest magnitude (1 here), in a stereo
// file and in a pair of mono files alike.
TEST_F(WavTest, RoundTripUsesFactorOfLargestMagnitude)
{
    const IqBuffer r = sineRecord(5000);
    struct Case
    {
        int code;
        const char *i, *q;
    };
    for (const Case &c : {Case{15, "a.wav", ""}, Case{14, "i.wav", "q.wav"}}) {
        SCOPED_TRACE(c.code);
        const QString q = *c.q ? path(c.q) : QString();
        ASSERT_EQ(writeFileOfType(r, c.code, path(c.i), q), IqStatus::Ok);
        IqBuffer back;
        ASSERT_EQ(readFiles(back, c.code, path(c.i), q), IqStatus::Ok);
        ASSERT_EQ(back.sampleCount, 5000);
        EXPECT_EQ(back.sampleRate, 1e6);
        EXPECT_EQ(back.iData[0], 32767.0f);
        EXPECT_EQ(back.iData[1], -32767.0f);
        for (int64_t k = 0; k < 5000; ++k) {
            EXPECT_EQ(back.iData[k], std::trunc(double(r.iData[k]) * 32767.95)) << k;
            EXPECT_EQ(back.qData[k], std::trunc(double(r.qData[k]) * 32767.95)) << k;
        }
    }
}

TEST_F(WavTest, LouderChannelNeverWraps)
{
    // I spans +-0.1, Q spans +-3: the factor follows Q, so Q's peaks stay at +-32767.
    IqBuffer r = makeRecord(
            100, [](int64_t k) { return k % 2 ? 0.1f : -0.1f; },
            [](int64_t k) { return float(3.0 * std::sin(0.2 * k)); });
    r.qData[10] = 3.0f;
    r.qData[11] = -3.0f;
    ASSERT_EQ(writeFileOfType(r, 15, path("a.wav"), QString()), IqStatus::Ok);
    IqBuffer back;
    ASSERT_EQ(readFiles(back, 15, path("a.wav")), IqStatus::Ok);
    EXPECT_EQ(back.qData[10], 32767.0f);
    EXPECT_EQ(back.qData[11], -32767.0f);
    for (int64_t k = 0; k < 100; ++k) {
        EXPECT_GE(back.qData[k] * r.qData[k], 0.0f) << "sign wrapped at " << k;
        EXPECT_EQ(back.iData[k], std::trunc(double(r.iData[k]) * 65535.9 / 6.0));
    }
}

TEST(WavRead, PcmCodesAreSignedLittleEndian)
{
    // 16 bits: FF 00 is 255, 00 80 is -32768. 8 bits stay signed too: 80 is -128.
    struct Case
    {
        uint16_t bits;
        QByteArray data;
        std::vector<float> i, q;
    };
    for (const Case &c : {Case{16, QByteArray::fromHex("ff000080"), {255}, {-32768}},
                          Case{8, QByteArray::fromHex("807f01ff"), {-128, 1}, {127, -1}}}) {
        SCOPED_TRACE(c.bits);
        IqBuffer r;
        ASSERT_EQ(
                readBytes(riff(chunk("fmt ", fmtBody(1, 2, 8000, c.bits)) + chunk("data", c.data)),
                          r),
                IqStatus::Ok);
        ASSERT_EQ(r.sampleCount, int64_t(c.i.size()));
        EXPECT_EQ(r.sampleRate, 8000.0);
        for (size_t k = 0; k < c.i.size(); ++k) {
            EXPECT_EQ(r.iData[int64_t(k)], c.i[k]);
            EXPECT_EQ(r.qData[int64_t(k)], c.q[k]);
        }
    }
}

TEST(WavRead, RefusesWhatItCannotRead)
{
    const QByteArray data = le16Codes({1, 2});
    QByteArray notRiff = pcm16(data), notWave = pcm16(data);
    notRiff[0] = 'X';
    notWave[8] = 'X';
    const std::pair<const char *, QByteArray> cases[] = {
            {"float",
             riff(chunk("fmt ", fmtBody(3, 2, 8000, 32)) + chunk("data", QByteArray(8, 0)))},
            {"mono", riff(chunk("fmt ", fmtBody(1, 1, 8000, 16)) + chunk("data", data))},
            {"24 bits",
             riff(chunk("fmt ", fmtBody(1, 2, 8000, 24)) + chunk("data", QByteArray(6, 0)))},
            {"12 bits", riff(chunk("fmt ", fmtBody(1, 2, 8000, 12)) + chunk("data", data))},
            // 514 channels of 0 bits would give the kind of 16-bit stereo and a block of 0 bytes.
            {"514 channels", riff(chunk("fmt ", fmtBody(1, 514, 8000, 0)) + chunk("data", data))},
            {"short fmt", riff(chunk("fmt ", QByteArray(8, 0)) + chunk("data", data))},
            {"not RIFF", notRiff},
            {"not WAVE", notWave},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.first);
        IqBuffer r;
        EXPECT_EQ(readBytes(c.second, r), IqStatus::BadWavHeader);
        EXPECT_TRUE(r.iData.isNull());
    }
}

TEST_F(WavTest, TruncatedHeadersFailAsFirstFile)
{
    const QByteArray whole = pcm16(le16Codes({1, 2}));
    for (int cut : {0, 3, 11, 12, 19, 27, 36, 43}) {
        IqBuffer r;
        EXPECT_EQ(readBytes(whole.left(cut), r), IqStatus::FirstFile) << "cut at " << cut;
    }
    IqBuffer r;
    EXPECT_EQ(readBytes(riff(chunk("fmt ", fmtBody(1, 2, 8000, 16))), r), IqStatus::FirstFile)
            << "no data chunk";
}

TEST_F(WavTest, DataEndingBeforeTheAnnouncedSizeFails)
{
    // Data claims 4000 bytes, 10 whole samples and 2 stray bytes follow: no samples are made up.
    QByteArray body = QByteArray(40, '\x01') + "ab";
    IqBuffer r;
    EXPECT_EQ(
            readBytes(riff(chunk("fmt ", fmtBody(1, 2, 8000, 16)) + chunk("data", body, 4000)), r),
            IqStatus::FirstFile);
    EXPECT_TRUE(r.iData.isNull());
    // Stray bytes after whole samples are no sample either.
    ASSERT_EQ(readBytes(riff(chunk("fmt ", fmtBody(1, 2, 8000, 16)) + chunk("data", body, 42)), r),
              IqStatus::Ok);
    EXPECT_EQ(r.sampleCount, 10);
}

TEST_F(WavTest, DoubledSizeFieldsOfOlderFilesLoadTheRightCount)
{
    // Older files counted 8 bytes per sample in both size fields although each sample has 4.
    QByteArray body;
    for (int k = 0; k < 50; ++k)
        body += le16Codes({k, -k});
    IqBuffer r;
    ASSERT_EQ(readBytes(riff(chunk("fmt ", fmtBody(1, 2, 8000, 16)) + chunk("data", body, 8 * 50),
                             8 * 50 + 36),
                        r),
              IqStatus::Ok);
    ASSERT_EQ(r.sampleCount, 50);
    EXPECT_EQ(r.iData[49], 49.0f);
    EXPECT_EQ(r.qData[49], -49.0f);
}

TEST_F(WavTest, WalksPastListFactAndOddChunks)
{
    const QByteArray data = le16Codes({7, -7, 8, -8});
    IqBuffer r;
    // An 18-byte format chunk followed by a fact chunk, as some tools write.
    ASSERT_EQ(readBytes(riff(chunk("fmt ", fmtBody(1, 2, 8000, 16, 2))
                             + chunk("fact", QByteArray(4, 0)) + chunk("data", data)),
                        r),
              IqStatus::Ok);
    EXPECT_EQ(r.sampleCount, 2);
    // A LIST chunk of odd size (padded) before the data.
    ASSERT_EQ(readBytes(riff(chunk("fmt ", fmtBody(1, 2, 8000, 16)) + chunk("LIST", "INFOabcde")
                             + chunk("data", data)),
                        r),
              IqStatus::Ok);
    EXPECT_EQ(r.qData[1], -8.0f);
    // Extensible format whose sub-format is PCM.
    QByteArray ext = fmtBody(0xFFFE, 2, 8000, 16, 24);
    ext[24] = 1;
    ASSERT_EQ(readBytes(riff(chunk("fmt ", ext) + chunk("data", data)), r), IqStatus::Ok);
    EXPECT_EQ(r.iData[1], 8.0f);
}

TEST_F(WavTest, DestinationInAMissingFolderFails)
{
    EXPECT_EQ(writeFileOfType(sineRecord(4), 15, dir.filePath("missing/dir/a.wav"), QString()),
              IqStatus::FirstFile);
    EXPECT_EQ(writeFileOfType(sineRecord(4), 14, path("i.wav"), dir.filePath("missing/q.wav")),
              IqStatus::SecondFile);
}

TEST_F(WavTest, APairFailsForTheFileAtFault)
{
    const IqBuffer r = sineRecord(300);
    ASSERT_EQ(writeFileOfType(r, 14, path("i.wav"), path("q.wav")), IqStatus::Ok);
    ASSERT_EQ(writeFileOfType(r, 15, path("s.wav"), QString()), IqStatus::Ok);
    IqBuffer back;
    EXPECT_EQ(readFiles(back, 14, path("i.wav"), path("none.wav")), IqStatus::SecondFile);
    EXPECT_EQ(readFiles(back, 14, path("none.wav"), path("none.wav")), IqStatus::FirstFile);
    // A stereo file is not one channel of a pair.
    EXPECT_EQ(readFiles(back, 14, path("i.wav"), path("s.wav")), IqStatus::BadWavHeader);
}

// Each writer scales by the record's peak; a record of zeros has none and must give zero codes.
TEST_F(WavTest, AllZeroRecordsWriteZeroCodes)
{
    IqBuffer zeros = makeRecord(
            5, [](int64_t) { return 0.0f; }, [](int64_t) { return 0.0f; });
    ASSERT_EQ(writeFileOfType(zeros, 15, path("z.wav"), QString()), IqStatus::Ok);
    EXPECT_EQ(readAll(path("z.wav")).mid(44), QByteArray(20, '\0'));
    ASSERT_EQ(writeFileOfType(zeros, 24, path("z.wvd"), QString()), IqStatus::Ok);
    EXPECT_EQ(readAll(path("z.wvd")), QByteArray(20, '\0'));
    ASSERT_EQ(writeFileOfType(zeros, 25, path("z.wv"), QString()), IqStatus::Ok);
    const QByteArray wv = readAll(path("z.wv"));
    EXPECT_TRUE(wv.contains("{LEVEL OFFS:0.000,0.000}"));
    EXPECT_EQ(wv.mid(wv.indexOf('#') + 1), QByteArray(20, '\0') + "}");
}

// Save and load go through the lists' indices to the type codes; WV's load index is not its
// save index.
TEST_F(WavTest, ContainerTypesSaveAndLoadThroughTheLists)
{
    struct Case
    {
        int saveIndex, loadIndex;
        const char *i, *q;
    };
    for (const Case &c : {Case{15, 15, "d.wav", ""}, Case{14, 14, "d.wav", "d2.wav"},
                          Case{24, 24, "s.wvd", ""}, Case{25, 32, "d.wv", ""}}) {
        SCOPED_TRACE(c.saveIndex);
        IqBuffer source = sineRecord(64), loaded;
        const QString q = *c.q ? path(c.q) : QString();
        ASSERT_EQ(saveFiles(source, c.saveIndex, path(c.i), q), IqStatus::Ok);
        ASSERT_EQ(loadFiles(loaded, c.loadIndex, path(c.i), q), IqStatus::Ok);
        EXPECT_EQ(loaded.sampleCount, 64);
    }
}

}  // namespace
