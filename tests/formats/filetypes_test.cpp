#include "filetypes.h"
#include "dispatch.h"

#include <gtest/gtest.h>

#include <QSet>
#include <cstring>
#include <string>

namespace {

struct Expected
{
    const char *name;
    const char *ext1;
    const char *ext2;
    int files;
    int code;
};

const Expected kLoad[] = {
        {"Matlab ASCII single", "*.dat", "*.dat", 2, 0},
        {"Matlab ASCII mixed", "*.asc", "", 1, 1},
        {"Matlab binary single", "*.mat", "*.mat", 2, 2},
        {"Matlab binary mixed", "*.mat", "", 1, 3},
        {"MathCAD single", "*.i", "*.q", 2, 4},
        {"MathCAD mixed", "*.dat", "", 1, 5},
        {"DaDisp single", "*.i", "*.q", 2, 6},
        {"DaDisp mixed", "*.dsp", "", 1, 7},
        {"COSSAP single", "*.i", "*.q", 2, 8},
        {"COSSAP mixed", "*.dat", "", 1, 9},
        {"SPW ASCII single", "*.ascsig", "*.ascsig", 2, 10},
        {"SPW ASCII mixed", "*.ascsig", "", 1, 11},
        {"SPW binary mixed", "*.sig", "", 1, 12},
        {"ADS ASCII single", "*.ascsig", "*.ascsig", 2, 13},
        {"WAV single", "*.wav", "*.wav", 2, 14},
        {"WAV mixed", "*.wav", "", 1, 15},
        {"Simtrax", "*.i", "*.q", 2, 16},
        {"DAB-Q6", "*.sym", "", 1, 17},
        {"IQW mixed, iqiqiq....iq", "*.iqw", "", 1, 18},
        {"IQW mixed, iii..iqqq..q", "*.iqw", "", 1, 19},
        {"Hex 16-bit signed mixed", "*.txt", "", 1, 20},
        {"Hex 10-bit signed mixed", "*.txt", "", 1, 21},
        {"Hex 17-bit signed mixed", "*.txt", "", 1, 22},
        {"Loomwave", "*.ibn", "", 1, 23},
        {"Vantorp Recordia Raw", "*.wvd", "", 1, 24},
        {"ADS ASCII  TIMe dom. sgl", "*.tim", "*.tim", 2, 26},
        {"ADS BINary TIMe dom. sgl", "*.bintim", "*.bintim", 2, 27},
        {"ADS binary single", "*.sig", "*.sig", 2, 28},
        {"UInt16", "*.i", "*.q", 2, 29},
        {"AWG 2000 Series", "*.wfm", "*.wfm", 2, 30},
        {"TDS 5000/6000/7000", "*.wfm", "*.wfm", 2, 31},
        {"ASCII mixed no LF", "*.asc", "", 1, 32},
        {"Vantorp WV mixed (unscrambled)", "*.wv", "", 1, 25},
};

void expectRow(const FileTypeRow &row, const Expected &e, int index)
{
    EXPECT_STREQ(row.displayName, e.name) << index;
    EXPECT_STREQ(row.extension1, e.ext1) << index;
    EXPECT_STREQ(row.extension2, e.ext2) << index;
    EXPECT_EQ(row.fileCount, e.files) << index;
    EXPECT_EQ(row.typeCode, e.code) << index;
}

void expectEndMarker(const FileTypeRow &row)
{
    EXPECT_STREQ(row.displayName, "");
    EXPECT_STREQ(row.extension1, "");
    EXPECT_STREQ(row.extension2, "");
    EXPECT_EQ(row.fileCount, 0);
    EXPECT_EQ(row.typeCode, 0);
}

}  // namespace

TEST(FileTypeTable, LoadListHas34RowsInOrderAndAnEndMarker)
{
    ASSERT_EQ(FileTypeTable::loadCount(), 34);
    for (int k = 0; k < 33; ++k)
        expectRow(FileTypeTable::loadRow(k), kLoad[k], k);
    EXPECT_EQ(FileTypeTable::loadRow(33).typeCode, TypeCode::Sigmf);
    EXPECT_STREQ(FileTypeTable::loadRow(33).key, "sigmf");
    expectEndMarker(FileTypeTable::loadRow(34));
    expectEndMarker(FileTypeTable::loadRow(-1));
}

TEST(FileTypeTable, SaveListSharesRows0To24ThenWvAndSigmf)
{
    ASSERT_EQ(FileTypeTable::saveCount(), 27);
    for (int k = 0; k < 25; ++k) {
        expectRow(FileTypeTable::saveRow(k), kLoad[k], k);
        EXPECT_EQ(FileTypeTable::saveRow(k).typeCode, k);  // index and code agree in the save list
    }
    expectRow(FileTypeTable::saveRow(25), kLoad[32], 25);
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
              QStringLiteral("matlab-binary-single, matlab-binary-mixed, spw-binary-mixed, wav-single, wav-mixed, iqw-pairs, iqw-blocks, "
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
