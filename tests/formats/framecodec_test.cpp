#include "../container/containertestutil.h"
#include "../container/scopeawgfiles.h"
#include "dispatch.h"
#include "frameappend.h"
#include "framecodec.h"
#include "wavpcm.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <cmath>
#include <vector>

using containertest::readAll;

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
    // Load-only types: writes a file pair of n frames instead of a save.
    void (*make)(const QString &iFile, const QString &qFile, int64_t n) = nullptr;
};

void PrintTo(const CodecCase &c, std::ostream *os)
{
    *os << c.name;
}

IqBuffer signal(int64_t n)
{
    IqBuffer r = containertest::makeRecord(
            n, [](int64_t k) { return float(std::sin(0.01 * double(k)) * 0.9 - 0.05); },
            [](int64_t k) { return float(std::cos(0.013 * double(k)) * 0.7 + 0.1); }, 2.5e6);
    r.refLevel = -12.5f;
    r.centerFrequency = 1e9;
    r.centerFrequencyKnown = true;
    // Headers that carry a date take this one, so two saves are alike to the byte.
    r.captureTime = QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7), Qt::UTC);
    return r;
}

// n values as little-endian doubles.
template<typename F>
QByteArray leDoubles(int64_t n, F value)
{
    QByteArray b;
    for (int64_t k = 0; k < n; ++k) {
        const double d = value(k);
        b.append(reinterpret_cast<const char *>(&d), 8);
    }
    return b;
}

void adsBinaryFiles(const QString &iFile, const QString &qFile, int64_t n)
{
    const QByteArray header = "$SIGNAL_FILE 9\n     Sampling Frequency = 1000.0\n     Number of "
                              "points   = "
                              + QByteArray::number(qlonglong(n)) + "\n$DATA\n";
    containertest::writeAll(iFile, header + leDoubles(n, [](int64_t k) { return 0.25 * k - 3.0; }));
    containertest::writeAll(
            qFile, header + leDoubles(n, [](int64_t k) { return 1.0 / double(k + 1); }) + "tail");
}

// (time, value) pairs.
void adsTimeFiles(const QString &iFile, const QString &qFile, int64_t n)
{
    const QByteArray header = "time file\nA B C " + QByteArray::number(qlonglong(n)) + "\nx\ny\n";
    containertest::writeAll(iFile, header + leDoubles(2 * n, [](int64_t j) {
                                       return double(j / 2) * (j % 2 ? 0.5 : 1.0);
                                   }));
    containertest::writeAll(qFile, header + leDoubles(2 * n, [](int64_t j) {
                                       return double(j / 2) * (j % 2 ? -0.75 : 1.0);
                                   }));
}

// n codes of f.
template<typename T, typename F>
std::vector<T> codes(int64_t n, F f)
{
    std::vector<T> v;
    for (int64_t k = 0; k < n; ++k)
        v.push_back(T(f(k)));
    return v;
}

void awgFiles(const QString &iFile, const QString &qFile, int64_t n)
{
    const auto i = codes<uint16_t>(n, [](int64_t k) { return k * 37; });
    const auto q = codes<uint16_t>(n, [](int64_t k) { return 65535 - k * 11; });
    containertest::writeAll(iFile, containertest::awgFile(uint32_t(n), 2.0, i));
    containertest::writeAll(qFile, containertest::awgFile(uint32_t(n), 1.5, q));
}

void scopeFiles(const QString &iFile, const QString &qFile, int64_t n)
{
    containertest::TdsSpec later;
    later.version = ":WFM#002";
    later.bigEndian = true;
    containertest::writeAll(iFile, containertest::tdsFile({}, codes<int>(n, [](int64_t k) {
                                                              return k * 13 % 60000 - 30000;
                                                          })));
    containertest::writeAll(qFile, containertest::tdsFile(later, codes<int>(n, [](int64_t k) {
                                                              return k % 200 - 100;
                                                          })));
}

