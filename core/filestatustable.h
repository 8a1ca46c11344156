#pragma once

#include "filefailure.h"
#include "iqstatus.h"

#include <QString>

// What the user asked of a file when it failed; each has a headline of its own.
enum class FileOperation { Load, Copy, Save, Append };

// One file status as the user meets it, in the window and on the command line alike.
struct FileStatusRow
{
    IqStatus status;
    const char *text;      // short description, for logs and the CLI's "(status N: text)"
    const char *boxTitle;  // title of the window's message box when a read fails
    // A headline of the status's own when a read (Load, Copy) fails, "%1" standing for the
    // file's name; nullptr, and for Save and Append: the headline of the operation ("File Load
    // Error.", "File Save Error.", ...) under the title "Error".
    const char *headline;
    // The headline is the status's own for Save and Append too, whatever was asked.
    bool headlineForEveryOperation = false;
};

namespace FileStatusTable {
// The row of status; a code missing from the table gets a row of "unknown status".
const FileStatusRow &row(IqStatus status);
// The headline of a failed operation whose status has none of its own.
const char *operationHeadline(FileOperation operation);
}  // namespace FileStatusTable

// What the window and the CLI show for a failed file operation.
struct FileFailureMessage
{
    QString title;     // "Error" or "Warning"
    QString headline;  // "File Load Error.", "The file x.wv is scrambled. Load aborted."
    QString detail;    // "path: reason"
    QString status;    // "status -4: not a WAV file that can be read"

    // The CLI's one line: the headline, the detail, and the status in parentheses.
    QString line() const;
};

// fileName is the file the operation was asked for; it names the scrambled file, and stands
// in with the status's description when no reader or writer noted a detail, so that every
// message names a file and a reason.
FileFailureMessage fileFailureMessage(FileOperation operation, IqStatus status,
                                      const QString &fileName, const FileFailure &detail);
