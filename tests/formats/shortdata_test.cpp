// A reader never invents samples: a file whose data end before the count its header
// announces fails to load, and a file whose count comes from its size loads what it holds.
#include "../container/containertestutil.h"
#include "dispatch.h"
#include "filetypes.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <set>

using containertest::readAll;
using containertest::writeAll;

namespace {

constexpr int kCount = 1000;

// Save rows whose header (or container) announces the sample count.
const std::set<int> kAnnouncing = {TypeCode::MatlabBinarySingle,
                                   TypeCode::MatlabBinaryMixed,
                                   TypeCode::SpwAsciiSingle,
                                   TypeCode::SpwAsciiMixed,
                                   TypeCode::SpwBinaryMixed,
                                   TypeCode::AdsAsciiSingle,
                                   TypeCode::WavSingle,
                                   TypeCode::WavMixed,
                                   TypeCode::DabSymbols,
                                   TypeCode::Loomwave,
                                   TypeCode::Wv};

// The load row that reads what a save row writes.
int loadIndexOf(int saveIndex)
{
    const FileTypeRow &row = FileTypeTable::saveRow(saveIndex);
    for (int i = 0; i < FileTypeTable::loadCount(); ++i)
        if (FileTypeTable::loadRow(i).typeCode == row.typeCode)
            return i;
    return -1;
}

// Cuts the file at the last line feed before 60 % of its size (anywhere in binary data).
void cut(const QString &path)
{
    const QByteArray bytes = readAll(path);
    const int at = bytes.lastIndexOf('\n', bytes.size() * 6 / 10);
    writeAll(path, bytes.left(at > 0 ? at + 1 : bytes.size() * 6 / 10));
}

struct Files
{
    QString i, q;
};

// Saves a ramp of kCount samples as the save row's type, in two files where the row has two.
Files save(const QTemporaryDir &dir, int saveIndex)
{
    const QString name = dir.filePath(QStringLiteral("f%1.").arg(saveIndex));
    const Files f{name + 'i', FileTypeTable::saveRow(saveIndex).fileCount == 2 ? name + 'q' : ""};
    IqBuffer source = containertest::makeRecord(
            kCount, [](int64_t k) { return float(k % 97) / 100.0f - 0.4f; },
            [](int64_t k) { return float(k % 89) / 100.0f - 0.3f; });
    EXPECT_EQ(containertest::saveFiles(source, saveIndex, f.i, f.q), IqStatus::Ok);
    return f;
}

IqStatus load(int saveIndex, const Files &f, IqBuffer &r)
{
    return containertest::loadFiles(r, loadIndexOf(saveIndex), f.i, f.q);
}

}  // namespace

TEST(ShortData, CutFilesFailWhereTheHeaderAnnouncesTheCount)
{
    QTemporaryDir dir;
    for (int s = 0; s < FileTypeTable::saveCount(); ++s) {
        SCOPED_TRACE(FileTypeTable::saveRow(s).key);
        const bool announcing = kAnnouncing.count(FileTypeTable::saveRow(s).typeCode) > 0;
        const bool twoFile = FileTypeTable::saveRow(s).fileCount == 2;
        for (int which = 0; which < (twoFile ? 2 : 1); ++which) {
            const Files f = save(dir, s);
            IqBuffer whole;
            ASSERT_EQ(load(s, f, whole), IqStatus::Ok);
            ASSERT_EQ(whole.sampleCount, kCount);
            // A SigMF recording's samples are in the data file beside the named one.
            const bool sigmf = FileTypeTable::saveRow(s).typeCode == TypeCode::Sigmf;
            cut(which == 1 ? f.q : sigmf ? f.i + QStringLiteral(".sigmf-data") : f.i);
            IqBuffer r;
            const IqStatus status = load(s, f, r);
            if (announcing) {
                // A cut one-file MAT file loses its second variable, a fault of the second.
                if (twoFile || FileTypeTable::saveRow(s).typeCode != TypeCode::MatlabBinaryMixed)
                    EXPECT_EQ(status, which == 0 ? IqStatus::FirstFile : IqStatus::SecondFile);
                else
                    EXPECT_EQ(status, IqStatus::SecondFile);
                EXPECT_TRUE(r.iData.isNull() && r.qData.isNull());
                EXPECT_EQ(r.sampleCount, 0);
            } else if (ok(status)) {
                EXPECT_LT(r.sampleCount, kCount);
            }
        }
    }
}

TEST(ShortData, DabFileCutInsideItsQLinesFails)
{
    QTemporaryDir dir;
    const Files f = save(dir, TypeCode::DabSymbols);
    const QByteArray bytes = readAll(f.i);
    // Header, 1000 I lines, header, then only the first 500 Q lines.
    int at = 0;
    for (int line = 0; line < 2 + kCount + 2 + 500; ++line)
        at = bytes.indexOf('\n', at) + 1;
    writeAll(f.i, bytes.left(at));
    IqBuffer r;
    EXPECT_EQ(load(TypeCode::DabSymbols, f, r), IqStatus::FirstFile);
    EXPECT_TRUE(r.iData.isNull());
}

TEST(ShortData, WavWithAnOpenEndedDataSizeLoadsWhatItHolds)
{
    // A writer that never came back to fill in the size leaves 0xFFFFFFFF there.
    QTemporaryDir dir;
    const Files f = save(dir, TypeCode::WavMixed);
    QByteArray bytes = readAll(f.i);
    bytes.replace(40, 4, QByteArray(4, '\xFF'));
    writeAll(f.i, bytes.left(44 + 4 * 10 + 3));
    IqBuffer r;
    ASSERT_EQ(load(TypeCode::WavMixed, f, r), IqStatus::Ok);
    EXPECT_EQ(r.sampleCount, 10);
}
