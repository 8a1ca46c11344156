#pragma once

#include "appsettings.h"
#include "iqbuffer.h"
#include "settingskeys.h"

#include <QString>

// Reads every key of the settings-key table; a missing file or key gives the default, a
// value of the wrong type its numeric conversion (0 for text). No limit is applied here
// (keepWithinLimits does that), except that high impedance holds the analog range at 1.78 V.
// Never fails.
StoredSettings readStoredSettings(const QString &path);

// Removes every key the file holds, then writes every key of the table in table order.
// Returns false when the file could not be written (callers at exit may ignore it); a file
// that exists but cannot be read, and a full disk, leave the old file as it was.
bool writeStoredSettings(const QString &path, const StoredSettings &stored);

// Between the stored values and the window's records and members.
void takeStoredSettings(const StoredSettings &stored, AppSettings &settings, IqBuffer &sourceRecord,
                        IqBuffer &targetRecord, int &tcpPort, int &connectTo, int &windowX,
                        int &windowY);
StoredSettings storedSettingsOf(const AppSettings &settings, const IqBuffer &sourceRecord,
                                const IqBuffer &targetRecord, int tcpPort, int connectTo,
                                int windowX, int windowY);

// The per-user data location with "Vantorp/" inserted before its last element:
// ".../share/trovik" -> ".../share/Vantorp/trovik".
QString configDirFromDataLocation(const QString &dataLocation);

// configDirFromDataLocation() of this platform's application data location.
QString defaultConfigDir();

// The settings file's name inside the configuration folder.
inline QString settingsFilePath(const QString &configDir)
{
    return configDir + QStringLiteral("/Trovik.ini");
}
