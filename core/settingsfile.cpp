#include "settingsfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QVariant>

#include <cstdio>

namespace {

// Walks the table with each key's group opened while it is read or written.
template<typename Visit>
void forEachKey(QSettings &store, Visit visit)
{
    QString open;
    for (const SettingKey &key : settingKeys()) {
        const QString group = QLatin1String(key.group);
        if (open != group) {
            if (!open.isEmpty())
                store.endGroup();
            store.beginGroup(group);
            open = group;
        }
        visit(key);
    }
    if (!open.isEmpty())
        store.endGroup();
}

QVariant defaultValue(const SettingKey &key)
{
    if (key.type == SettingType::Text)
        return QString::fromLatin1(key.text);
    return key.number;
}

// True when the INI file at path ends where a line ends and holds keyCount keys. A cut-off
// file fails: either its last line lacks its end or lines are missing.
bool isWholeIniFile(const QString &path, int keyCount)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = file.readAll();
    if (!text.endsWith('\n'))
        return false;
    int keys = 0;
    for (const QByteArray &line : text.split('\n'))
        keys += !line.startsWith('[') && line.contains('=');
    return keys == keyCount;
}

// Writes every key into a fresh INI file at path; true when the file came out whole.
// QSettings does not notice a write that fails for want of room: it puts the cut-off file in
// place of the old one and reports success. So the store is written beside the settings file
// and checked, and only a whole file replaces the old one.
bool writeWholeIniFile(const QString &path, const StoredSettings &stored)
{
    {
        QSettings store(path, QSettings::IniFormat);
        forEachKey(store, [&](const SettingKey &key) {
            store.setValue(QLatin1String(key.name), storedValue(key, stored));
        });
        store.sync();
        if (store.status() != QSettings::NoError)
            return false;
    }
    return isWholeIniFile(path, int(settingKeys().size()));
}

// The program part of the file beside the window's fields that hold it, in one place for
// both directions: assign(file field, window field) copies one way or the other.
template<typename Program, typename Record, typename Number, typename Assign>
void pairProgramFields(Program &p, Record &source, Record &target, Number &tcpPort,
                       Number &connectTo, Number &windowX, Number &windowY, Assign assign)
{
    assign(p.loadSampleRate, source.sampleRate);
    assign(p.iqSource, source.iqSource);
    assign(p.sourceDirectory, source.directory);
    assign(p.sourceTypeIndex, source.typeIndex);
    assign(p.destinationDirectory, target.directory);
    assign(p.destinationTypeIndex, target.typeIndex);
    assign(p.tcpPort, tcpPort);
    assign(p.connectTo, connectTo);
    assign(p.windowX, windowX);
    assign(p.windowY, windowY);
}

}  // namespace

StoredSettings readStoredSettings(const QString &path)
{
    StoredSettings stored;
    QSettings store(path, QSettings::IniFormat);
    AppSettings &settings = stored.settings;
    forEachKey(store, [&](const SettingKey &key) {
        takeStoredValue(key, stored, store.value(QLatin1String(key.name), defaultValue(key)));
        if (key.field(&settings, nullptr) == &settings.anaIqRange && settings.highImpedance
            && settings.anaIqRange > highImpedanceRangeLimit)
            settings.anaIqRange = highImpedanceRangeLimit;
    });
    return stored;
}

bool writeStoredSettings(const QString &path, const StoredSettings &stored)
{
    // A link (settings kept with the user's other files) stays a link; its target is replaced.
    const QFileInfo info(path);
    const QString target = info.isSymLink() ? info.symLinkTarget() : path;
    // A file that is there but could not be read gave the defaults; writing them over it
    // would throw away settings the user can still rescue (a wrong owner or mode).
    QFile existing(target);
    if (existing.exists() && !existing.open(QIODevice::ReadOnly))
        return false;
    existing.close();
    QDir().mkpath(QFileInfo(target).absolutePath());  // as QSettings would
    QTemporaryFile staging(target + QStringLiteral(".XXXXXX"));
    if (!staging.open())
        return false;
    staging.close();
    if (!writeWholeIniFile(staging.fileName(), stored)
        || std::rename(QFile::encodeName(staging.fileName()).constData(),
                       QFile::encodeName(target).constData())
                   != 0)
        return false;
    staging.setAutoRemove(false);
    return true;
}

void takeStoredSettings(const StoredSettings &stored, AppSettings &settings, IqBuffer &sourceRecord,
                        IqBuffer &targetRecord, int &tcpPort, int &connectTo, int &windowX,
                        int &windowY)
{
    // What the file does not keep stays as it was.
    const AppSettings before = settings;
    settings = stored.settings;
    settings.oscBandwidth = before.oscBandwidth;
    settings.idnReply = before.idnReply;
    settings.resetOnInit = before.resetOnInit;
    pairProgramFields(stored.program, sourceRecord, targetRecord, tcpPort, connectTo, windowX,
                      windowY, [](const auto &file, auto &window) { window = file; });
}

StoredSettings storedSettingsOf(const AppSettings &settings, const IqBuffer &sourceRecord,
                                const IqBuffer &targetRecord, int tcpPort, int connectTo,
                                int windowX, int windowY)
{
    StoredSettings stored;
    stored.settings = settings;
    pairProgramFields(stored.program, sourceRecord, targetRecord, tcpPort, connectTo, windowX,
                      windowY, [](auto &file, const auto &window) { file = window; });
    return stored;
}

QString configDirFromDataLocation(const QString &dataLocation)
{
    const QStringList parts = dataLocation.split(QRegularExpression(QStringLiteral("[/\\\\]")));
    QString dir;
    for (int i = 0; i + 1 < parts.size(); ++i)
        dir += parts[i] + QLatin1Char('/');
    return dir + QStringLiteral("Vantorp/") + parts.last();
}

QString defaultConfigDir()
{
    return configDirFromDataLocation(
            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}
