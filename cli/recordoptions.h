#pragma once

#include "appsettings.h"
#include "clioptions.h"
#include "iqbuffer.h"

#include <QTemporaryFile>

#include <memory>

// The options that name files and file types, shared by the commands that load or save:
//   [--from TYPE] --in FILE [--in-q FILE]   source (TYPE: load-list index or key; left out,
//                                          the one row the file's extension names)
//   [--to TYPE] --out FILE [--out-q FILE]   destination (TYPE: save-list index or key, or
//                                          likewise from the extension)
//   --rate HZ --ref-level DBM             set on the record before loading, as the Load tab does
//   --guard G                             guard samples for append
//   --no-verify                           a SigMF load skips its core:sha512 check
class RecordOptions : public CliOptions
{
public:
    // CliOptions::parse, with --no-verify taken as well.
    bool parse(const QStringList &arguments, const QStringList &valued, QString &error,
               const QStringList &switches = QStringList());

    // What source() does for a two-file type given without --in-q.
    enum class QName { FromIName, Required };

    // The record to load: type index, file names, sample rate and reference level (and whether a
    // SigMF load checks its hash, for this thread). With
    // QName::FromIName an I file named *.i brings its *.q partner, as the Load tab does.
    bool source(IqBuffer &record, QString &error, QName qName = QName::FromIName) const;
    // The record that names the destination: type index and file names.
    bool target(IqBuffer &record, QString &error) const;
    bool guard(int32_t &count, QString &error) const;
};

// The list index of a load (or save) type: the row typeText names (key or index), or, when
// typeText is empty, the one row whose extension the file name has. -1 with a message
// otherwise; where several rows fit, the message lists their keys.
int cliTypeIndex(bool load, const QString &typeText, const QString &file, QString &error);

// Exit statuses of trovik-cli.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// "trovik-cli: <message> (see trovik-cli <command> --help)" on stderr; returns kExitUsage.
int cliUsageError(const char *command, const QString &message);

// Fails (false, with a message) when this build has no reader for the record's load type.
bool cliCanRead(const IqBuffer &record, QString &error);
// Loads the record and returns kExitOk, or prints the load failure as the main window words
// it, with the status, and returns kExitFailed.
int cliLoad(IqBuffer &record);
// Saves source to the destination named by target (appending behind guard samples when asked)
// and returns kExitOk, or prints the failure with its status and returns kExitFailed. The
// record's own rate, level and centre frequency are written.
int cliSave(IqBuffer &source, IqBuffer &target, bool append, int32_t guard);
// The line of a failed load of record: the scrambled-file warning or "File Load Error.", then
// the file and the reason noted by the reader, then the status.
QString loadFailureText(const IqBuffer &record, IqStatus status);

// "-" as --in reads the standard input. The input is spooled to a temporary file first, which
// lives as long as this: the codecs read frames at positions, and a scaled target reads its
// source twice. Only one-file types other than the raw recording (its header lies in a file
// beside the data) can come this way.
class StandardInputSpool
{
public:
    // Leaves records of other names alone; true when the record can be read.
    bool take(IqBuffer &record, QString &error);

private:
    std::unique_ptr<QTemporaryFile> m_file;
};

// "-" as --out writes the standard output; only the types whose writer fills one file front to
// back take it (writesFrontToBack in framecodec.h). False with a message for the others.
bool cliPipeTargetOk(int saveIndex, const QString &out, QString &error);
