#include "codecs.h"
#include "framecodec.h"
#include "testfiles.h"
#include "wavpcm.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <cmath>
#include <vector>

using testfiles::readAll;

namespace {

// One format as the streaming codec sees it: the names its files get, and the files a save
// writes (compared byte for byte).
struct CodecCase
{
    const char *name;
    int typeCode;
    const char *iName;
    const char *qName;                // empty for one-file types
    std::vector<const char *> files;  // what a save leaves, relative to the folder
};

void PrintTo(const CodecCase &c, std::ostream *os)
{
    *os << c.name;
}

IqBuffer signal(int64_t n)
{
    IqBuffer r;
    allocateSamples(r, n);
    for (int64_t k = 0; k < n; ++k) {
        r.iData[k] = float(std::sin(0.01 * double(k)) * 0.9 - 0.05);
        r.qData[k] = float(std::cos(0.013 * double(k)) * 0.7 + 0.1);
    }
    r.sampleCount = n;
    r.sampleRate = 2.5e6;
    r.refLevel = -12.5f;
    return r;
}

FrameSummary summaryOf(const IqBuffer &r)
{
    const PcmScan s = scanArrays(r.iData.data(), r.qData.data(), r.heldCount());
    return {r.heldCount(), s.iMin, s.iMax, s.qMin, s.qMax, s.powerSum, s.peak};
}

std::vector<float> interleave(const IqBuffer &r)
{
    std::vector<float> v(size_t(2 * r.heldCount()));
    for (int64_t k = 0; k < r.heldCount(); ++k) {
        v[size_t(2 * k)] = r.iData[k];
        v[size_t(2 * k + 1)] = r.qData[k];
    }
    return v;
}

class FrameCodecs : public ::testing::TestWithParam<CodecCase>
{
protected:
    QString path(const char *name) const
    {
        return *name ? dir.filePath(QLatin1String(name)) : QString();
    }
    QString sub(const char *folder, const char *name) const
    {
        return *name ? dir.filePath(QLatin1String(folder) + QLatin1Char('/') + QLatin1String(name))
                     : QString();
    }

    // The whole-file save into "whole/", the pieces through the codec into "pieces/".
    void saveBothWays(const IqBuffer &r)
    {
        const CodecCase &c = GetParam();
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("whole")));
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("pieces")));
        ASSERT_EQ(
                writerFor(c.typeCode)(r, c.typeCode, sub("whole", c.iName), sub("whole", c.qName)),
                0);
        const FrameCodec *codec = frameCodecFor(c.typeCode);
        ASSERT_NE(codec, nullptr);
        IqStatus status = -99;
        auto w = codec->openWriter(sub("pieces", c.iName), sub("pieces", c.qName), c.typeCode,
                                   status);
        ASSERT_EQ(status, 0);
        const FrameSummary summary = summaryOf(r);
        ASSERT_EQ(w->begin(r, r.heldCount(), w->needsSummary() ? &summary : nullptr), 0);
        // Pieces of odd sizes, planar and interleaved by turns.
        const std::vector<float> mixed = interleave(r);
        const ConstFrameSpan planar{r.iData.data(), r.qData.data(), 1};
        const ConstFrameSpan packed{mixed.data(), mixed.data() + 1, 2};
        int64_t at = 0;
        for (int64_t piece : {int64_t(1), int64_t(7), int64_t(300), int64_t(1) << 40}) {
            const int64_t m = std::min(piece, r.heldCount() - at);
            ASSERT_EQ(w->write(m, (piece == 7 ? packed : planar).from(at)), 0);
            at += m;
        }
        ASSERT_EQ(w->finish(), 0);
    }

    QTemporaryDir dir;
};

TEST_P(FrameCodecs, PiecesWriteTheBytesOfAWholeSave)
{
    saveBothWays(signal(1000));
    for (const char *file : GetParam().files) {
        const QByteArray whole = readAll(sub("whole", file));
        EXPECT_FALSE(whole.isEmpty()) << file;
        EXPECT_EQ(readAll(sub("pieces", file)), whole) << file;
    }
}

