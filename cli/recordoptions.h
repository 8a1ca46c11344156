#pragma once

#include "iqbuffer.h"

#include <QHash>
#include <QString>
#include <QStringList>

// The options that name files and file types, shared by the commands that load or save:
//   --from TYPE --in FILE [--in-q FILE]   source (TYPE: load-list index or key)
//   --to TYPE --out FILE [--out-q FILE]   destination (TYPE: save-list index or key)
//   --rate HZ --ref-level DBM             set on the record before loading, as the Load tab does
//   --guard G                             guard samples for append
// Options take their value as the next argument or after '='.
class RecordOptions
{
public:
    // Fails (false, with a message) on an option not in allowed, a missing value or a stray
    // argument.
    bool parse(const QStringList &arguments, const QStringList &allowed, QString &error);
    bool has(const QString &name) const { return m_values.contains(name); }
    QString value(const QString &name) const { return m_values.value(name); }

    // The record to load: type index, file names, sample rate and reference level.
    bool source(IqBuffer &record, QString &error) const;
    // The record that names the destination: type index and file names.
    bool target(IqBuffer &record, QString &error) const;
    bool guard(int32_t &count, QString &error) const;

private:
    bool number(const QString &name, double fallback, double &out, QString &error) const;

    QHash<QString, QString> m_values;
};

// Exit statuses of trovik-cli.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// "trovik-cli: <message> (see trovik-cli <command> --help)" on stderr; returns kExitUsage.
int cliUsageError(const char *command, const QString &message);

// Loads the record and returns kExitOk, or prints the load failure as the main window words
// it, with the status, and returns kExitFailed.
int cliLoad(IqBuffer &record);
// Saves source to the destination named by target (appending behind guard samples when asked)
// and returns kExitOk, or prints the failure with its status and returns kExitFailed.
int cliSave(IqBuffer &source, IqBuffer &target, bool append, int32_t guard);
// The text of a failed load of record: the scrambled-file warning or "File Load Error.".
QString loadFailureText(const IqBuffer &record, IqStatus status);
