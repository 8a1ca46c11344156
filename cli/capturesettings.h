#pragma once

#include "appsettings.h"
#include "iqbuffer.h"
#include "settingoverrides.h"

#include <QString>

#include <functional>
#include <vector>

// A line a capture tells its user on the way, without failing: "no settings file PATH: the
// defaults are used", "clamped Analyzer/Sample Count 999999999 -> 130560". trovik-cli prints
// each on stderr, the Python module turns each into a warning.
using CaptureNotice = std::function<void(const QString &line)>;

// The settings file for a capture with the overrides applied in memory, brought in line as
// the window brings what it reads; every value that moved is told. An empty path starts from
// the defaults. False with the message when the file exists but cannot be read.
bool readCaptureSettings(const QString &path, const std::vector<SettingOverride> &overrides,
                         AppSettings &settings, QString &error, const CaptureNotice &notice);

// Tells what Init lowered by the options it found, as the other clamps are told.
void noticeInitClamps(const AppSettings &before, const AppSettings &after,
                      const CaptureNotice &notice);

// The Trace tab as the program starts on it: the record is the instrument's, and its count
// follows the settings' device row.
void prepareCaptureRecord(AppSettings &settings, IqBuffer &record);
