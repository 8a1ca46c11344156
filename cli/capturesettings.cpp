#include "capturesettings.h"

#include "devicetype.h"
#include "instrumentoptions.h"
#include "settingsfile.h"
#include "tracerules.h"

#include <QFile>
#include <QFileInfo>

namespace {

void noticeClamps(const std::vector<SettingChange> &changes, const CaptureNotice &notice)
{
    for (const SettingChange &change : changes)
        notice(QStringLiteral("clamped ") + change.text());
}

}  // namespace

bool readCaptureSettings(const QString &path, const std::vector<SettingOverride> &overrides,
                         AppSettings &settings, QString &error, const CaptureNotice &notice)
{
    if (QFileInfo(path).isDir() || (QFile::exists(path) && !QFileInfo(path).isReadable())) {
        error = QStringLiteral("cannot read the settings file %1").arg(path);
        return false;
    }
    // An empty path asks for the defaults on purpose, so there is nothing to tell.
    if (!path.isEmpty() && !QFile::exists(path))
        notice(QStringLiteral("no settings file %1: the defaults are used").arg(path));
    StoredSettings stored = readStoredSettings(path);
    applySettingOverrides(overrides, stored);
    noticeClamps(TraceRules::normaliseLoaded(stored), notice);
    settings = stored.settings;
    return true;
}

void noticeInitClamps(const AppSettings &before, const AppSettings &after,
                      const CaptureNotice &notice)
{
    StoredSettings was, now;
    was.settings = before;
    now.settings = after;
    noticeClamps(settingChanges(was, now, TraceRules::keysInitLimits()), notice);
}

void prepareCaptureRecord(AppSettings &settings, IqBuffer &record)
{
    record.iqSource = 1;
    TraceRules::refresh(settings, deviceType(settings.deviceType), InstrumentOptions(),
                        record.sampleCount);
}
