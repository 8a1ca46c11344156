#pragma once

#include "linuxprobe.h"

#include <QString>
#include <QStringList>

// The version a shared library's file name carries: "6.1.4" for libqwt-qt5.so.6.1.4 (after
// following symbolic links), "" when the name carries none.
QString libraryFileVersion(const QString &file);

// The first file named baseName or baseName.* ("libvisa.so" finds libvisa.so.0 too) in the
// given folders (absolute, read under the probe's root); empty when there is none.
QString findLibraryFile(const LinuxProbe &probe, const QStringList &dirs, const QString &baseName);

// The library this process has loaded under that name, or empty.
QString loadedLibraryFile(const LinuxProbe &probe, const QString &baseName);

// Version for a report line: the file name's version, "unknown version" for a file whose name
// carries none, "---" when there is no file.
QString reportedVersion(const QString &file);
