#include "filetypes.h"

#include "framecodec.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <iterator>

namespace {

using namespace TypeCode;

// What a row can do beyond load and save, by name (the copy abilities come from the codecs).
constexpr uint8_t Appendable = RowAbility::Append;
constexpr uint8_t AppendableScaled = RowAbility::Append | RowAbility::ScaledOnWrite;
constexpr uint8_t LoadOnly = 0;
constexpr QNameRule One = QNameRule::None;
constexpr QNameRule FromI = QNameRule::FromIName;
constexpr QNameRule Apart = QNameRule::ChosenApart;

const FileTypeRow kEnd = {"", 0, "", "", 0, "", 0, One};

// The table reads row by row: kept as laid out by hand.
// clang-format off
// Rows 0..24 of both lists are the same rows.
#define TROVIK_COMMON_ROWS                                                                                        \
    {"Matlab ASCII single", 2, "*.dat", "*.dat", MatlabAsciiSingle, "matlab-ascii-single", Appendable, FromI},    \
    {"Matlab ASCII mixed", 1, "*.asc", "", MatlabAsciiMixed, "matlab-ascii-mixed", Appendable, One},              \
    {"Matlab binary single", 2, "*.mat", "*.mat", MatlabBinarySingle, "matlab-binary-single", Appendable, FromI}, \
    {"Matlab binary mixed", 1, "*.mat", "", MatlabBinaryMixed, "matlab-binary-mixed", Appendable, One},           \
    {"MathCAD single", 2, "*.i", "*.q", MathcadSingle, "mathcad-single", Appendable, FromI},                      \
    {"MathCAD mixed", 1, "*.dat", "", MathcadMixed, "mathcad-mixed", Appendable, One},                            \
    {"DaDisp single", 2, "*.i", "*.q", DadispSingle, "dadisp-single", Appendable, FromI},                         \
    {"DaDisp mixed", 1, "*.dsp", "", DadispMixed, "dadisp-mixed", Appendable, One},                               \
    {"COSSAP single", 2, "*.i", "*.q", CossapSingle, "cossap-single", Appendable, FromI},                         \
    {"COSSAP mixed", 1, "*.dat", "", CossapMixed, "cossap-mixed", Appendable, One},                               \
    {"SPW ASCII single", 2, "*.ascsig", "*.ascsig", SpwAsciiSingle, "spw-ascii-single", Appendable, Apart},       \
    {"SPW ASCII mixed", 1, "*.ascsig", "", SpwAsciiMixed, "spw-ascii-mixed", Appendable, One},                    \
    {"SPW binary mixed", 1, "*.sig", "", SpwBinaryMixed, "spw-binary-mixed", Appendable, One},                    \
    {"ADS ASCII single", 2, "*.ascsig", "*.ascsig", AdsAsciiSingle, "ads-ascii-single", Appendable, Apart},       \
    {"WAV single", 2, "*.wav", "*.wav", WavSingle, "wav-single", AppendableScaled, FromI},                        \
    {"WAV mixed", 1, "*.wav", "", WavMixed, "wav-mixed", AppendableScaled, One},                                  \
    {"Simtrax", 2, "*.i", "*.q", Simtrax, "simtrax", Appendable, FromI},                                          \
    {"DAB-Q6", 1, "*.sym", "", DabSymbols, "dab-q6", Appendable, One},                                            \
    {"IQW mixed, iqiqiq....iq", 1, "*.iqw", "", IqwPairs, "iqw-pairs", Appendable, One},                          \
    {"IQW mixed, iii..iqqq..q", 1, "*.iqw", "", IqwBlocks, "iqw-blocks", Appendable, One},                        \
    {"Hex 16-bit signed mixed", 1, "*.txt", "", Hex16, "hex16", AppendableScaled, One},                           \
    {"Hex 10-bit signed mixed", 1, "*.txt", "", Hex10, "hex10", AppendableScaled, One},                           \
    {"Hex 17-bit signed mixed", 1, "*.txt", "", Hex17, "hex17", AppendableScaled, One},                           \
    {"Loomwave", 1, "*.ibn", "", Loomwave, "loomwave", Appendable, One},                                          \
    {"Vantorp Recordia Raw", 1, "*.wvd", "", RawRecording, "recordia-raw", AppendableScaled, One}

const FileTypeRow kLoadRows[] = {
    TROVIK_COMMON_ROWS,
    {"ADS ASCII  TIMe dom. sgl", 2, "*.tim", "*.tim", AdsAsciiTime, "ads-ascii-time", LoadOnly, FromI},
    {"ADS BINary TIMe dom. sgl", 2, "*.bintim", "*.bintim", AdsBinaryTime, "ads-binary-time", LoadOnly, FromI},
    {"ADS binary single", 2, "*.sig", "*.sig", AdsBinarySingle, "ads-binary-single", LoadOnly, FromI},
    {"UInt16", 2, "*.i", "*.q", UInt16, "uint16", LoadOnly, FromI},
    {"AWG 2000 Series", 2, "*.wfm", "*.wfm", Awg2000, "awg2000", LoadOnly, FromI},
    {"TDS 5000/6000/7000", 2, "*.wfm", "*.wfm", Tds, "tds", LoadOnly, FromI},
    {"ASCII mixed no LF", 1, "*.asc", "", AsciiNoLineFeed, "ascii-no-lf", LoadOnly, One},
    {"Vantorp WV mixed (unscrambled)", 1, "*.wv", "", Wv, "wv", AppendableScaled, One},
    {"SigMF", 1, "*.sigmf-meta *.sigmf-data *.sigmf", "", Sigmf, "sigmf", Appendable, One},
    kEnd,
};

const FileTypeRow kSaveRows[] = {
    TROVIK_COMMON_ROWS,
    {"Vantorp WV mixed (unscrambled)", 1, "*.wv", "", Wv, "wv", AppendableScaled, One},
    {"SigMF", 1, "*.sigmf-meta *.sigmf", "", Sigmf, "sigmf", Appendable, One},
    kEnd,
};
// clang-format on

#undef TROVIK_COMMON_ROWS

constexpr int kLoadCount = static_cast<int>(std::size(kLoadRows)) - 1;
constexpr int kSaveCount = static_cast<int>(std::size(kSaveRows)) - 1;
static_assert(kLoadCount == 34, "the load list has 34 rows");
static_assert(kSaveCount == 27, "the save list has 27 rows");

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

// A row's first pattern may list several wildcards separated by blanks.
bool matchesFile(const FileTypeRow &row, const QString &fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    for (const QString &pattern :
         QString::fromLatin1(row.extension1).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(pattern),
                                    QRegularExpression::CaseInsensitiveOption);
        if (re.match(name).hasMatch())
            return true;
    }
    return false;
}

