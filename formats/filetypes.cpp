#include "filetypes.h"

#include <iterator>

namespace {

const FileTypeRow kEnd = {"", 0, "", "", 0, ""};

// Rows 0..24 of both lists are the same rows.
#define TROVIK_COMMON_ROWS                                                                 \
    {"Matlab ASCII single", 2, "*.dat", "*.dat", 0, "matlab-ascii-single"},                \
    {"Matlab ASCII mixed", 1, "*.asc", "", 1, "matlab-ascii-mixed"},                       \
    {"Matlab binary single", 2, "*.mat", "*.mat", 2, "matlab-binary-single"},              \
    {"Matlab binary mixed", 1, "*.mat", "", 3, "matlab-binary-mixed"},                     \
    {"MathCAD single", 2, "*.i", "*.q", 4, "mathcad-single"},                              \
    {"MathCAD mixed", 1, "*.dat", "", 5, "mathcad-mixed"},                                 \
    {"DaDisp single", 2, "*.i", "*.q", 6, "dadisp-single"},                                \
    {"DaDisp mixed", 1, "*.dsp", "", 7, "dadisp-mixed"},                                   \
    {"COSSAP single", 2, "*.i", "*.q", 8, "cossap-single"},                                \
    {"COSSAP mixed", 1, "*.dat", "", 9, "cossap-mixed"},                                   \
    {"SPW ASCII single", 2, "*.ascsig", "*.ascsig", 10, "spw-ascii-single"},               \
    {"SPW ASCII mixed", 1, "*.ascsig", "", 11, "spw-ascii-mixed"},                         \
    {"SPW binary mixed", 1, "*.sig", "", 12, "spw-binary-mixed"},                          \
    {"ADS ASCII single", 2, "*.ascsig", "*.ascsig", 13, "ads-ascii-single"},               \
    {"WAV single", 2, "*.wav", "*.wav", 14, "wav-single"},                                 \
    {"WAV mixed", 1, "*.wav", "", 15, "wav-mixed"},                                        \
    {"Simtrax", 2, "*.i", "*.q", 16, "simtrax"},                                           \
    {"DAB-Q6", 1, "*.sym", "", 17, "dab-q6"},                                              \
    {"IQW mixed, iqiqiq....iq", 1, "*.iqw", "", 18, "iqw-pairs"},                          \
    {"IQW mixed, iii..iqqq..q", 1, "*.iqw", "", 19, "iqw-blocks"},                         \
    {"Hex 16-bit signed mixed", 1, "*.txt", "", 20, "hex16"},                              \
    {"Hex 10-bit signed mixed", 1, "*.txt", "", 21, "hex10"},                              \
    {"Hex 17-bit signed mixed", 1, "*.txt", "", 22, "hex17"},                              \
    {"Loomwave", 1, "*.ibn", "", 23, "loomwave"},                                          \
    {"Vantorp Recordia Raw", 1, "*.wvd", "", 24, "recordia-raw"}

const FileTypeRow kLoadRows[] = {
    TROVIK_COMMON_ROWS,
    {"ADS ASCII  TIMe dom. sgl", 2, "*.tim", "*.tim", 26, "ads-ascii-time"},
    {"ADS BINary TIMe dom. sgl", 2, "*.bintim", "*.bintim", 27, "ads-binary-time"},
    {"ADS binary single", 2, "*.sig", "*.sig", 28, "ads-binary-single"},
    {"UInt16", 2, "*.i", "*.q", 29, "uint16"},
    {"AWG 2000 Series", 2, "*.wfm", "*.wfm", 30, "awg2000"},
    {"TDS 5000/6000/7000", 2, "*.wfm", "*.wfm", 31, "tds"},
    {"ASCII mixed no LF", 1, "*.asc", "", 32, "ascii-no-lf"},
    {"Vantorp WV mixed (unscrambled)", 1, "*.wv", "", 25, "wv"},
    kEnd,
};

const FileTypeRow kSaveRows[] = {
    TROVIK_COMMON_ROWS,
    {"Vantorp WV mixed (unscrambled)", 1, "*.wv", "", 25, "wv"},
    kEnd,
};

#undef TROVIK_COMMON_ROWS

constexpr int kLoadCount = static_cast<int>(std::size(kLoadRows)) - 1;
constexpr int kSaveCount = static_cast<int>(std::size(kSaveRows)) - 1;
static_assert(kLoadCount == 33, "the load list has 33 rows");
static_assert(kSaveCount == 26, "the save list has 26 rows");

int findIn(const FileTypeRow *rows, int count, const QString &text)
{
    bool isNumber = false;
    const int index = text.toInt(&isNumber);
    if (isNumber)
        return index >= 0 && index < count ? index : -1;
    for (int i = 0; i < count; ++i)
        if (text.compare(QLatin1String(rows[i].key), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

}  // namespace

int FileTypeTable::loadCount() { return kLoadCount; }
int FileTypeTable::saveCount() { return kSaveCount; }

const FileTypeRow &FileTypeTable::loadRow(int index)
{
    return index >= 0 && index < kLoadCount ? kLoadRows[index] : kEnd;
}

const FileTypeRow &FileTypeTable::saveRow(int index)
{
    return index >= 0 && index < kSaveCount ? kSaveRows[index] : kEnd;
}

int FileTypeTable::findLoad(const QString &text) { return findIn(kLoadRows, kLoadCount, text); }
int FileTypeTable::findSave(const QString &text) { return findIn(kSaveRows, kSaveCount, text); }

QString FileTypeTable::label(const FileTypeRow &row)
{
    QString text = QString::fromLatin1(row.displayName) + QStringLiteral(" (")
                   + QString::fromLatin1(row.extension1);
    if (row.fileCount == 2)
        text += QLatin1Char(',') + QString::fromLatin1(row.extension2);
    return text + QLatin1Char(')');
}
