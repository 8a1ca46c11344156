#include "dispatch.h"
#include "filetypes.h"

#include <gtest/gtest.h>

#include <QSet>
#include <cstring>
#include <string>

namespace {

// The load list's type codes by index. Settings files and the command line keep indices, so the
// order is part of both.
const int kLoadCodes[] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16,
                          17, 18, 19, 20, 21, 22, 23, 24, 26, 27, 28, 29, 30, 31, 32, 25, 33};

// Two rows alike in what a user sees of them and in the type they stand for.
void expectSameRow(const FileTypeRow &a, const FileTypeRow &b)
{
    EXPECT_STREQ(a.displayName, b.displayName);
    EXPECT_STREQ(a.extension1, b.extension1);
    EXPECT_STREQ(a.extension2, b.extension2);
    EXPECT_EQ(a.fileCount, b.fileCount);
    EXPECT_EQ(a.typeCode, b.typeCode);
}

void expectEndMarker(const FileTypeRow &row)
{
    EXPECT_TRUE(row.isEnd());
    expectSameRow(row, FileTypeRow{"", 0, "", "", 0, "", 0, QNameRule::None});
}

}  // namespace

TEST(FileTypeTable, LoadListHas34RowsInOrderAndAnEndMarker)
{
    ASSERT_EQ(FileTypeTable::loadCount(), 34);
    for (int k = 0; k < 34; ++k) {
        const FileTypeRow &row = FileTypeTable::loadRow(k);
        SCOPED_TRACE(row.key);
        EXPECT_EQ(row.typeCode, kLoadCodes[k]);
        EXPECT_FALSE(row.isEnd());
        // Two-file rows name an extension for each file, one-file rows one.
        EXPECT_TRUE(QByteArray(row.extension1).startsWith("*."));
        EXPECT_EQ(row.fileCount == 2, QByteArray(row.extension2).startsWith("*."));
        EXPECT_EQ(row.fileCount == 1, *row.extension2 == '\0');
    }
    EXPECT_STREQ(FileTypeTable::loadRow(33).key, "sigmf");
    expectEndMarker(FileTypeTable::loadRow(34));
    expectEndMarker(FileTypeTable::loadRow(-1));
}

TEST(FileTypeTable, SaveListSharesRows0To24ThenWvAndSigmf)
{
    ASSERT_EQ(FileTypeTable::saveCount(), 27);
    for (int k = 0; k < 25; ++k)
        expectSameRow(FileTypeTable::saveRow(k), FileTypeTable::loadRow(k));
    expectSameRow(FileTypeTable::saveRow(25), FileTypeTable::loadRow(32));
    // SigMF opens from either of its files but saves under the metadata's name or an archive's.
    EXPECT_EQ(FileTypeTable::saveRow(26).typeCode, TypeCode::Sigmf);
    EXPECT_STREQ(FileTypeTable::saveRow(26).key, "sigmf");
    expectEndMarker(FileTypeTable::saveRow(27));
}

TEST(FileTypeTable, KeysAreUniquePerListAndNameRows)
{
    for (bool load : {true, false}) {
        QSet<QString> keys;
        const int count = load ? FileTypeTable::loadCount() : FileTypeTable::saveCount();
        for (int k = 0; k < count; ++k) {
            const FileTypeRow &row = load ? FileTypeTable::loadRow(k) : FileTypeTable::saveRow(k);
            const QString key = QString::fromLatin1(row.key);
            ASSERT_FALSE(key.isEmpty());
            EXPECT_FALSE(key.contains(QLatin1Char(' ')));
            EXPECT_FALSE(keys.contains(key)) << row.key;
            keys.insert(key);
            EXPECT_EQ(load ? FileTypeTable::findLoad(key) : FileTypeTable::findSave(key), k);
            EXPECT_EQ(load ? FileTypeTable::findLoad(QString::number(k))
                           : FileTypeTable::findSave(QString::number(k)),
                      k);
        }
    }
    EXPECT_EQ(FileTypeTable::findLoad(QStringLiteral("matlab-ascii-single")), 0);
    EXPECT_EQ(FileTypeTable::findSave(QStringLiteral("iqw-pairs")), 18);
    EXPECT_EQ(FileTypeTable::findLoad(QStringLiteral("wv")), 32);
    EXPECT_EQ(FileTypeTable::findSave(QStringLiteral("wv")), 25);
    EXPECT_EQ(FileTypeTable::findSave(QStringLiteral("ads-ascii-time")), -1);  // load only
    EXPECT_EQ(FileTypeTable::findLoad(QStringLiteral("34")), -1);
    EXPECT_EQ(FileTypeTable::findSave(QStringLiteral("27")), -1);
    EXPECT_EQ(FileTypeTable::findLoad(QStringLiteral("-1")), -1);
    EXPECT_EQ(FileTypeTable::findLoad(QStringLiteral("nonsense")), -1);
}