QList<int> rowsForFile(const FileTypeRow *rows, int count, const QString &fileName)
{
    QList<int> found;
    for (int i = 0; i < count; ++i)
        if (matchesFile(rows[i], fileName))
            found << i;
    return found;
}

QString keysWith(const FileTypeRow *rows, int count, uint8_t ability)
{
    QStringList keys;
    for (int i = 0; i < count; ++i)
        if (rows[i].can(ability))
            keys << QLatin1String(rows[i].key);
    keys.removeDuplicates();
    return keys.join(QStringLiteral(", "));
}

}  // namespace

uint8_t FileTypeRow::allAbilities() const
{
    uint8_t all = abilities;
    if (const FrameCodec *codec = frameCodecFor(typeCode)) {
        if (codec->openReader)
            all |= RowAbility::CopySource;
        if (codec->openWriter)
            all |= RowAbility::CopyTarget;
    }
    return isEnd() ? 0 : all;
}

int FileTypeTable::loadCount()
{
    return kLoadCount;
}
int FileTypeTable::saveCount()
{
    return kSaveCount;
}

const FileTypeRow &FileTypeTable::loadRow(int index)
{
    return index >= 0 && index < kLoadCount ? kLoadRows[index] : kEnd;
}

const FileTypeRow &FileTypeTable::saveRow(int index)
{
    return index >= 0 && index < kSaveCount ? kSaveRows[index] : kEnd;
}

int FileTypeTable::findLoad(const QString &text)
{
    return findIn(kLoadRows, kLoadCount, text);
}
int FileTypeTable::findSave(const QString &text)
{
    return findIn(kSaveRows, kSaveCount, text);
}

QString FileTypeTable::label(const FileTypeRow &row)
{
    QString text = QString::fromLatin1(row.displayName) + QStringLiteral(" (")
                   + QString::fromLatin1(row.extension1);
    if (row.fileCount == 2)
        text += QLatin1Char(',') + QString::fromLatin1(row.extension2);
    return text + QLatin1Char(')');
}

QList<int> FileTypeTable::loadRowsForFile(const QString &fileName)
{
    return rowsForFile(kLoadRows, kLoadCount, fileName);
}

QList<int> FileTypeTable::saveRowsForFile(const QString &fileName)
{
    return rowsForFile(kSaveRows, kSaveCount, fileName);
}

const FileTypeRow &FileTypeTable::saveRowOfCode(int typeCode)
{
    for (int i = 0; i < kSaveCount; ++i)
        if (kSaveRows[i].typeCode == typeCode)
            return kSaveRows[i];
    return kEnd;
}

QString FileTypeTable::loadQName(const FileTypeRow &row, const QString &iName)
{
    if (row.qName != QNameRule::FromIName || QFileInfo(iName).suffix() != QLatin1String("i"))
        return QString();
    return iName.left(iName.size() - 1) + QLatin1Char('q');
}

QString FileTypeTable::saveQName(const FileTypeRow &row, const QString &iName)
{
    if (row.qName != QNameRule::FromIName)
        return QString();
    // Only a dot in the file's own name counts: "/data/run.1/out" gives "/data/run.1/out.q".
    const int fileStart
            = std::max(iName.lastIndexOf(QLatin1Char('/')), iName.lastIndexOf(QLatin1Char('\\')))
              + 1;
    const int dot = iName.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot >= fileStart ? iName.left(dot) : iName;
    return stem + QStringLiteral(".q");
}

QString FileTypeTable::saveKeysWith(uint8_t ability)
{
    return keysWith(kSaveRows, kSaveCount, ability);
}
QString FileTypeTable::loadKeysWith(uint8_t ability)
{
    return keysWith(kLoadRows, kLoadCount, ability);
}
