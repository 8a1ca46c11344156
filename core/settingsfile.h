#pragma once

#include "appsettings.h"
#include "iqbuffer.h"

#include <QString>

// Reads every key of the settings file into its destination; a missing file or key gives
// the default, a value of the wrong type its numeric conversion (0 for text). Never fails.
void readSettingsFile(const QString &path, AppSettings &settings, IqBuffer &sourceRecord,
                      IqBuffer &targetRecord, int &tcpPort, int &connectTo, int &windowX,
                      int &windowY);

// Removes every key the file holds, then writes every key in table order. Returns false
// when the file could not be written (callers at exit may ignore it); a file that exists but
// cannot be read, and a full disk, leave the old file as it was.
bool writeSettingsFile(const QString &path, AppSettings settings, IqBuffer sourceRecord,
                       IqBuffer targetRecord, int tcpPort, int connectTo, int windowX, int windowY);

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
