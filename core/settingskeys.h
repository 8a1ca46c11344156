#pragma once

#include "appsettings.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <cstdint>
#include <limits>
#include <vector>

// What the settings file keeps beside AppSettings: parts of the window's two records, the
// link server's choices and the window position. Its values come from the key table.
struct ProgramSettings
{
    double loadSampleRate;
    int32_t iqSource;  // 0 Load tab, 1 Trace tab
    QString sourceDirectory;
    int32_t sourceTypeIndex;
    QString destinationDirectory;
    int32_t destinationTypeIndex;
    int32_t tcpPort;
    int32_t connectTo;
    int32_t windowX;
    int32_t windowY;
    // The trigger words the file keeps beside the indices, for people and programs that read
    // the text. The indices decide the choice; these are never read back into it.
    QString triggerModeWord;
    QString triggerSlopeWord;

    ProgramSettings();  // the table's defaults
};

// Everything the settings file holds.
struct StoredSettings
{
    AppSettings settings;
    ProgramSettings program;
};

enum class SettingType {
    Int,
    UInt,
    Double,
    Text,
    Flag,  // an integer in the file, set when nonzero
    Bool,  // true/false in the file
};

// One key of the settings file: where it is kept, what it holds, what it starts as and what
// it may be. The table is the only place these are written: AppSettings and ProgramSettings
// take their defaults from it, the file is read and written through it, and trovik-cli checks
// its overrides against it.
struct SettingKey
{
    static constexpr double kNoLimit = std::numeric_limits<double>::infinity();

    const char *group;  // "Analyzer", "Program", "Position", "DigiIQ", "AnaIQ"
    const char *name;   // the key inside its group, as stored
    SettingType type;
    double number;     // the default of a numeric key
    const char *text;  // the default of a text key
    double min = -kNoLimit;
    double max = kNoLimit;
    bool resetOutside = false;  // a value outside the limits is taken as missing: the default
    void *(*field)(AppSettings *, ProgramSettings *) = nullptr;  // nullptr for the other owner

    QString path() const;  // "Analyzer/Sample Count"
    bool isNumber() const { return type != SettingType::Text; }
    bool hasLimits() const { return min > -kNoLimit || max < kNoLimit; }
};

// The keys in the order they are written. Two keys may share a field ("Center Frequency" and
// "IQ Carrier Frequency"): the later one decides what is read.
const std::vector<SettingKey> &settingKeys();

// The key with this path ("GROUP/KEY", case-sensitive), or nullptr.
const SettingKey *findSettingKey(const QString &path);
// The groups, and the key names of one group, in table order.
QStringList settingGroups();
QStringList settingKeyNames(const QString &group);

// A key's value as the file stores it, and the value converted as a file's is read: numbers
// by numeric conversion (0 for text), flags nonzero or "true", the rest by QVariant.
QVariant storedValue(const SettingKey &key, const StoredSettings &stored);
void takeStoredValue(const SettingKey &key, StoredSettings &stored, const QVariant &value);

// A value typed by a user for the key, checked strictly: an integer key takes an integer in
// its type's range, a number key a finite number, a flag or boolean true/false/1/0. False
// when the text is none of these.
bool parseSettingValue(const SettingKey &key, const QString &text, QVariant &value);

// One value that moved when the settings were brought in line: the key, before and after.
struct SettingChange
{
    QString path;
    QString before;
    QString after;

    // "Analyzer/Sample Count 999999999 -> 130560"
    QString text() const;
};

// Brings the table's keys within their limits: a clamp, or the default where the key says so
// (and for a number that is no number). One change per moved key.
std::vector<SettingChange> keepWithinLimits(StoredSettings &stored);

// The numeric keys whose values differ between before and after, in table order; only the
// keys listed in paths when it is not empty.
std::vector<SettingChange> settingChanges(const StoredSettings &before, const StoredSettings &after,
                                          const QStringList &paths = {});

// Adds later changes to earlier ones so that every key is named once, with its first value
// before and its last value after; a key that came back to where it was drops out.
void mergeSettingChanges(std::vector<SettingChange> &earlier,
                         const std::vector<SettingChange> &later);