TEST(FileTypeTable, ComboLabels)
{
    EXPECT_EQ(FileTypeTable::label(FileTypeTable::loadRow(4)),
              QStringLiteral("MathCAD single (*.i,*.q)"));
    EXPECT_EQ(FileTypeTable::label(FileTypeTable::loadRow(1)),
              QStringLiteral("Matlab ASCII mixed (*.asc)"));
    EXPECT_EQ(FileTypeTable::label(FileTypeTable::loadRow(25)),
              QStringLiteral("ADS ASCII  TIMe dom. sgl (*.tim,*.tim)"));
    EXPECT_EQ(FileTypeTable::label(FileTypeTable::loadRow(32)),
              QStringLiteral("Vantorp WV mixed (unscrambled) (*.wv)"));
}

TEST(FileTypeAbilities, AppendableRowsHaveAReaderAndAWriterAndNamesMatchCodes)
{
    for (int s = 0; s < FileTypeTable::saveCount(); ++s) {
        const FileTypeRow &row = FileTypeTable::saveRow(s);
        SCOPED_TRACE(row.key);
        EXPECT_EQ(&FileTypeTable::saveRowOfCode(row.typeCode), &row);
        EXPECT_TRUE(s == row.typeCode || row.typeCode == TypeCode::Sigmf);
        if (row.can(RowAbility::Append)) {
            EXPECT_TRUE(typeHasReader(row.typeCode));
            EXPECT_TRUE(typeHasWriter(row.typeCode));
        }
        EXPECT_EQ(row.qName == QNameRule::None, row.fileCount == 1);
    }
    EXPECT_EQ(FileTypeTable::saveRow(TypeCode::Wv).typeCode, TypeCode::Wv);
    EXPECT_EQ(FileTypeTable::loadRow(32).typeCode, TypeCode::Wv);
    EXPECT_EQ(FileTypeTable::loadRow(27).typeCode, TypeCode::AdsBinarySingle);
    // The copy abilities follow the codecs: every binary and container type streams, both ways;
    // text types stay whole-file.
    EXPECT_EQ(FileTypeTable::saveKeysWith(RowAbility::CopyTarget),
              QStringLiteral("matlab-binary-single, matlab-binary-mixed, spw-binary-mixed, "
                             "wav-single, wav-mixed, iqw-pairs, iqw-blocks, "
                             "loomwave, recordia-raw, wv, sigmf"));
    EXPECT_EQ(FileTypeTable::loadKeysWith(RowAbility::CopySource),
              QStringLiteral("matlab-binary-single, matlab-binary-mixed, spw-binary-mixed, "
                             "wav-single, wav-mixed, iqw-pairs, iqw-blocks, loomwave, "
                             "recordia-raw, ads-binary-time, ads-binary-single, awg2000, tds, wv, "
                             "sigmf"));
    EXPECT_TRUE(FileTypeTable::saveRowOfCode(TypeCode::Tds).isEnd());
}

TEST(FileTypeAbilities, QNamesFollowTheRowsRule)
{
    const FileTypeRow &mathcad = FileTypeTable::saveRow(TypeCode::MathcadSingle);
    const FileTypeRow &spw = FileTypeTable::saveRow(TypeCode::SpwAsciiSingle);
    EXPECT_EQ(FileTypeTable::loadQName(mathcad, QStringLiteral("/d/a.i")),
              QStringLiteral("/d/a.q"));
    EXPECT_TRUE(FileTypeTable::loadQName(spw, QStringLiteral("/d/a.i")).isEmpty());
    EXPECT_EQ(FileTypeTable::saveQName(mathcad, QStringLiteral("/d/a.dat")),
              QStringLiteral("/d/a.q"));
    EXPECT_TRUE(FileTypeTable::saveQName(spw, QStringLiteral("/d/a.ascsig")).isEmpty());
}
