#pragma once

#include <cstdint>

// A label shown in a list and the number it stands for (Hz).
struct LabelledValue
{
    const char *text;
    double value;
};

// A trigger mode or slope: the long form a list shows and the short SCPI word.
struct WordPair
{
    const char *longForm;
    const char *shortForm;
};

// An I/Q input of an analyzer: its label and the input code the acquisition sends.
struct InputEntry
{
    const char *name;
    int32_t code;
};

// Input codes: what "IQ Input" stores.
namespace InputCode {
constexpr int32_t rf = 0;
constexpr int32_t analogIq = 1;
constexpr int32_t digitalIq = 2;
}  // namespace InputCode

// A fixed list inside the table; empty (no items) where a row takes a free number instead.
template<typename T>
struct FixedList
{
    const T *items = nullptr;
    int count = 0;

    bool empty() const { return count < 1; }
    const T &operator[](int index) const { return items[index]; }
    const T *begin() const { return items; }
    const T *end() const { return items + count; }
    bool contains(int index) const { return index >= 0 && index < count; }
};

struct Limits
{
    double min;
    double max;
};

// The rows in table order; the position is the "Type" setting and the device list's index.
enum class DeviceId : int {
    Alder = 0,
    Olive,
    Birch,
    Pine,
    Cedar,
    Dogwood,
    Rowan,
    ElmFirGum,
    Spruce,
    Teak,
    Hazel,
    Walnut,
    Juniper,
    Willow,
    KapokLarch,
    Yew,
    Maple,
    Nutmeg
};

constexpr int deviceTypeCount = 18;

// What kind of instrument a row drives; each kind has its own acquisition sequence.
enum class DeviceFamily { Analyzer, HandheldReceiver, Oscilloscope };

// One immutable row of the device table.
struct DeviceType
{
    DeviceId id;
    DeviceFamily family;
    const char *name;
    FixedList<LabelledValue> bandwidths;   // empty: the bandwidth is a free number
    Limits bandwidthLimits;                // of the free bandwidth
    FixedList<LabelledValue> sampleRates;  // empty: the sample rate is a free number
    Limits sampleRateLimits;               // of the free sample rate (see sampleRateMax)
    FixedList<WordPair> triggerModes;
    FixedList<WordPair> slopes;
    int32_t preMin;
    int32_t preMax;
    FixedList<InputEntry> inputs;
    uint32_t maxSamples;  // see maxSamples() in instrumentoptions.h for the option-dependent rows

    bool is(DeviceId other) const { return id == other; }
    // The trigger mode and slope at a stored index; item 0 for an index outside the list.
    const WordPair &triggerModeAt(int index) const;
    const WordPair &slopeAt(int index) const;
    bool hasInput(int32_t code) const;
    // Position of the input with this code in the row's list, or -1.
    int inputIndex(int32_t code) const;
};

// The row at index. An index outside the table gives the row a settings file without a
// "Type" starts with, so a damaged "Type" never runs off the table.
const DeviceType &deviceType(int index);
const DeviceType &deviceType(DeviceId id);

bool isDeviceTypeIndex(int index);

// Spectrum analyzers and test receivers: the rows with the analyzer panel and sequence.
inline bool isAnalyzerRow(const DeviceType &row)
{
    return row.family == DeviceFamily::Analyzer;
}

inline bool isOscilloscopeRow(const DeviceType &row)
{
    return row.family == DeviceFamily::Oscilloscope;
}

// The row whose capture length is a record length in ms, not a sample count.
inline bool usesRecordLength(const DeviceType &row)
{
    return row.is(DeviceId::Alder);
}

// The row whose instrument options rewrite its sample-rate and sample-count limits.
inline bool hasOptionLimits(const DeviceType &row)
{
    return row.is(DeviceId::Rowan);
}