TEST_P(FrameCodecs, ReadsAtAnyPositionWhatALoadGives)
{
    const CodecCase &c = GetParam();
    saveBothWays(signal(1000));
    IqBuffer loaded;
    loaded.iFileName = sub("whole", c.iName);
    loaded.qFileName = sub("whole", c.qName);
    ASSERT_EQ(readerFor(c.typeCode)(loaded, c.typeCode), 0);

    IqStatus status = -99;
    auto r = frameCodecFor(c.typeCode)
                     ->openReader(loaded.iFileName, loaded.qFileName, c.typeCode, status);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(r->frameCount(), loaded.sampleCount);
    IqBuffer described;
    r->describe(described);
    EXPECT_EQ(described.sampleRate, loaded.sampleRate);
    EXPECT_EQ(described.refLevel, loaded.refLevel);
    EXPECT_EQ(described.centerFrequencyKnown, loaded.centerFrequencyKnown);

    // Backwards, in pieces, into an interleaved buffer; then all at once into planar arrays.
    const int64_t n = r->frameCount();
    std::vector<float> packed(size_t(2 * n), -1e9f);
    for (int64_t end = n; end > 0; end -= 333) {
        const int64_t first = std::max<int64_t>(0, end - 333);
        ASSERT_EQ(r->read(first, end - first,
                          FrameSpan{packed.data(), packed.data() + 1, 2}.from(first)),
                  0);
    }
    std::vector<float> i(static_cast<size_t>(n)), q(static_cast<size_t>(n));
    ASSERT_EQ(r->read(0, n, FrameSpan{i.data(), q.data(), 1}), 0);
    for (int64_t k = 0; k < n; ++k) {
        ASSERT_EQ(i[size_t(k)], loaded.iData[k]) << k;
        ASSERT_EQ(q[size_t(k)], loaded.qData[k]) << k;
        ASSERT_EQ(packed[size_t(2 * k)], loaded.iData[k]) << k;
        ASSERT_EQ(packed[size_t(2 * k + 1)], loaded.qData[k]) << k;
    }
}

TEST_P(FrameCodecs, RefusesFramesBeyondTheEnd)
{
    const CodecCase &c = GetParam();
    saveBothWays(signal(10));
    IqStatus status = -99;
    auto r = frameCodecFor(c.typeCode)
                     ->openReader(sub("whole", c.iName), sub("whole", c.qName), c.typeCode, status);
    ASSERT_EQ(status, 0);
    float x[64];
    EXPECT_NE(r->read(5, 6, FrameSpan{x, x + 32, 1}), 0);
    EXPECT_NE(r->read(-1, 1, FrameSpan{x, x + 32, 1}), 0);
    EXPECT_EQ(r->read(10, 0, FrameSpan{x, x + 32, 1}), 0);
}

TEST_P(FrameCodecs, AWriterGivenFewerFramesThanAnnouncedLeavesNoFile)
{
    const CodecCase &c = GetParam();
    const IqBuffer r = signal(10);
    IqStatus status = -99;
    auto w = frameCodecFor(c.typeCode)
                     ->openWriter(path(c.iName), path(c.qName), c.typeCode, status);
    ASSERT_EQ(status, 0);
    const FrameSummary summary = summaryOf(r);
    ASSERT_EQ(w->begin(r, 10, w->needsSummary() ? &summary : nullptr), 0);
    ASSERT_EQ(w->write(9, ConstFrameSpan{r.iData.data(), r.qData.data(), 1}), 0);
    EXPECT_NE(w->write(2, ConstFrameSpan{r.iData.data(), r.qData.data(), 1}), 0);
    EXPECT_NE(w->finish(), 0);
    w.reset();
    for (const char *file : c.files)
        EXPECT_FALSE(QFile::exists(path(file))) << file;
}

const CodecCase kCases[] = {
        {"IqwPairs", 18, "x.iqw", "", {"x.iqw"}},
        {"IqwBlocks", 19, "x.iqw", "", {"x.iqw"}},
        {"Sigmf", 33, "x.sigmf-meta", "", {"x.sigmf-meta", "x.sigmf-data"}},
};

INSTANTIATE_TEST_SUITE_P(Streaming, FrameCodecs, ::testing::ValuesIn(kCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(FrameCodecFor, TypesWithoutAStreamingCodecHaveNone)
{
    EXPECT_EQ(frameCodecFor(0), nullptr);  // Matlab ASCII: whole-file text
    EXPECT_EQ(frameCodecFor(-1), nullptr);
    EXPECT_EQ(frameCodecFor(99), nullptr);
}

}  // namespace
