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

TEST(FileChoiceFilterTest, OnlyTheTwoAsciiSignalRowsShareOneExtension)
{
    for (int row = 0; row < FileTypeTable::saveCount(); ++row)
        EXPECT_EQ(FileTypeTable::saveRow(row).qName == QNameRule::ChosenApart,
                  row == 10 || row == 13)
                << row;
}

QString loadQName(const QString &iName)
{
    return FileTypeTable::loadQName(FileTypeTable::loadRow(4), iName);
}

QString saveQName(const QString &iName)
{
    return FileTypeTable::saveQName(FileTypeTable::saveRow(4), iName);
}

TEST(FileChoiceNameTest, LoadSideReplacesOnlyALastExtensionI)
{
    EXPECT_EQ(loadQName(QStringLiteral("/d/sig.i")), QStringLiteral("/d/sig.q"));
    EXPECT_EQ(loadQName(QStringLiteral("/d/a.b.i")), QStringLiteral("/d/a.b.q"));
    EXPECT_TRUE(loadQName(QStringLiteral("/d/sig.dat")).isEmpty());
    EXPECT_TRUE(loadQName(QStringLiteral("/d/sig.iq")).isEmpty());
    EXPECT_TRUE(loadQName(QStringLiteral("/d/sig")).isEmpty());
    EXPECT_TRUE(loadQName(QStringLiteral("/d.i/sig")).isEmpty());
    EXPECT_TRUE(loadQName(QString()).isEmpty());
}

TEST(FileChoiceNameTest, SaveSideCutsAtTheLastDotOfTheFileName)
{
    EXPECT_EQ(saveQName(QStringLiteral("/d/out.i")), QStringLiteral("/d/out.q"));
    EXPECT_EQ(saveQName(QStringLiteral("/d/out")), QStringLiteral("/d/out.q"));
    EXPECT_EQ(saveQName(QStringLiteral("/d/out.dat")), QStringLiteral("/d/out.q"));
    EXPECT_EQ(saveQName(QStringLiteral("/d/a.b.i")), QStringLiteral("/d/a.b.q"));
    EXPECT_EQ(saveQName(QStringLiteral("/d/out.")), QStringLiteral("/d/out.q"));
    // A dot in a folder name is not the file's extension.
    EXPECT_EQ(saveQName(QStringLiteral("/run.1/out")), QStringLiteral("/run.1/out.q"));
    EXPECT_EQ(saveQName(QStringLiteral("C:\\run.1\\out")), QStringLiteral("C:\\run.1\\out.q"));
    EXPECT_EQ(saveQName(QStringLiteral("out")), QStringLiteral("out.q"));
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
