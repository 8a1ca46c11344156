#pragma once

#include "acquisitionstatus.h"
#include "filestatustable.h"

#include <pybind11/pybind11.h>

#include <QStringList>

// trovik.FileError and trovik.CaptureError, made once when the module is imported.
void registerErrors(pybind11::module_ &module);

// Raises trovik.FileError for a failed file operation: the message is the CLI's line (headline,
// "path: reason", the status), .status the IqStatus, .path the file the failure names.
[[noreturn]] void throwFileError(FileOperation operation, IqStatus status, const QString &fileName);

// Raises trovik.CaptureError: the window's message for status, then the lines of what happened,
// one per line as trovik-cli prints them; .status is the AcquisitionStatus as a number, .reason
// its name and .detail the lines.
[[noreturn]] void throwCaptureError(AcquisitionStatus status, const QString &headline,
                                    const QStringList &detail);
[[noreturn]] void throwCaptureError(AcquisitionStatus status, const QStringList &detail);

// A Python str from a QString, and back (os.PathLike accepted).
pybind11::str toPython(const QString &text);
QString pathText(const pybind11::handle &path, const char *argument);
