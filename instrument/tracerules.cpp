#include "tracerules.h"

#include "iqinputranges.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace TraceRules {

namespace {

double clampTo(double value, double low, double high)
{
    // NaN from a damaged file is no number at all: take the low limit.
    return std::isnan(value) ? low : std::min(std::max(value, low), high);
}

int validIndex(int index, int count)
{
    return index >= 0 && index < count ? index : 0;
}

void fitBandwidth(AppSettings &s, const DeviceType &row)
{
    if (row.bandwidths.empty()) {
        s.resolutionBandwidth
                = clampTo(s.resolutionBandwidth, row.bandwidthLimits.min, row.bandwidthLimits.max);
        return;
    }
    s.rbwIndex = validIndex(s.rbwIndex, row.bandwidths.count);
    s.resolutionBandwidth = row.bandwidths[s.rbwIndex].value;
}

void fitSampleRate(AppSettings &s, const DeviceType &row, const InstrumentOptions &options)
{
    if (row.sampleRates.empty()) {
        s.sampleRate = clampTo(s.sampleRate, row.sampleRateLimits.min, sampleRateMax(row, options));
        return;
    }
    s.sampleRateIndex = validIndex(s.sampleRateIndex, row.sampleRates.count);
    s.sampleRate = row.sampleRates[s.sampleRateIndex].value;
}

void fitTrigger(AppSettings &s, const DeviceType &row)
{
    s.triggerModeIndex = validIndex(s.triggerModeIndex, row.triggerModes.count);
    s.triggerSlopeIndex = validIndex(s.triggerSlopeIndex, row.slopes.count);
    s.preTriggerSamples = std::clamp(s.preTriggerSamples, row.preMin, row.preMax);
}

void limitSampleCount(AppSettings &s, const DeviceType &row, const InstrumentOptions &options)
{
    s.sampleCount = std::min(s.sampleCount, maxSamples(row, options, s.sampleRate));
}

void refreshOscilloscope(AppSettings &s, const DeviceType &row, int64_t &recordCount)
{
    s.sampleRate = clampTo(s.sampleRate, row.sampleRateLimits.min, row.sampleRateLimits.max);
    s.oscBandwidth = s.sampleRate * s.relativeBandwidth;
    recordCount = s.oscRecordLength;
}

}  // namespace

