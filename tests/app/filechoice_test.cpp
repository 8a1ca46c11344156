// Dialog filters, derived Q names and count conversions of the Load tab and Save group.
#include "filechoice.h"
#include "filetypes.h"

#include <QDir>

#include <gtest/gtest.h>

#include <limits>

using namespace FileChoice;

TEST(FileChoiceFilterTest, PrefixAndPatternFollowTheRowAndTheButton)
{
    const FileTypeRow &mathcad = FileTypeTable::loadRow(4);
    EXPECT_EQ(dialogFilter(mathcad, false), QStringLiteral("I File (*.i);;All Files (*.*)"));
    EXPECT_EQ(dialogFilter(mathcad, true), QStringLiteral("Q File (*.q);;All Files (*.*)"));
    EXPECT_EQ(dialogFilter(FileTypeTable::saveRow(25), false),
              QStringLiteral("IQ File (*.wv);;All Files (*.*)"));
    EXPECT_EQ(dialogFilter(FileTypeTable::loadRow(26), true),
              QStringLiteral("Q File (*.bintim);;All Files (*.*)"));
}

// The load side replaces only a last extension ".i" (nothing follows otherwise); the save side
// cuts at the last dot of the file name, not of a folder's.
TEST(FileChoiceNameTest, TheQNameFollowsTheINameOfATwoFileRow)
{
    const struct
    {
        const char *i, *loadQ, *saveQ;
    } rows[] = {{"/d/sig.i", "/d/sig.q", "/d/sig.q"},
                {"/d/a.b.i", "/d/a.b.q", "/d/a.b.q"},
                {"/d/sig.dat", "", "/d/sig.q"},
                {"/d/sig.iq", "", "/d/sig.q"},
                {"/d/sig", "", "/d/sig.q"},
                {"/d/sig.", "", "/d/sig.q"},
                {"/d.i/sig", "", "/d.i/sig.q"},
                {"/run.1/out", "", "/run.1/out.q"},
                {"C:\\run.1\\out", "", "C:\\run.1\\out.q"},
                {"out", "", "out.q"}};
    const FileTypeRow &load = FileTypeTable::loadRow(4), &save = FileTypeTable::saveRow(4);
    for (const auto &row : rows) {
        EXPECT_EQ(FileTypeTable::loadQName(load, QLatin1String(row.i)), QLatin1String(row.loadQ))
                << row.i;
        EXPECT_EQ(FileTypeTable::saveQName(save, QLatin1String(row.i)), QLatin1String(row.saveQ))
                << row.i;
    }
    EXPECT_TRUE(FileTypeTable::loadQName(load, QString()).isEmpty());
}

TEST(FileChoiceNameTest, FolderIsThatOfTheNameOrTheWorkingDirectory)
{
    EXPECT_EQ(folderOf(QStringLiteral("/tmp/x/sig.i")), QStringLiteral("/tmp/x"));
    EXPECT_EQ(folderOf(QString()), QDir::currentPath());
    EXPECT_EQ(folderOf(QStringLiteral("rel.i")), QDir::currentPath());
}

TEST(FileChoiceCountTest, CountFieldShowsTheLow32Bits)
{
    EXPECT_EQ(low32(50000001), 50000001);
    EXPECT_EQ(low32((int64_t(1) << 32) + 7), 7);
    EXPECT_EQ(low32(0xFFFFFFFFLL), -1);
}
