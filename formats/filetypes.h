#pragma once

#include <QString>
#include <cstdint>

// One row of the load or the save list. The row's position in its list is what the combo
// boxes and IqBuffer::typeIndex hold; typeCode selects the reader or writer. In the load
// list index and code differ from index 25 on, so an index is never used as a code.
struct FileTypeRow
{
    const char *displayName;
    int32_t fileCount;   // 2: I and Q in two files; 1: one file holds both
    const char *extension1;
    const char *extension2;  // empty for one-file types
    int32_t typeCode;
    const char *key;     // short name for the command line
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
};
