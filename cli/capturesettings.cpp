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

// The file keeps the trigger choice as indices and its words only for reading; a word given
// with --set chooses the item of the row's list it names (the last --set of the type decides
// the row), and a word the list lacks is refused rather than ignored.
bool chooseTriggerWords(const std::vector<SettingOverride> &overrides, AppSettings &settings,
                        QString &error)
{
    const DeviceType &row = deviceType(settings.deviceType);
    for (const SettingOverride &o : overrides) {
        const QString path = o.key->path();
        const bool mode = path == QLatin1String("Analyzer/Trigger Mode");
        if (!mode && path != QLatin1String("Analyzer/Trigger Slope"))
            continue;
        const QString word = o.value.toString();
        if (mode ? TraceRules::chooseTriggerModeWord(settings, row, word)
                 : TraceRules::chooseTriggerSlopeWord(settings, row, word))
            continue;
        QStringList words;
        for (const WordPair &w : mode ? row.triggerModes : row.slopes)
            words << QLatin1String(w.longForm);
        error = QStringLiteral("%1: %2 is none of %3 (%4)")
                        .arg(path, word, words.join(QStringLiteral(", ")), QLatin1String(row.name));
        return false;
    }
    return true;
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
    if (!chooseTriggerWords(overrides, stored.settings, error))
        return false;
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
