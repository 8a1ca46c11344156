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

// What kind of instrument a row drives; each kind has its own Init and Trace sequence.
enum class DeviceFamily { Analyzer, HandheldReceiver, Oscilloscope };

// The instrument options ("*OPT?") any row asks for or depends on.
enum class InstrumentOption { None, Q31, Q52, Q53, Q54, Q90 };

// How the analyzer sends TRAC:IQ:DATA?: I/Q pairs, or all I values then all Q values.
enum class SampleLayout { Pairs, Split };

// What Init asks of the row after "*IDN?".
enum class InitQueries {
    None,
    SpectrumModeInDbm,  // "INST SAN", then "UNIT:POW DBM"
    Bandwidth,          // "BWID?" into "Resolution Bandwidth"
};

// How the analyzer sequence selects the row's input.
enum class InputSelection {
    None,
    ByWord,  // "INP:SEL " + RF / AIQ / DIQ
    ByType,  // "INP:TYPE INPUT1" (INPUT2 for a fourth input)
};

// A memory whose depth depends on the options and the sample rate (Rowan's).
struct OptionMemory
{
    InstrumentOption deepOption;  // without it: withoutDeep samples
    InstrumentOption wideOption;  // the wide-rate option, which leaves less of the deep memory
    double fastRate;              // at and above this sample rate (Hz): the fast counts
    uint32_t withoutDeep;
    uint32_t deep;
    uint32_t deepFast;
    uint32_t wideDeep;
    uint32_t wideDeepFast;
};

// Init: what is asked after the identification, and what the options found decide.
struct InitFacts
{
    InitQueries queries = InitQueries::None;
    FixedList<InstrumentOption> options;                 // asked with "*OPT?", in this order
    InstrumentOption required = InstrumentOption::None;  // Init fails without it
    // Without this option the free sample rate stops at rateWithout (Hz), not the table's.
    InstrumentOption rateOption = InstrumentOption::None;
    double rateWithout = 0.0;
    const OptionMemory *memory = nullptr;  // nullptr: maxSamples whatever the options
    // The analog I/Q input can be chosen only with this option (None: never).
    InstrumentOption analogIqOption = InstrumentOption::None;
};

// The analyzer sequence's branches for the row.
struct TraceFacts
{
    bool selectsChannel = false;  // asks "INST:NSEL?" and works in channel 1
    // With a baseband input chosen the levels are not asked for, and digital I/Q values are
    // scaled by half the digital range.
    bool basebandInputs = false;
    // Every value is divided by this fixed scale, and "BWID?" is read with it (0: the voltage
    // of 1 mW in 50 ohms).
    double fixedLevelScale = 0.0;
    bool sendsMillivolts = false;  // the values arrive in mV, not V
    InputSelection inputSelection = InputSelection::None;
    bool digitalIqInstrument = false;  // "INST IQ", "INP:SEL DIQ" for the digital input
    bool digitalIqSettings = false;    // "INP:DIQ:RANG", "INP:DIQ:SRAT" for the digital input
    // The analog input's settings are sent, and its values arrive in volts (scale 1).
    bool analogIqSettings = false;
    bool asksForPairs = false;  // sends "TRAC:IQ:DATA:FORM IQP"
    SampleLayout layout = SampleLayout::Split;
};

// The Trace tab for the row beyond its lists and limits.
struct PanelFacts
{
    bool recordLength = false;  // the capture is a record length in ms, not a sample count
    bool average = false;       // shows "Average"
    bool inputs = true;         // shows the input list and the analog option boxes
    bool bandwidthAndSlopeEditable = true;
    bool triggerEditable = true;  // pre-trigger and trigger mode
    // The bandwidth the instrument works with whatever is chosen (0: the chosen one).
    double instrumentBandwidth = 0.0;
    // Above wideRate (Hz) the row needs wideBandwidth (0: no such rule).
    double wideRate = 0.0;
    double wideBandwidth = 0.0;
};

// One immutable row of the device table: every fact of one device type.
struct DeviceType
{
    DeviceId id = DeviceId::Alder;
    DeviceFamily family = DeviceFamily::Analyzer;
    const char *name = "";
    FixedList<LabelledValue> bandwidths;   // empty: the bandwidth is a free number
    Limits bandwidthLimits{0, 0};          // of the free bandwidth
    FixedList<LabelledValue> sampleRates;  // empty: the sample rate is a free number
    Limits sampleRateLimits{0, 0};         // of the free sample rate (see sampleRateMax)
    FixedList<WordPair> triggerModes;
    FixedList<WordPair> slopes;
    int32_t preMin = 0;
    int32_t preMax = 0;
    FixedList<InputEntry> inputs;
    uint32_t maxSamples = 0;  // see maxSamples() in instrumentoptions.h
    InitFacts init;
    TraceFacts trace;
    PanelFacts panel;

    bool hasInput(int32_t code) const;
    // Position of the input with this code in the row's list, or -1.
    int inputIndex(int32_t code) const;
    // The trigger mode and slope at a stored index; item 0 for an index outside the list.
    const WordPair &triggerModeAt(int index) const;
    const WordPair &slopeAt(int index) const;
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
    return row.panel.recordLength;
}
