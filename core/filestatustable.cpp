#include "filestatustable.h"

#include <iterator>

namespace {

constexpr const char *kError = "Error";

const FileStatusRow kRows[] = {
        {IqStatus::Ok, "success", kError, nullptr},
        {IqStatus::FirstFile, "the (first) file cannot be opened, read or written", kError,
         nullptr},
        {IqStatus::SecondFile, "the second (Q) file cannot be opened, read or written", kError,
         nullptr},
        {IqStatus::BadWavHeader, "not a WAV file that can be read", kError, nullptr},
        {IqStatus::BadAwgHeader, "the AWG file header cannot be parsed", kError, nullptr},
        {IqStatus::Scrambled, "the file is scrambled and is not read", "Warning",
         "The file %1 is scrambled. Load aborted."},
        {IqStatus::NoMemoryI, "no memory for the I array", kError, nullptr},
        {IqStatus::NoMemoryQ, "no memory for the Q array", kError, nullptr},
        {IqStatus::Unsupported,
         "the file holds real samples or several channels, which cannot be loaded", kError,
         nullptr},
        // The window shows no box for a cancel; the CLI and Python say what happened.
        {IqStatus::Cancelled, "cancelled by the user", kError, "Cancelled.", true},
        {IqStatus::OutOfMemory, "not enough memory", kError, "Memory too low.", true},
};

const FileStatusRow kUnknown = {IqStatus::Ok, "unknown status", kError, nullptr};

}  // namespace

const FileStatusRow &FileStatusTable::row(IqStatus status)
{
    for (const FileStatusRow &r : kRows)
        if (r.status == status)
            return r;
    return kUnknown;
}

const char *FileStatusTable::operationHeadline(FileOperation operation)
{
    switch (operation) {
    case FileOperation::Load:
    case FileOperation::Copy: return "File Load Error.";
    case FileOperation::Save: return "File Save Error.";
    case FileOperation::Append: return "File Append Error.";
    }
    return "File Load Error.";
}

QString FileFailureMessage::line() const
{
    QString text = headline;
    if (!detail.isEmpty())
        text += QLatin1Char(' ') + detail;
    if (!status.isEmpty())
        text += QStringLiteral(" (") + status + QLatin1Char(')');
    return text;
}

FileFailureMessage fileFailureMessage(FileOperation operation, IqStatus status,
                                      const QString &fileName, const FileFailure &detail)
{
    const FileStatusRow &r = FileStatusTable::row(status);
    const bool reading = operation == FileOperation::Load || operation == FileOperation::Copy;
    FileFailureMessage m;
    m.title = QLatin1String(reading ? r.boxTitle : kError);
    if (r.headline && (reading || r.headlineForEveryOperation))
        m.headline = QString::fromLatin1(r.headline).replace(QLatin1String("%1"), fileName);
    else
        m.headline = QLatin1String(FileStatusTable::operationHeadline(operation));
    FileFailure shown = detail;
    if (shown.empty())
        shown = {fileName, QLatin1String(r.text)};
    m.detail = shown.text();
    m.status = QStringLiteral("status %1: %2").arg(statusCode(status)).arg(QLatin1String(r.text));
    return m;
}