FrameSummary summaryOf(const IqBuffer &r)
{
    return summaryOf(ConstFrameSpan{r.iData.data(), r.qData.data(), 1}, r.heldCount());
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

    // The whole-file save into "whole/", the pieces through the codec into "pieces/". A
    // load-only type gets its files made in "whole/".
    void saveBothWays(const IqBuffer &r)
    {
        const CodecCase &c = GetParam();
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("whole")));
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("pieces")));
        if (c.make)
            return c.make(sub("whole", c.iName), sub("whole", c.qName), r.heldCount());
        ASSERT_EQ(writeFileOfType(r, c.typeCode, sub("whole", c.iName), sub("whole", c.qName)),
                  IqStatus::Ok);
        const FrameCodec *codec = frameCodecFor(c.typeCode);
        ASSERT_NE(codec, nullptr);
        IqStatus status = static_cast<IqStatus>(-99);
        auto w = codec->openWriter(sub("pieces", c.iName), sub("pieces", c.qName), c.typeCode,
                                   status);
        ASSERT_EQ(status, IqStatus::Ok);
        const FrameSummary summary = summaryOf(r);
        ASSERT_EQ(w->begin(r, r.heldCount(), w->needsSummary() ? &summary : nullptr), IqStatus::Ok);
        // Pieces of odd sizes, planar and interleaved by turns.
        const std::vector<float> mixed = interleave(r);
        const ConstFrameSpan planar{r.iData.data(), r.qData.data(), 1};
        const ConstFrameSpan packed{mixed.data(), mixed.data() + 1, 2};
        int64_t at = 0;
        for (int64_t piece : {int64_t(1), int64_t(7), int64_t(300), int64_t(1) << 40}) {
            const int64_t m = std::min(piece, r.heldCount() - at);
            ASSERT_EQ(w->write(m, (piece == 7 ? packed : planar).from(at)), IqStatus::Ok);
            at += m;
        }
        ASSERT_EQ(w->finish(), IqStatus::Ok);
    }

    QTemporaryDir dir;
};

TEST(FrameSummary, InterleavedFramesSumUpAsPlanarOnes)
{
    const IqBuffer r = signal(777);
    const std::vector<float> packed = interleave(r);
    const FrameSummary a = summaryOf(r);
    const FrameSummary b = summaryOf(ConstFrameSpan{packed.data(), packed.data() + 1, 2}, 777);
    EXPECT_EQ(a.count, b.count);
    EXPECT_EQ(a.iMin, b.iMin);
    EXPECT_EQ(a.qMax, b.qMax);
    EXPECT_EQ(a.powerSum, b.powerSum);
    EXPECT_EQ(a.peakMagnitude, b.peakMagnitude);
    const PcmScan whole = scanArrays(r.iData.data(), r.qData.data(), 777);
    EXPECT_EQ(a.powerSum, whole.powerSum);
    EXPECT_EQ(a.peakMagnitude, whole.peak);
}

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
    ASSERT_EQ(readFileOfType(loaded, c.typeCode), IqStatus::Ok);

    IqStatus status = static_cast<IqStatus>(-99);
    auto r = frameCodecFor(c.typeCode)
                     ->openReader(loaded.iFileName, loaded.qFileName, c.typeCode, status);
    ASSERT_EQ(status, IqStatus::Ok);
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
                  IqStatus::Ok);
    }
    std::vector<float> i(static_cast<size_t>(n)), q(static_cast<size_t>(n));
    ASSERT_EQ(r->read(0, n, FrameSpan{i.data(), q.data(), 1}), IqStatus::Ok);
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
    IqStatus status = static_cast<IqStatus>(-99);
    auto r = frameCodecFor(c.typeCode)
                     ->openReader(sub("whole", c.iName), sub("whole", c.qName), c.typeCode, status);
    ASSERT_EQ(status, IqStatus::Ok);
    float x[64];
    EXPECT_NE(r->read(5, 6, FrameSpan{x, x + 32, 1}), IqStatus::Ok);
    EXPECT_NE(r->read(-1, 1, FrameSpan{x, x + 32, 1}), IqStatus::Ok);
    EXPECT_EQ(r->read(10, 0, FrameSpan{x, x + 32, 1}), IqStatus::Ok);
}

