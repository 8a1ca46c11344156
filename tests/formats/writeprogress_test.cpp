// The progress of a save: every file written reports its bytes to the watching sink, a
// cancel leaves the destination as it was, and the size estimate is what the save writes.

#include "../container/containertestutil.h"
#include "dispatch.h"
#include "filetypes.h"
#include "outputfile.h"
#include "savesize.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class RecordingSink : public WriteProgressSink
{
public:
    void written(const QString &path, uint64_t bytes) override
    {
        paths << path;
        reports.push_back(bytes);
    }
    bool cancelled() const override
    {
        return cancelAfter >= 0 && int(reports.size()) > cancelAfter;
    }

    QStringList paths;
    std::vector<uint64_t> reports;
    int cancelAfter = -1;
};

IqBuffer ramp(int64_t count)
{
    return containertest::makeRecord(
            count, [](int64_t k) { return float(k % 1000) / 1000.0f; },
            [](int64_t k) { return -float(k % 777) / 777.0f; });
}

IqBuffer destination(const QTemporaryDir &folder, const char *key, bool twoFiles)
{
    IqBuffer target;
    target.typeIndex = FileTypeTable::findSave(QString::fromLatin1(key));
    target.iFileName = folder.filePath(QStringLiteral("out-i.dat"));
    if (twoFiles)
        target.qFileName = folder.filePath(QStringLiteral("out-q.dat"));
    return target;
}

TEST(WriteProgress, EveryByteIsReportedInPiecesAndNothingOutsideAScope)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("one.bin"));
    const std::vector<char> bytes(size_t(10) << 20, 'x');
    RecordingSink sink;
    {
        const WriteProgressScope scope(sink);
        OutputFile out(path, size_t(1) << 20);
        out.write(bytes.data(), bytes.size());  // one large write
        out.write("tail", 4);
        ASSERT_TRUE(out.commit());
    }
    ASSERT_GE(sink.reports.size(), 10u);
    EXPECT_EQ(sink.reports.back(), bytes.size() + 4);
    for (size_t k = 1; k < sink.reports.size(); ++k)
        EXPECT_GT(sink.reports[k], sink.reports[k - 1]);
    EXPECT_EQ(sink.paths.first(), path);

    const size_t before = sink.reports.size();
    OutputFile unwatched(folder.filePath(QStringLiteral("two.bin")));
    unwatched.write(bytes.data(), bytes.size());
    ASSERT_TRUE(unwatched.commit());
    EXPECT_EQ(sink.reports.size(), before);
}

TEST(WriteProgress, ACancelLeavesTheDestinationAsItWas)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("kept.bin"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    const std::vector<char> bytes(size_t(8) << 20, 'y');
    RecordingSink sink;
    sink.cancelAfter = 2;
    const WriteProgressScope scope(sink);
    OutputFile out(path, size_t(1) << 20);
    out.write(bytes.data(), bytes.size());
    EXPECT_FALSE(out.commit());
    EXPECT_EQ(sink.reports.size(), 3u);  // stops at the first piece after the cancel
    QFile kept(path);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("old"));
}

TEST(WriteProgress, TheEstimateIsTheSizeTheSaveWrites)
{
    struct Case
    {
        const char *key;
        bool twoFiles;
        double tolerance;  // text widths vary a little with the values
    };
    const IqBuffer record = ramp(100000);
    for (const Case c : {Case{"iqw-pairs", false, 0.0}, Case{"matlab-ascii-mixed", false, 0.001},
                         Case{"matlab-ascii-single", true, 0.001}}) {
        SCOPED_TRACE(c.key);
        QTemporaryDir folder;
        IqBuffer target = destination(folder, c.key, c.twoFiles);
        ASSERT_GE(target.typeIndex, 0);
        const uint64_t estimate = estimateSaveBytes(record, target);
        IqBuffer source = record, scratch;
        ASSERT_EQ(saveIqFile(source, scratch, target, false, 0), IqStatus::Ok);
        const double written = double(QFileInfo(target.iFileName).size())
                               + (c.twoFiles ? double(QFileInfo(target.qFileName).size()) : 0.0);
        EXPECT_NEAR(double(estimate), written, written * c.tolerance + 0.5);
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), c.twoFiles ? 2 : 1);
    }
    EXPECT_EQ(estimateSaveBytes(ramp(100), destination(QTemporaryDir(), "iqw-pairs", false)),
              0u);  // too small to need a progress
}

}  // namespace
