#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

// The format numbers that select a reader or writer. In the save list a row's index equals
// its code; in the load list they differ from index 25 on.
namespace TypeCode {
constexpr int32_t MatlabAsciiSingle = 0;
constexpr int32_t MatlabAsciiMixed = 1;
constexpr int32_t MatlabBinarySingle = 2;
constexpr int32_t MatlabBinaryMixed = 3;
constexpr int32_t MathcadSingle = 4;
constexpr int32_t MathcadMixed = 5;
constexpr int32_t DadispSingle = 6;
constexpr int32_t DadispMixed = 7;
constexpr int32_t CossapSingle = 8;
constexpr int32_t CossapMixed = 9;
constexpr int32_t SpwAsciiSingle = 10;
constexpr int32_t SpwAsciiMixed = 11;
constexpr int32_t SpwBinaryMixed = 12;
constexpr int32_t AdsAsciiSingle = 13;
constexpr int32_t WavSingle = 14;
constexpr int32_t WavMixed = 15;
constexpr int32_t Simtrax = 16;
constexpr int32_t DabSymbols = 17;
constexpr int32_t IqwPairs = 18;
constexpr int32_t IqwBlocks = 19;
constexpr int32_t Hex16 = 20;
constexpr int32_t Hex10 = 21;
constexpr int32_t Hex17 = 22;
constexpr int32_t Loomwave = 23;
constexpr int32_t RawRecording = 24;
constexpr int32_t Wv = 25;
constexpr int32_t AdsAsciiTime = 26;
constexpr int32_t AdsBinaryTime = 27;
constexpr int32_t AdsBinarySingle = 28;
constexpr int32_t UInt16 = 29;
constexpr int32_t Awg2000 = 30;
constexpr int32_t Tds = 31;
constexpr int32_t AsciiNoLineFeed = 32;
constexpr int32_t Sigmf = 33;
}  // namespace TypeCode

// How the Q file of a two-file row is found from the I file the user picked.
enum class QNameRule : uint8_t {
    None,         // one-file row: there is no Q file
    FromIName,    // load: an I name ending in ".i" brings its ".q"; save: the I name up to its
                  // last "." + ".q"
    ChosenApart,  // both files share one extension, so the Q file is always chosen on its own
};

// What a row can take part in, beyond a plain load or save.
namespace RowAbility {
constexpr uint8_t Append = 1;  // the destination is read back, joined and rewritten
// The two copy abilities are not written in the table: a row has them when its type's streaming
// codec (framecodec.h) reads frames, or writes them in pieces.
constexpr uint8_t CopySource = 2;  // the chunked copy reads it without loading it whole
constexpr uint8_t CopyTarget = 4;  // the chunked copy writes it piece by piece
// The writer scales the record to the file's full range and the reader gives codes (or
// values normalised to the full range) back, so data added to such a file must be brought
// to the file's scale first.
constexpr uint8_t ScaledOnWrite = 8;
}  // namespace RowAbility

// One row of the load or the save list. The row's position in its list is what the combo
// boxes and IqBuffer::typeIndex hold; typeCode selects the reader or writer. In the load
// list index and code differ from index 25 on, so an index is never used as a code.
struct FileTypeRow
{
    const char *displayName;
    int32_t fileCount;  // 2: I and Q in two files; 1: one file holds both
    const char *extension1;
    const char *extension2;  // empty for one-file types
    int32_t typeCode;
    const char *key;    // short name for the command line
    uint8_t abilities;  // RowAbility bits other than the copy abilities
    QNameRule qName;

    bool can(uint8_t ability) const { return (allAbilities() & ability) == ability; }
    // The table's bits and the copy abilities of the type's codec.
    uint8_t allAbilities() const;
    bool isEnd() const { return displayName[0] == '\0'; }
};

// The two fixed lists. Each ends with an empty row (all strings empty, all numbers 0) that
// marks the end; count() does not include it.
class FileTypeTable
{
public:
    static int loadCount();
    static int saveCount();
    // Row at an index; out-of-range indices give the empty end-marker row.
    static const FileTypeRow &loadRow(int index);
    static const FileTypeRow &saveRow(int index);
    // Index of the row whose key or decimal index is text, or -1.
    static int findLoad(const QString &text);
    static int findSave(const QString &text);
    // The label a combo box shows: "name (*.a,*.b)" or "name (*.a)".
    static QString label(const FileTypeRow &row);
    // The rows whose first extension is the file name's (case-insensitive), in list order.
    static QList<int> loadRowsForFile(const QString &fileName);
    static QList<int> saveRowsForFile(const QString &fileName);
    // The save row that writes a type code (the end-marker row when none does).
    static const FileTypeRow &saveRowOfCode(int typeCode);
    // The Q file that goes with the I file chosen for a row, by the row's rule; empty when the
    // row derives none. Load side: an I name whose last extension is "i" with it replaced by
    // "q". Save side: the name up to the last "." of its file part (the whole name when it has
    // none) followed by ".q".
    static QString loadQName(const FileTypeRow &row, const QString &iName);
    static QString saveQName(const FileTypeRow &row, const QString &iName);
    // The keys of the rows with the ability, joined by ", ", for messages.
    static QString saveKeysWith(uint8_t ability);
    static QString loadKeysWith(uint8_t ability);
};
