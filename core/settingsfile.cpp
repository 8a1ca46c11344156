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
#include <vector>

namespace {

enum class Kind { Int, UInt, Double, Text, Flag, Bool };

// One key of the settings file. The table below is read and written in its order, so a
// later key that lands in the same field as an earlier one ("IQ Carrier Frequency" after
// "Center Frequency") decides what is read.
struct Field
{
    const char *group;  // nullptr: the key carries its group itself ("Position/x")
    const char *key;
    Kind kind;
    void *target;
    QVariant fallback;
};

std::vector<Field> fieldTable(AppSettings &s, IqBuffer &src, IqBuffer &dst, int &tcpPort,
                              int &connectTo, int &windowX, int &windowY)
{
    const char *a = "Analyzer";
    const char *p = "Program";
    const AppSettings d;
    return {
            {nullptr, "Position/x", Kind::Int, &windowX, 100},
            {nullptr, "Position/y", Kind::Int, &windowY, 100},
            {a, "Type", Kind::Int, &s.deviceType, 6},
            {a, "VISA Resource String", Kind::Text, &s.resourceString, d.resourceString},
            {a, "Data Type", Kind::Text, &s.dataType, QStringLiteral("RAW")},
            {a, "Filter Type", Kind::Text, &s.filterType, QStringLiteral("NORM")},
            {a, "Center Frequency", Kind::Double, &s.centerFrequency, 1000000000.0},
            {a, "Reference Level", Kind::Double, &s.referenceLevel, -20.0},
            {a, "Attenuation", Kind::Double, &s.attenuation, 0.0},
            {a, "Resolution Bandwidth", Kind::Double, &s.resolutionBandwidth, 10000000.0},
            {a, "RBW Index", Kind::Int, &s.rbwIndex, 0},
            {a, "Sample Rate", Kind::Double, &s.sampleRate, 100000000.0},
            {a, "Load Sample Rate", Kind::Double, &src.sampleRate, 100000000.0},
            {a, "Sample Rate Index", Kind::Int, &s.sampleRateIndex, 0},
            {a, "Trigger Mode", Kind::Text, &s.triggerMode, QStringLiteral("IMM")},
            {a, "Trigger Mode Index", Kind::Int, &s.triggerModeIndex, 0},
            {a, "Trigger Slope", Kind::Text, &s.triggerSlope, QStringLiteral("POS")},
            {a, "Trigger Slope Index", Kind::Int, &s.triggerSlopeIndex, 0},
            {a, "Trigger Offset", Kind::Double, &s.triggerOffset, 0.0},
            {a, "Pre Trigger Samples", Kind::Int, &s.preTriggerSamples, 0},
            {a, "Record Length", Kind::Double, &s.recordLength, 0.001},
            {a, "Osc. Rec Len", Kind::UInt, &s.oscRecordLength, 1024u},
            {a, "Sample Count", Kind::UInt, &s.sampleCount, 8192u},
            {a, "IQ Input", Kind::Int, &s.iqInput, 0},
            {a, "Balanced", Kind::Flag, &s.balanced, false},
            {a, "Impedance", Kind::Flag, &s.highImpedance, false},
            {a, "Dithering", Kind::Flag, &s.dithering, false},
            {a, "Low Pass", Kind::Flag, &s.lowPass, false},
            {a, "Raw IQ", Kind::Bool, &s.rawIq, true},
            {a, "Average", Kind::Int, &s.average, 1},
            {a, "Channel", Kind::Int, &s.channel, 0},
            {a, "IQ Input Type", Kind::Int, &s.iqInputType, 0},
            {a, "IQ Input Mode", Kind::Int, &s.iqInputMode, 0},
            {a, "Relative Bandwidth", Kind::Double, &s.relativeBandwidth, 0.8},
            {a, "IQ Carrier Frequency", Kind::Double, &s.centerFrequency, 1000000.0},
            {a, "IQ Sideband RF", Kind::Int, &s.iqSidebandRf, 1},
            {a, "IQ Sideband IF", Kind::Int, &s.iqSidebandIf, 0},
            {p, "IQ Source", Kind::Int, &src.iqSource, 0},
            {p, "TCP Port", Kind::Int, &tcpPort, 1000},
            {p, "Connect To", Kind::Int, &connectTo, 1},
            {p, "Source Directory", Kind::Text, &src.directory, QString()},
            {p, "Source File Type", Kind::Int, &src.typeIndex, 23},
            {p, "Destination Directory", Kind::Text, &dst.directory, QString()},
            {p, "Destination File Type", Kind::Int, &dst.typeIndex, 0},
            {nullptr, "DigiIQ/Range", Kind::Double, &s.digiIqRange, 2.0},
            {nullptr, "DigiIQ/Sample Rate", Kind::Double, &s.digiIqSampleRate, 10.0},
            {nullptr, "AnaIQ/IQ Range", Kind::Double, &s.anaIqRange, 1.0},
            {nullptr, "AnaIQ/IQ Offset", Kind::Double, &s.anaIqOffset, 0.0},
    };
}

// Flags were once stored as true/false, later as integers; accept both, and any nonzero
// integer as set.
bool flagFromVariant(const QVariant &v)
{
    const QString text = v.toString().trimmed();
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    return text.toLongLong() != 0;
}

void readField(const Field &f, const QVariant &v)
{
    switch (f.kind) {
    case Kind::Int: *static_cast<int32_t *>(f.target) = v.toInt(); break;
    case Kind::UInt: *static_cast<uint32_t *>(f.target) = v.toUInt(); break;
    case Kind::Double: *static_cast<double *>(f.target) = v.toDouble(); break;
    case Kind::Text: *static_cast<QString *>(f.target) = v.toString(); break;
    case Kind::Flag: *static_cast<bool *>(f.target) = flagFromVariant(v); break;
    case Kind::Bool: *static_cast<bool *>(f.target) = v.toBool(); break;
    }
}

QVariant fieldValue(const Field &f)
{
    switch (f.kind) {
    case Kind::Int: return *static_cast<const int32_t *>(f.target);
    case Kind::UInt: return *static_cast<const uint32_t *>(f.target);
    case Kind::Double: return *static_cast<const double *>(f.target);
    case Kind::Text: return *static_cast<const QString *>(f.target);
    case Kind::Flag: return *static_cast<const bool *>(f.target) ? 1 : 0;
    case Kind::Bool: return *static_cast<const bool *>(f.target);
    }
    return {};
}

// Walks the table with the groups opened and closed as the file lays them out.
template<typename Visit>
void forEachField(QSettings &store, const std::vector<Field> &fields, Visit visit)
{
    const char *open = nullptr;
    for (const Field &f : fields) {
        if (open != f.group) {
            if (open)
                store.endGroup();
            if (f.group)
                store.beginGroup(QLatin1String(f.group));
            open = f.group;
        }
        visit(f);
    }
    if (open)
        store.endGroup();
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

// Writes every field into a fresh INI file at path; true when the file came out whole.
// QSettings does not notice a write that fails for want of room: it puts the cut-off file in
// place of the old one and reports success. So the store is written beside the settings file
// and checked, and only a whole file replaces the old one.
bool writeWholeIniFile(const QString &path, const std::vector<Field> &fields)
{
    {
        QSettings store(path, QSettings::IniFormat);
        forEachField(store, fields,
                     [&](const Field &f) { store.setValue(QLatin1String(f.key), fieldValue(f)); });
        store.sync();
        if (store.status() != QSettings::NoError)
            return false;
    }
    return isWholeIniFile(path, int(fields.size()));
}

}  // namespace

void readSettingsFile(const QString &path, AppSettings &settings, IqBuffer &sourceRecord,
                      IqBuffer &targetRecord, int &tcpPort, int &connectTo, int &windowX,
                      int &windowY)
{
    QSettings store(path, QSettings::IniFormat);
    const auto fields = fieldTable(settings, sourceRecord, targetRecord, tcpPort, connectTo,
                                   windowX, windowY);
    forEachField(store, fields, [&](const Field &f) {
        readField(f, store.value(QLatin1String(f.key), f.fallback));
        if (f.target == &settings.anaIqRange && settings.highImpedance
            && settings.anaIqRange > highImpedanceRangeLimit)
            settings.anaIqRange = highImpedanceRangeLimit;
    });
}

bool writeSettingsFile(const QString &path, AppSettings settings, IqBuffer sourceRecord,
                       IqBuffer targetRecord, int tcpPort, int connectTo, int windowX, int windowY)
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
    const auto fields = fieldTable(settings, sourceRecord, targetRecord, tcpPort, connectTo,
                                   windowX, windowY);
    if (!writeWholeIniFile(staging.fileName(), fields)
        || std::rename(QFile::encodeName(staging.fileName()).constData(),
                       QFile::encodeName(target).constData())
                   != 0)
        return false;
    staging.setAutoRemove(false);
    return true;
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