TEST_P(FrameCodecs, AWriterGivenFewerFramesThanAnnouncedLeavesNoFile)
{
    const CodecCase &c = GetParam();
    if (c.make)
        GTEST_SKIP() << "load only";
    const IqBuffer r = signal(10);
    IqStatus status = static_cast<IqStatus>(-99);
    auto w = frameCodecFor(c.typeCode)
                     ->openWriter(path(c.iName), path(c.qName), c.typeCode, status);
    ASSERT_EQ(status, IqStatus::Ok);
    const FrameSummary summary = summaryOf(r);
    ASSERT_EQ(w->begin(r, 10, w->needsSummary() ? &summary : nullptr), IqStatus::Ok);
    ASSERT_EQ(w->write(9, ConstFrameSpan{r.iData.data(), r.qData.data(), 1}), IqStatus::Ok);
    EXPECT_NE(w->write(2, ConstFrameSpan{r.iData.data(), r.qData.data(), 1}), IqStatus::Ok);
    EXPECT_NE(w->finish(), IqStatus::Ok);
    w.reset();
    for (const char *file : c.files)
        EXPECT_FALSE(QFile::exists(path(file))) << file;
}

// The existing file streams through the writer: the result is, byte for byte, the whole-file
// save of the record a load of the file joined with the added frames.
TEST_P(FrameCodecs, AppendGivesTheBytesOfASaveOfTheJoinedRecord)
{
    const CodecCase &c = GetParam();
    if (c.make)
        GTEST_SKIP() << "load only";
    saveBothWays(signal(500));
    IqBuffer existing;
    existing.iFileName = sub("whole", c.iName);
    existing.qFileName = sub("whole", c.qName);
    ASSERT_EQ(readFileOfType(existing, c.typeCode), IqStatus::Ok);
    IqBuffer added = signal(300);
    for (int64_t k = 0; k < 300; ++k)
        added.iData[k] *= 3.0f;  // a new peak, so a scaled type's scale changes
    IqBuffer joined = signal(1);
    ASSERT_EQ(joinIqData(joined, existing, added, 7), IqStatus::Ok);
    ASSERT_EQ(writeFileOfType(joined, c.typeCode, sub("whole", c.iName), sub("whole", c.qName)),
              IqStatus::Ok);
    int64_t total = 0;
    ASSERT_EQ(appendFrames(*frameCodecFor(c.typeCode), c.typeCode, sub("pieces", c.iName),
                           sub("pieces", c.qName), signal(1), added, 7, total),
              IqStatus::Ok);
    EXPECT_EQ(total, 807);
    for (const char *file : c.files)
        EXPECT_EQ(readAll(sub("pieces", file)), readAll(sub("whole", file))) << file;
}

const CodecCase kCases[] = {
        {"MatSingle", 2, "i.mat", "q.mat", {"i.mat", "q.mat"}},
        {"MatMixed", 3, "x.mat", "", {"x.mat"}},
        {"SpwBinary", 12, "x.sig", "", {"x.sig"}},
        {"WavSingle", 14, "i.wav", "q.wav", {"i.wav", "q.wav"}},
        {"WavMixed", 15, "x.wav", "", {"x.wav"}},
        {"IqwPairs", 18, "x.iqw", "", {"x.iqw"}},
        {"IqwBlocks", 19, "x.iqw", "", {"x.iqw"}},
        {"Loomwave", 23, "x.ibn", "", {"x.ibn"}},
        {"RawRecording", 24, "x.wvd", "", {"x.wvd", "x.wvh"}},
        {"Wv", 25, "x.wv", "", {"x.wv"}},
        {"AdsBinaryTime", 27, "i.bintim", "q.bintim", {}, adsTimeFiles},
        {"AdsBinarySingle", 28, "i.sig", "q.sig", {}, adsBinaryFiles},
        {"Awg2000", 30, "i.wfm", "q.wfm", {}, awgFiles},
        {"ScopeWaveform", 31, "i.wfm", "q.wfm", {}, scopeFiles},
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
