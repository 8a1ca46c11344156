#pragma once

#include "appsettings.h"
#include "devicetype.h"
#include "instrumentoptions.h"
#include "settingskeys.h"

#include <cstdint>
#include <vector>

// The Trace tab's rules as functions of (settings, row, options), free of widgets: what
// each control change stores, what a refresh clamps and derives, and which controls a row
// shows. The window only mirrors the settings these leave behind.
namespace TraceRules {

// Samples the instrument records in recordLengthMs at sampleRate, truncated toward zero to
// 32 bits as the instrument does; out-of-range products saturate instead of wrapping.
int64_t recordLengthSamples(double recordLengthMs, double sampleRate);

// Brings every Trace setting in line with the row: list positions inside their lists and
// the stored bandwidth, sample rate, trigger words and input those of the items shown;
// free values, pre-trigger and sample count inside the row's limits (Rowan's from its
// options); the record-length row's count from its record length; the oscilloscope's
// record count from its record length. recordCount is the current record's sample count,
// set where the row decides it.
void refresh(AppSettings &s, const DeviceType &row, const InstrumentOptions &options,
             int64_t &recordCount);

// The record-length row: the record's count follows Record Length x Sample Rate; a count
// below 0 or above the row's maximum becomes the maximum, and the record length what that
// takes. "Sample Count" is left alone: it belongs to the rows that send it.
void applyRecordLength(AppSettings &s, const DeviceType &row, int64_t &recordCount);

// Control changes. Values outside a list are ignored; free numbers are clamped.
void chooseBandwidth(AppSettings &s, const DeviceType &row, int index);
void setBandwidth(AppSettings &s, const DeviceType &row, double hz);
void chooseSampleRate(AppSettings &s, const DeviceType &row, const InstrumentOptions &options,
                      int index, int64_t &recordCount);
void setSampleRate(AppSettings &s, const DeviceType &row, const InstrumentOptions &options,
                   double hz, int64_t &recordCount);
void chooseTriggerMode(AppSettings &s, const DeviceType &row, int index);
void chooseTriggerSlope(AppSettings &s, const DeviceType &row, int index);
// The trigger mode or slope named by a word of the row's list, long or short form in any
// case ("EXTernal", "EXT", "ext"). False, and nothing stored, for a word the list lacks.
bool chooseTriggerModeWord(AppSettings &s, const DeviceType &row, const QString &word);
bool chooseTriggerSlopeWord(AppSettings &s, const DeviceType &row, const QString &word);
void setPreTrigger(AppSettings &s, const DeviceType &row, int64_t samples);
void setRecordLength(AppSettings &s, const DeviceType &row, double ms, int64_t &recordCount);
void setSampleCount(AppSettings &s, const DeviceType &row, const InstrumentOptions &options,
                    int64_t count);

// Which dialog an input choice opens.
enum class InputDialog { None, AnalogIq, DigitalIq };

// Stores the code of the input at list position index. An input the instrument cannot use
// (analog I/Q without Q31, anything not in the row's list) falls back to RF and opens no
// dialog.
InputDialog chooseInput(AppSettings &s, const DeviceType &row, const InstrumentOptions &options,
                        int index);

// "IQ Input" as a settings file stores it. Files of earlier versions hold the list position,
// this version the input code. The two differ only on rows whose list skips a code (Walnut
// and Juniper: RF, DIQ), and there a stored 1 can only be a position, since 1 (analog I/Q)
// is no code of theirs: such a value is read as the position. A value that is neither a
// code nor a position of the row reads as RF.
int32_t inputCodeFromFile(const DeviceType &row, int32_t stored);

// High impedance limits the analog I/Q range to highImpedanceRangeLimit volts.
void setHighImpedance(AppSettings &s, bool high);

// Settings as read from the file (and overridden) brought in line before anything is shown
// or sent: the key table's limits, "IQ Input" as a code, then a refresh for the stored row
// with the options not yet known. The same step for the window and trovik-cli. Returns one
// change per key whose value moved (a list row's value taken from its list counts too).
std::vector<SettingChange> normaliseLoaded(StoredSettings &stored);

// The trigger words the file keeps beside the indices: the short forms of the stored row's
// lists at the chosen positions. Called before the settings are written.
void nameTriggerChoice(StoredSettings &stored);

// The keys whose values Init may lower by the options it finds.
QStringList keysInitLimits();

}  // namespace TraceRules

// What the Trace tab shows for the current settings and row. "Visible" covers a control
// and its label.
struct TraceControls
{
    bool oscilloscope = false;  // the oscilloscope group instead of the analyzer group
    // Analyzer group
    bool bandwidthList = false;      // the bandwidth list instead of the free number
    bool bandwidthEditable = false;  // the free bandwidth can be typed (else the instrument's)
    bool sampleRateList = false;     // the sample-rate list instead of the free number
    bool preTrigger = false;
    bool recordLength = false;  // record length, trigger offset and data type
    bool filterType = false;
    bool inputs = false;  // the input list and the four analog option boxes
    bool analogOptionsEnabled = false;
    bool average = false;
    bool triggerEditable = false;  // pre-trigger and trigger mode enabled
    bool countEditable = false;
    bool bandwidthAndSlopeEditable = false;  // bandwidth list, slope and their labels
    // Oscilloscope group
    bool carrierEnabled = false;
    bool rfSideband = false;
    bool ifSideband = false;
};

TraceControls traceControls(const AppSettings &s, const DeviceType &row,
                            const InstrumentOptions &options);
