#include "settingskeys.h"

#include <algorithm>
#include <cmath>

namespace {

template<auto Member>
void *app(AppSettings *a, ProgramSettings *)
{
    return a ? static_cast<void *>(&(a->*Member)) : nullptr;
}

template<auto Member>
void *program(AppSettings *, ProgramSettings *p)
{
    return p ? static_cast<void *>(&(p->*Member)) : nullptr;
}

using T = SettingType;
using A = AppSettings;
using P = ProgramSettings;
constexpr double kInt32Max = std::numeric_limits<int32_t>::max();
constexpr double kNone = SettingKey::kNoLimit;

std::vector<SettingKey> buildTable()
{
    const char *an = "Analyzer";
    const char *pr = "Program";
    // Limits are those of the window's boxes; the device row narrows many of them further.
    return {
            {"Position", "x", T::Int, 100, "", -kNone, kNone, false, program<&P::windowX>},
            {"Position", "y", T::Int, 100, "", -kNone, kNone, false, program<&P::windowY>},
            // 6 is Rowan, the row an index outside the device table falls back to as well.
            {an, "Type", T::Int, 6, "", 0, 17, true, app<&A::deviceType>},
            {an, "VISA Resource String", T::Text, 0, "TCPIP::192.168.1.100::INSTR", -kNone, kNone,
             false, app<&A::resourceString>},
            {an, "Data Type", T::Text, 0, "RAW", -kNone, kNone, false, app<&A::dataType>},
            {an, "Filter Type", T::Text, 0, "NORM", -kNone, kNone, false, app<&A::filterType>},
            {an, "Center Frequency", T::Double, 1000000000.0, "", -kNone, kNone, false,
             app<&A::centerFrequency>},
            {an, "Reference Level", T::Double, -20.0, "", -kNone, kNone, false,
             app<&A::referenceLevel>},
            {an, "Attenuation", T::Double, 0.0, "", -kNone, kNone, false, app<&A::attenuation>},
            {an, "Resolution Bandwidth", T::Double, 10000000.0, "", -kNone, kNone, false,
             app<&A::resolutionBandwidth>},
            {an, "RBW Index", T::Int, 0, "", -kNone, kNone, false, app<&A::rbwIndex>},
            {an, "Sample Rate", T::Double, 100000000.0, "", -kNone, kNone, false,
             app<&A::sampleRate>},
            {an, "Load Sample Rate", T::Double, 100000000.0, "", -kNone, kNone, false,
             program<&P::loadSampleRate>},
            {an, "Sample Rate Index", T::Int, 0, "", -kNone, kNone, false,
             app<&A::sampleRateIndex>},
            {an, "Trigger Mode", T::Text, 0, "IMM", -kNone, kNone, false,
             program<&P::triggerModeWord>},
            {an, "Trigger Mode Index", T::Int, 0, "", -kNone, kNone, false,
             app<&A::triggerModeIndex>},
            {an, "Trigger Slope", T::Text, 0, "POS", -kNone, kNone, false,
             program<&P::triggerSlopeWord>},
            {an, "Trigger Slope Index", T::Int, 0, "", -kNone, kNone, false,
             app<&A::triggerSlopeIndex>},
            {an, "Trigger Offset", T::Double, 0.0, "", -100000.0, 100000.0, false,
             app<&A::triggerOffset>},
            {an, "Pre Trigger Samples", T::Int, 0, "", -kNone, kNone, false,
             app<&A::preTriggerSamples>},
            {an, "Record Length", T::Double, 0.001, "", 0.0, 100000.0, false,
             app<&A::recordLength>},
            {an, "Osc. Rec Len", T::UInt, 1024, "", 0, kInt32Max, false, app<&A::oscRecordLength>},
            {an, "Sample Count", T::UInt, 8192, "", -kNone, kNone, false, app<&A::sampleCount>},
            {an, "IQ Input", T::Int, 0, "", -kNone, kNone, false, app<&A::iqInput>},
            {an, "Balanced", T::Flag, 0, "", -kNone, kNone, false, app<&A::balanced>},
            {an, "Impedance", T::Flag, 0, "", -kNone, kNone, false, app<&A::highImpedance>},
            {an, "Dithering", T::Flag, 0, "", -kNone, kNone, false, app<&A::dithering>},
            {an, "Low Pass", T::Flag, 0, "", -kNone, kNone, false, app<&A::lowPass>},
            {an, "Raw IQ", T::Bool, 1, "", -kNone, kNone, false, app<&A::rawIq>},
            {an, "Average", T::Int, 1, "", 1, 32767, false, app<&A::average>},
            {an, "Channel", T::Int, 0, "", 0, 8, false, app<&A::channel>},
            // Indices into the oscilloscope's word lists.
            {an, "IQ Input Type", T::Int, 0, "", 0, 1, false, app<&A::iqInputType>},
            {an, "IQ Input Mode", T::Int, 0, "", 0, 1, false, app<&A::iqInputMode>},
            {an, "Relative Bandwidth", T::Double, 0.8, "", 0.01, 1.0, false,
             app<&A::relativeBandwidth>},
            {an, "IQ Carrier Frequency", T::Double, 1000000.0, "", -kNone, kNone, false,
             app<&A::centerFrequency>},
            {an, "IQ Sideband RF", T::Int, 1, "", 0, 1, false, app<&A::iqSidebandRf>},
            {an, "IQ Sideband IF", T::Int, 0, "", 0, 3, false, app<&A::iqSidebandIf>},
            {pr, "IQ Source", T::Int, 0, "", 0, 1, true, program<&P::iqSource>},
            {pr, "TCP Port", T::Int, 1000, "", -kNone, kNone, false, program<&P::tcpPort>},
            {pr, "Connect To", T::Int, 1, "", 0, 1, true, program<&P::connectTo>},
            {pr, "Source Directory", T::Text, 0, "", -kNone, kNone, false,
             program<&P::sourceDirectory>},
            // 23 is the Loomwave row of the load list.
            {pr, "Source File Type", T::Int, 23, "", -kNone, kNone, false,
             program<&P::sourceTypeIndex>},
            {pr, "Destination Directory", T::Text, 0, "", -kNone, kNone, false,
             program<&P::destinationDirectory>},
            {pr, "Destination File Type", T::Int, 0, "", -kNone, kNone, false,
             program<&P::destinationTypeIndex>},
            {"DigiIQ", "Range", T::Double, 2.0, "", -kNone, kNone, false, app<&A::digiIqRange>},
            // MHz, as the digital I/Q dialog's box takes it.
            {"DigiIQ", "Sample Rate", T::Double, 10.0, "", 0.001, 1000.0, false,
             app<&A::digiIqSampleRate>},
            {"AnaIQ", "IQ Range", T::Double, 1.0, "", -kNone, kNone, false, app<&A::anaIqRange>},
            // dB, as the analog I/Q dialog's box takes it.
            {"AnaIQ", "IQ Offset", T::Double, 0.0, "", -100.0, 100.0, false, app<&A::anaIqOffset>},
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

void *fieldOf(const SettingKey &key, StoredSettings &stored)
{
    return key.field(&stored.settings, &stored.program);
}

const void *fieldOf(const SettingKey &key, const StoredSettings &stored)
{
    return fieldOf(key, const_cast<StoredSettings &>(stored));
}

// The number a numeric key holds, as a double (every int32 and uint32 fits exactly).
double numberOf(const SettingKey &key, const StoredSettings &stored)
{
    const void *f = fieldOf(key, stored);
    switch (key.type) {
    case T::Int: return *static_cast<const int32_t *>(f);
    case T::UInt: return *static_cast<const uint32_t *>(f);
    case T::Double: return *static_cast<const double *>(f);
    case T::Flag:
    case T::Bool: return *static_cast<const bool *>(f) ? 1.0 : 0.0;
    case T::Text: break;
    }
    return 0.0;
}

void setNumber(const SettingKey &key, StoredSettings &stored, double value)
{
    void *f = fieldOf(key, stored);
    switch (key.type) {
    case T::Int: *static_cast<int32_t *>(f) = static_cast<int32_t>(value); break;
    case T::UInt: *static_cast<uint32_t *>(f) = static_cast<uint32_t>(value); break;
    case T::Double: *static_cast<double *>(f) = value; break;
    case T::Flag:
    case T::Bool: *static_cast<bool *>(f) = value != 0.0; break;
    case T::Text: break;
    }
}

QString numberText(double value)
{
    return QString::number(value, 'g', 15);
}

// Every key's default into the fields of the owners given (nullptr: not that owner).
void applyDefaults(AppSettings *settings, ProgramSettings *program)
{
    for (const SettingKey &key : settingKeys()) {
        void *f = key.field(settings, program);
        if (!f)
            continue;
        switch (key.type) {
        case T::Int: *static_cast<int32_t *>(f) = static_cast<int32_t>(key.number); break;
        case T::UInt: *static_cast<uint32_t *>(f) = static_cast<uint32_t>(key.number); break;
        case T::Double: *static_cast<double *>(f) = key.number; break;
        case T::Flag:
        case T::Bool: *static_cast<bool *>(f) = key.number != 0.0; break;
        case T::Text: *static_cast<QString *>(f) = QString::fromLatin1(key.text); break;
        }
    }
}

}  // namespace

AppSettings::AppSettings()
{
    applyDefaults(this, nullptr);
}

ProgramSettings::ProgramSettings()
{
    applyDefaults(nullptr, this);
}

QString SettingKey::path() const
{
    return QLatin1String(group) + QLatin1Char('/') + QLatin1String(name);
}

const std::vector<SettingKey> &settingKeys()
{
    static const std::vector<SettingKey> table = buildTable();
    return table;
}

const SettingKey *findSettingKey(const QString &path)
{
    for (const SettingKey &key : settingKeys())
        if (key.path() == path)
            return &key;
    return nullptr;
}

QStringList settingGroups()
{
    QStringList groups;
    for (const SettingKey &key : settingKeys())
        if (!groups.contains(QLatin1String(key.group)))
            groups << QLatin1String(key.group);
    return groups;
}

QStringList settingKeyNames(const QString &group)
{
    QStringList names;
    for (const SettingKey &key : settingKeys())
        if (group == QLatin1String(key.group))
            names << QLatin1String(key.name);
    return names;
}

QVariant storedValue(const SettingKey &key, const StoredSettings &stored)
{
    const void *f = fieldOf(key, stored);
    switch (key.type) {
    case T::Int: return *static_cast<const int32_t *>(f);
    case T::UInt: return *static_cast<const uint32_t *>(f);
    case T::Double: return *static_cast<const double *>(f);
    case T::Text: return *static_cast<const QString *>(f);
    case T::Flag: return *static_cast<const bool *>(f) ? 1 : 0;
    case T::Bool: return *static_cast<const bool *>(f);
    }
    return {};
}

void takeStoredValue(const SettingKey &key, StoredSettings &stored, const QVariant &v)
{
    void *f = fieldOf(key, stored);
    switch (key.type) {
    case T::Int: *static_cast<int32_t *>(f) = v.toInt(); break;
    case T::UInt: *static_cast<uint32_t *>(f) = v.toUInt(); break;
    case T::Double: *static_cast<double *>(f) = v.toDouble(); break;
    case T::Text: *static_cast<QString *>(f) = v.toString(); break;
    case T::Flag: *static_cast<bool *>(f) = flagFromVariant(v); break;
    case T::Bool: *static_cast<bool *>(f) = v.toBool(); break;
    }
}

bool parseSettingValue(const SettingKey &key, const QString &text, QVariant &value)
{
    const QString t = text.trimmed();
    bool ok = false;
    switch (key.type) {
    case T::Int: value = t.toInt(&ok); break;
    case T::UInt: value = t.toUInt(&ok); break;
    case T::Double: {
        const double d = t.toDouble(&ok);
        ok = ok && std::isfinite(d);
        value = d;
        break;
    }
    case T::Text:
        value = text;
        ok = true;
        break;
    case T::Flag:
    case T::Bool: {
        const QString lower = t.toLower();
        ok = lower == QLatin1String("true") || lower == QLatin1String("false")
             || lower == QLatin1String("1") || lower == QLatin1String("0");
        const bool on = lower == QLatin1String("true") || lower == QLatin1String("1");
        value = key.type == T::Flag ? QVariant(on ? 1 : 0) : QVariant(on);
        break;
    }
    }
    return ok;
}

QString SettingChange::text() const
{
    return path + QLatin1Char(' ') + before + QStringLiteral(" -> ") + after;
}

std::vector<SettingChange> keepWithinLimits(StoredSettings &stored)
{
    std::vector<SettingChange> changes;
    for (const SettingKey &key : settingKeys()) {
        if (!key.isNumber() || !key.hasLimits())
            continue;
        const double value = numberOf(key, stored);
        if (value >= key.min && value <= key.max)
            continue;
        const double kept = key.resetOutside || std::isnan(value)
                                    ? key.number
                                    : std::min(std::max(value, key.min), key.max);
        setNumber(key, stored, kept);
        changes.push_back({key.path(), numberText(value), numberText(kept)});
    }
    return changes;
}

std::vector<SettingChange> settingChanges(const StoredSettings &before, const StoredSettings &after,
                                          const QStringList &paths)
{
    std::vector<SettingChange> changes;
    std::vector<const void *> seen;  // a field two keys share is named once
    for (const SettingKey &key : settingKeys()) {
        if (!key.isNumber() || (!paths.isEmpty() && !paths.contains(key.path())))
            continue;
        const void *f = fieldOf(key, before);
        if (std::find(seen.begin(), seen.end(), f) != seen.end())
            continue;
        seen.push_back(f);
        const double was = numberOf(key, before), now = numberOf(key, after);
        if (was == now || (std::isnan(was) && std::isnan(now)))
            continue;
        changes.push_back({key.path(), numberText(was), numberText(now)});
    }
    return changes;
}

void mergeSettingChanges(std::vector<SettingChange> &earlier,
                         const std::vector<SettingChange> &later)
{
    for (const SettingChange &change : later) {
        auto same = std::find_if(earlier.begin(), earlier.end(),
                                 [&](const SettingChange &c) { return c.path == change.path; });
        if (same == earlier.end()) {
            earlier.push_back(change);
            continue;
        }
        same->after = change.after;
        if (same->after == same->before)
            earlier.erase(same);
    }
}