int64_t recordLengthSamples(double recordLengthMs, double sampleRate)
{
    const double product = std::trunc(recordLengthMs * sampleRate * 0.001);
    if (std::isnan(product))
        return 0;
    if (product <= std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    if (product >= std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(product);
}

void refresh(AppSettings &s, const DeviceType &row, const InstrumentOptions &options,
             int64_t &recordCount)
{
    if (isOscilloscopeRow(row)) {
        refreshOscilloscope(s, row, recordCount);
        return;
    }
    fitBandwidth(s, row);
    fitSampleRate(s, row, options);
    fitTrigger(s, row);
    if (!row.hasInput(s.iqInput))
        s.iqInput = InputCode::rf;
    limitSampleCount(s, row, options);
    // Alder's list item is what its acquisition sends anyway; the stored value is the one
    // the rows with a bandwidth box they cannot edit would otherwise inherit.
    if (row.panel.instrumentBandwidth > 0)
        s.resolutionBandwidth = row.panel.instrumentBandwidth;
    // A memory that depends on the options and the sample rate decides the count here.
    if (row.init.memory)
        recordCount = s.sampleCount;
    if (row.panel.recordLength)
        applyRecordLength(s, row, recordCount);
}

void applyRecordLength(AppSettings &s, const DeviceType &row, int64_t &recordCount)
{
    int64_t count = recordLengthSamples(s.recordLength, s.sampleRate);
    if (count < 0 || count > int64_t(row.maxSamples)) {
        count = row.maxSamples;
        s.recordLength = row.maxSamples * 1000.0 / s.sampleRate;
    }
    // The record's count only: "Sample Count" stays what the user chose for the other rows.
    recordCount = count;
}

void chooseBandwidth(AppSettings &s, const DeviceType &row, int index)
{
    if (!row.bandwidths.contains(index))
        return;
    s.rbwIndex = index;
    s.resolutionBandwidth = row.bandwidths[index].value;
}

void setBandwidth(AppSettings &s, const DeviceType &row, double hz)
{
    if (row.bandwidths.empty())
        s.resolutionBandwidth = clampTo(hz, row.bandwidthLimits.min, row.bandwidthLimits.max);
}

void chooseSampleRate(AppSettings &s, const DeviceType &row, const InstrumentOptions &options,
                      int index, int64_t &recordCount)
{
    if (!row.sampleRates.contains(index))
        return;
    s.sampleRateIndex = index;
    s.sampleRate = row.sampleRates[index].value;
    limitSampleCount(s, row, options);
    if (row.panel.recordLength)
        applyRecordLength(s, row, recordCount);
}

void setSampleRate(AppSettings &s, const DeviceType &row, const InstrumentOptions &options,
                   double hz, int64_t &recordCount)
{
    if (!row.sampleRates.empty())
        return;
    const double before = s.sampleRate;
    s.sampleRate = clampTo(hz, row.sampleRateLimits.min, sampleRateMax(row, options));
    // Only on the way up across the limit: a bandwidth chosen at a wide rate must survive
    // the next edit (or focus-out) of the rate.
    const PanelFacts &panel = row.panel;
    if (panel.wideRate > 0 && s.sampleRate > panel.wideRate && !(before > panel.wideRate)) {
        s.resolutionBandwidth = panel.wideBandwidth;
        for (int i = 0; i < row.bandwidths.count; ++i)
            if (row.bandwidths[i].value == panel.wideBandwidth)
                s.rbwIndex = i;
    }
    limitSampleCount(s, row, options);
    if (row.init.memory)
        recordCount = s.sampleCount;
    if (panel.recordLength)
        applyRecordLength(s, row, recordCount);
}

void chooseTriggerMode(AppSettings &s, const DeviceType &row, int index)
{
    if (!row.triggerModes.contains(index))
        return;
    s.triggerModeIndex = index;
}

void chooseTriggerSlope(AppSettings &s, const DeviceType &row, int index)
{
    if (!row.slopes.contains(index))
        return;
    s.triggerSlopeIndex = index;
}

namespace {

int wordIndex(const FixedList<WordPair> &list, const QString &word)
{
    const QString w = word.trimmed();
    for (int i = 0; i < list.count; ++i)
        if (w.compare(QLatin1String(list[i].longForm), Qt::CaseInsensitive) == 0
            || w.compare(QLatin1String(list[i].shortForm), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

}  // namespace

bool chooseTriggerModeWord(AppSettings &s, const DeviceType &row, const QString &word)
{
    const int index = wordIndex(row.triggerModes, word);
    if (index >= 0)
        s.triggerModeIndex = index;
    return index >= 0;
}

bool chooseTriggerSlopeWord(AppSettings &s, const DeviceType &row, const QString &word)
{
    const int index = wordIndex(row.slopes, word);
    if (index >= 0)
        s.triggerSlopeIndex = index;
    return index >= 0;
}

void setPreTrigger(AppSettings &s, const DeviceType &row, int64_t samples)
{
    s.preTriggerSamples
            = static_cast<int32_t>(std::clamp<int64_t>(samples, row.preMin, row.preMax));
}

void setRecordLength(AppSettings &s, const DeviceType &row, double ms, int64_t &recordCount)
{
    s.recordLength = ms;
    applyRecordLength(s, row, recordCount);
}

void setSampleCount(AppSettings &s, const DeviceType &row, const InstrumentOptions &options,
                    int64_t count)
{
    const int64_t limit = maxSamples(row, options, s.sampleRate);
    s.sampleCount = static_cast<uint32_t>(std::clamp<int64_t>(count, 0, limit));
}

InputDialog chooseInput(AppSettings &s, const DeviceType &row, const InstrumentOptions &options,
                        int index)
{
    const int32_t code = row.inputs.contains(index) ? row.inputs[index].code : InputCode::rf;
    if (code == InputCode::analogIq && analogIqAvailable(row, options)) {
        s.iqInput = code;
        return InputDialog::AnalogIq;
    }
    if (code == InputCode::digitalIq && digitalIqAvailable(row)) {
        s.iqInput = code;
        return InputDialog::DigitalIq;
    }
    s.iqInput = InputCode::rf;
    return InputDialog::None;
}

int32_t inputCodeFromFile(const DeviceType &row, int32_t stored)
{
    if (row.hasInput(stored))
        return stored;
    return row.inputs.contains(stored) ? row.inputs[stored].code : InputCode::rf;
}

void setHighImpedance(AppSettings &s, bool high)
{
    s.highImpedance = high;
    IqInputRanges::keepAnalogWithinImpedance(s);
}

std::vector<SettingChange> normaliseLoaded(StoredSettings &stored)
{
    std::vector<SettingChange> changes = keepWithinLimits(stored);
    AppSettings &s = stored.settings;
    const DeviceType &row = deviceType(s.deviceType);
    // Earlier versions stored the input's list position: a reading, not a change.
    s.iqInput = inputCodeFromFile(row, s.iqInput);
    const StoredSettings limited = stored;
    int64_t count = 0;
    refresh(s, row, InstrumentOptions(), count);
    mergeSettingChanges(changes, settingChanges(limited, stored));
    return changes;
}

void nameTriggerChoice(StoredSettings &stored)
{
    const AppSettings &s = stored.settings;
    const DeviceType &row = deviceType(s.deviceType);
    stored.program.triggerModeWord = QLatin1String(row.triggerModeAt(s.triggerModeIndex).shortForm);
    stored.program.triggerSlopeWord = QLatin1String(row.slopeAt(s.triggerSlopeIndex).shortForm);
}

QStringList keysInitLimits()
{
    return {QStringLiteral("Analyzer/Sample Rate"), QStringLiteral("Analyzer/Sample Count")};
}

}  // namespace TraceRules

TraceControls traceControls(const AppSettings &s, const DeviceType &row,
                            const InstrumentOptions &options)
{
    TraceControls c;
    if (isOscilloscopeRow(row)) {
        c.oscilloscope = true;
        const bool real = s.iqInputType == 0;
        const bool complexRfIf = s.iqInputType == 1 && s.iqInputMode == 1;
        c.carrierEnabled = real || complexRfIf;
        c.rfSideband = real;
        c.ifSideband = complexRfIf;
        return c;
    }
    const PanelFacts &panel = row.panel;
    const bool recordRow = panel.recordLength;
    c.bandwidthList = !row.bandwidths.empty();
    // A free bandwidth is the instrument's (Init reads it on the rows that report it): shown,
    // not typed.
    c.bandwidthEditable = false;
    c.sampleRateList = !row.sampleRates.empty();
    c.preTrigger = !recordRow;
    c.recordLength = recordRow;
    c.filterType = !recordRow;
    c.inputs = panel.inputs;
    c.analogOptionsEnabled = s.iqInput == InputCode::analogIq && analogIqAvailable(row, options);
    c.average = panel.average;
    c.triggerEditable = panel.triggerEditable;
    c.countEditable = !recordRow;
    c.bandwidthAndSlopeEditable = panel.bandwidthAndSlopeEditable;
    return c;
}
