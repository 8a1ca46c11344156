#pragma once

#include "iqstatus.h"

#include <QString>

// Why the last file operation of this thread failed: the file it was working on and the
// reason in words, either the system's error text ("No such file or directory") or the
// format's own ("header announces 1000 samples, the file holds 500"). A reader or writer that
// returns a failing IqStatus notes the detail just before; the boundary (window, CLI, Python)
// takes it and shows it beneath the status's headline. Kept per thread, like errno, so that a
// worker's failure never reaches another thread's message.
struct FileFailure
{
    QString path;
    QString reason;

    bool empty() const { return path.isEmpty() && reason.isEmpty(); }
    // "path: reason", or whichever of the two is known.
    QString text() const;
};

// Records the detail of the failure about to be returned, replacing any earlier one.
void noteFileFailure(const QString &path, const QString &reason);

// Notes the detail and returns status, so a reader can end with
// return failFile(IqStatus::FirstFile, path, "not a WAV file: no RIFF id");
inline IqStatus failFile(IqStatus status, const QString &path, const QString &reason)
{
    noteFileFailure(path, reason);
    return status;
}

// The system's text for errno (strerror, in English whatever the locale).
QString systemErrorText(int error);

// The detail noted last on this thread; it stays noted until cleared or replaced.
FileFailure lastFileFailure();

// Forgets the noted detail: a caller clears before an operation so that an old detail is
// never shown for a new failure.
void clearFileFailure();
