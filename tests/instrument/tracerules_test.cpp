// The Trace tab's rules without widgets: every row after a refresh, the control changes and
// their edge cases, and what each row shows. After every rule the settings go through the
// settings file and must come back unchanged.
#include "iqinputranges.h"
#include "settingsfile.h"
#include "tracerules.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>
#include <tuple>
#include <vector>

namespace {

using namespace TraceRules;

// The persisted Trace fields.
auto traceFields(const AppSettings &s)
{
    return std::make_tuple(s.deviceType, s.resolutionBandwidth, s.rbwIndex, s.sampleRate,
                           s.sampleRateIndex, s.triggerModeIndex, s.triggerSlopeIndex,
                           s.preTriggerSamples, s.recordLength, s.sampleCount, s.iqInput,
                           s.anaIqRange, s.highImpedance, s.digiIqRange, s.digiIqSampleRate);
}

// The Trace fields come back unchanged through the settings file.
void expectSurvivesFile(const AppSettings &s)
{
    QTemporaryDir dir;
    const QString path = settingsFilePath(dir.path());
    StoredSettings stored;
    stored.settings = s;
    writeStoredSettings(path, stored);
    EXPECT_EQ(traceFields(readStoredSettings(path).settings), traceFields(s));
}

AppSettings on(DeviceId id)
{
    AppSettings s;
    s.deviceType = static_cast<int>(id);
    return s;
}

// Settings a damaged or foreign file could hold: every index and number out of reach.
AppSettings wild(int row)
{
    AppSettings s;
    s.deviceType = row;
    s.rbwIndex = 99;
    s.sampleRateIndex = 15;
    s.triggerModeIndex = -3;
    s.triggerSlopeIndex = 7;
    s.resolutionBandwidth = 5e12;
    s.sampleRate = 3.2e7 + 0.5;
    s.preTriggerSamples = std::numeric_limits<int32_t>::min();
    s.sampleCount = std::numeric_limits<uint32_t>::max();
    s.iqInput = 2;
    return s;
}

}  // namespace

TEST(TraceRulesTest, EveryRowShowsWhatItsListsHoldAndStaysInItsLimits)
{
    const InstrumentOptions options;
    for (int i = 0; i < deviceTypeCount; ++i) {
        const DeviceType &row = deviceType(i);
        if (isOscilloscopeRow(row))
            continue;
        SCOPED_TRACE(row.name);
        AppSettings s = wild(i);
        int64_t count = -1;
        refresh(s, row, options, count);
        if (usesRecordLength(row)) {
            EXPECT_EQ(s.resolutionBandwidth, 300000.0);  // the instrument's, as on Elm/Fir/Gum
        } else if (!row.bandwidths.empty()) {
            EXPECT_EQ(s.rbwIndex, 0);
            EXPECT_EQ(s.resolutionBandwidth, row.bandwidths[0].value);
        } else {
            EXPECT_LE(s.resolutionBandwidth, row.bandwidthLimits.max);
            EXPECT_GE(s.resolutionBandwidth, row.bandwidthLimits.min);
        }
        if (!row.sampleRates.empty()) {
            EXPECT_EQ(s.sampleRateIndex, 0);
            EXPECT_EQ(s.sampleRate, row.sampleRates[0].value);
        } else {
            EXPECT_LE(s.sampleRate, sampleRateMax(row, options));
            EXPECT_GE(s.sampleRate, row.sampleRateLimits.min);
        }
        EXPECT_EQ(s.triggerModeIndex, 0);
        EXPECT_EQ(s.triggerSlopeIndex, 0);
        EXPECT_EQ(s.preTriggerSamples, row.preMin);
        EXPECT_LE(s.sampleCount, maxSamples(row, options, s.sampleRate));
        EXPECT_TRUE(row.hasInput(s.iqInput));
        // A second refresh finds nothing to change.
        AppSettings again = s;
        refresh(again, row, options, count);
        EXPECT_EQ(again.sampleCount, s.sampleCount);
        EXPECT_EQ(again.recordLength, s.recordLength);
        EXPECT_EQ(again.sampleRate, s.sampleRate);
        expectSurvivesFile(s);
    }
}

TEST(TraceRulesTest, OliveWithAnIndexBeyondItsListShowsAndStoresItemZero)
{
    AppSettings s = on(DeviceId::Olive);
    s.sampleRateIndex = 15;
    s.sampleRate = 32e6;
    int64_t count = 0;
    refresh(s, deviceType(DeviceId::Olive), {}, count);
    EXPECT_EQ(s.sampleRateIndex, 0);
    EXPECT_EQ(s.sampleRate, 15625.0);  // never the 32 MHz no list item shows
    expectSurvivesFile(s);
}

// The record length decides the count, up to its maximum, and never the stored count the other
// rows use.
TEST(TraceRulesTest, AlderRecordLengthDecidesTheCountWithoutTouchingTheStoredCount)
{
    const DeviceType &alder = deviceType(DeviceId::Alder);
    AppSettings s = on(DeviceId::Alder);
    s.sampleRate = 32e6;
    s.sampleCount = 100000;
    int64_t count = 0;
    const auto expectCount = [&](int64_t expected) {
        EXPECT_EQ(count, expected);
        EXPECT_EQ(s.sampleCount, 100000u);
        expectSurvivesFile(s);
    };
    setRecordLength(s, alder, 20.0, count);
    expectCount(524200);
    EXPECT_DOUBLE_EQ(s.recordLength, 16.38125);
    setRecordLength(s, alder, 2.0, count);
    expectCount(64000);
    setRecordLength(s, alder, -1.0, count);
    expectCount(524200);
    EXPECT_DOUBLE_EQ(s.recordLength, 16.38125);
    s.recordLength = 1.0;
    refresh(s, alder, {}, count);  // a refresh applies the same rule
    expectCount(32000);
    // The instrument's own bandwidth; Alder's acquisition sends its fixed 8 MHz.
    EXPECT_EQ(s.resolutionBandwidth, 300000.0);
    setSampleRate(s, alder, {}, 16e6, count);
    expectCount(16000);
}

TEST(TraceRulesTest, RecordLengthSamplesTruncatesAndSaturates)
{
    EXPECT_EQ(recordLengthSamples(1.0, 32e6), 32000);
    EXPECT_EQ(recordLengthSamples(0.0015, 1e6), 1);  // 1.5 -> 1
    EXPECT_EQ(recordLengthSamples(-0.0015, 1e6), -1);
    EXPECT_EQ(recordLengthSamples(1e9, 1e9), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(recordLengthSamples(-1e9, 1e9), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(recordLengthSamples(std::numeric_limits<double>::quiet_NaN(), 1.0), 0);
}

TEST(TraceRulesTest, PreTriggerIsClampedToTheRow)
{
    const DeviceType &olive = deviceType(DeviceId::Olive);
    AppSettings s = on(DeviceId::Olive);
    setPreTrigger(s, olive, 200000);
    EXPECT_EQ(s.preTriggerSamples, 130559);
    setPreTrigger(s, olive, -200000);
    EXPECT_EQ(s.preTriggerSamples, -130559);
    setPreTrigger(s, deviceType(DeviceId::Walnut), -5);
    EXPECT_EQ(s.preTriggerSamples, 0);
    expectSurvivesFile(s);
}

TEST(TraceRulesTest, ListChoicesStoreTheirPositionAndValue)
{
    const DeviceType &pine = deviceType(DeviceId::Pine);
    AppSettings s = on(DeviceId::Pine);
    int64_t count = 0;
    chooseBandwidth(s, pine, 6);
    EXPECT_EQ(s.rbwIndex, 6);
    EXPECT_EQ(s.resolutionBandwidth, 1e7);
    chooseBandwidth(s, pine, 7);  // B7 has no eighth item
    EXPECT_EQ(s.rbwIndex, 6);
    chooseSampleRate(s, pine, {}, 11, count);
    EXPECT_EQ(s.sampleRateIndex, 11);
    EXPECT_EQ(s.sampleRate, 32e6);
    chooseTriggerMode(s, pine, 2);
    EXPECT_EQ(s.triggerModeIndex, 2);
    chooseTriggerMode(s, pine, 3);  // T3 has no fourth item
    EXPECT_EQ(s.triggerModeIndex, 2);
    chooseTriggerSlope(s, pine, 1);
    EXPECT_EQ(s.triggerSlopeIndex, 1);
    expectSurvivesFile(s);
}

TEST(TraceRulesTest, FreeNumbersAreClampedToTheRow)
{
    const DeviceType &hazel = deviceType(DeviceId::Hazel);
    AppSettings s = on(DeviceId::Hazel);
    int64_t count = 0;
    setSampleRate(s, hazel, {}, 1e12, count);
    EXPECT_EQ(s.sampleRate, 81.6e6);
    setSampleRate(s, hazel, {}, 1, count);
    EXPECT_EQ(s.sampleRate, 100.0);
    setSampleCount(s, hazel, {}, -4);
    EXPECT_EQ(s.sampleCount, 0u);
    setSampleCount(s, hazel, {}, 99999999);
    EXPECT_EQ(s.sampleCount, 16776704u);
    setBandwidth(s, deviceType(DeviceId::Walnut), 1e9);
    EXPECT_EQ(s.resolutionBandwidth, 4e7);
    expectSurvivesFile(s);
}

// An input is taken only where the row lists it and Init found its option; otherwise the
// choice falls back to RF, whatever was chosen before. Willow lists the analog input but no
// Init gives it the option.
TEST(TraceRulesTest, AnInputIsTakenOnlyWhereTheRowListsItAndItsOptionIsFound)
{
    struct Case
    {
        DeviceId row;
        bool q31;
        int position;  // -1: where the row lists the digital input
        InputDialog dialog;
        int32_t code;
    };
    const Case cases[] = {
            {DeviceId::Rowan, false, 1, InputDialog::None, InputCode::rf},
            {DeviceId::Rowan, true, 1, InputDialog::AnalogIq, InputCode::analogIq},
            {DeviceId::Willow, true, 1, InputDialog::None, InputCode::rf},
            {DeviceId::Rowan, false, -1, InputDialog::DigitalIq, InputCode::digitalIq},
            {DeviceId::Walnut, false, -1, InputDialog::DigitalIq, InputCode::digitalIq},
            {DeviceId::Juniper, false, -1, InputDialog::DigitalIq, InputCode::digitalIq},
            {DeviceId::Willow, false, -1, InputDialog::DigitalIq, InputCode::digitalIq},
            {DeviceId::Olive, false, 2, InputDialog::None, InputCode::rf},
    };
    AppSettings s;
    for (const Case &k : cases) {
        const DeviceType &row = deviceType(k.row);
        SCOPED_TRACE(testing::Message() << row.name << " " << k.position);
        InstrumentOptions found;
        found.q31 = k.q31;
        s.deviceType = int(k.row);
        const int position = k.position >= 0 ? k.position : row.inputIndex(InputCode::digitalIq);
        EXPECT_EQ(chooseInput(s, row, found, position), k.dialog);
        EXPECT_EQ(s.iqInput, k.code);
        EXPECT_EQ(traceControls(s, row, found).analogOptionsEnabled, k.code == InputCode::analogIq);
        EXPECT_FALSE(traceControls(s, row, {}).analogOptionsEnabled);
        expectSurvivesFile(s);
    }
}

TEST(TraceRulesTest, InputCodeOfEarlierFilesIsReadAsBefore)
{
    const DeviceType &walnut = deviceType(DeviceId::Walnut);
    EXPECT_EQ(inputCodeFromFile(walnut, 1), InputCode::digitalIq);  // earlier: position 1, "DIQ"
    EXPECT_EQ(inputCodeFromFile(walnut, 2), InputCode::digitalIq);  // this version: the code
    EXPECT_EQ(inputCodeFromFile(walnut, 0), InputCode::rf);
    EXPECT_EQ(inputCodeFromFile(walnut, 7), InputCode::rf);
    const DeviceType &rowan = deviceType(DeviceId::Rowan);
    for (int32_t code : {0, 1, 2})
        EXPECT_EQ(inputCodeFromFile(rowan, code), code);  // position and code agree
    EXPECT_EQ(inputCodeFromFile(deviceType(DeviceId::Olive), 2), InputCode::rf);
    EXPECT_EQ(inputCodeFromFile(rowan, -1), InputCode::rf);
}

TEST(TraceRulesTest, ADeviceChangeKeepsOnlyAnInputTheNewRowHas)
{
    AppSettings s = on(DeviceId::Rowan);
    s.iqInput = InputCode::analogIq;
    int64_t count = 0;
    refresh(s, deviceType(DeviceId::Walnut), {}, count);
    EXPECT_EQ(s.iqInput, InputCode::rf);
    s.iqInput = InputCode::digitalIq;
    refresh(s, deviceType(DeviceId::Walnut), {}, count);
    EXPECT_EQ(s.iqInput, InputCode::digitalIq);
}

TEST(TraceRulesTest, OscilloscopeCountIsItsRecordLength)
{
    AppSettings s = on(DeviceId::Nutmeg);
    s.oscRecordLength = 5000;
    s.sampleRate = 1e6;
    s.relativeBandwidth = 0.5;
    int64_t count = 0;
    refresh(s, deviceType(DeviceId::Nutmeg), {}, count);
    EXPECT_EQ(count, 5000);
    EXPECT_EQ(s.oscBandwidth, 5e5);
}

// A move through other rows must leave every stored value the user chose where it was, so
// the instrument is never sent a value nobody picked. Each case: settings shown on a first
// row, a walk through rows, and the values that must come back (also through the file).
TEST(TraceRulesTest, WalkingThroughRowsKeepsTheStoredValues)
{
    struct Case
    {
        const char *what;
        AppSettings start;
        std::vector<DeviceId> walk;
    };
    AppSettings olive = on(DeviceId::Olive);
    olive.sampleCount = 100000;
    AppSettings rowan = on(DeviceId::Rowan);
    rowan.sampleRate = 2e8;
    rowan.sampleCount = 500000000;
    const Case cases[] = {
            {"Olive count past Alder", olive, {DeviceId::Alder, DeviceId::Olive}},
            {"Rowan before Init", rowan, {DeviceId::Nutmeg, DeviceId::Rowan}},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.what);
        AppSettings s = k.start;
        int64_t count = 0;
        refresh(s, deviceType(s.deviceType), InstrumentOptions(), count);
        const AppSettings shown = s;
        EXPECT_EQ(shown.sampleCount, k.start.sampleCount);
        for (DeviceId id : k.walk) {
            s.deviceType = int(id);
            refresh(s, deviceType(id), InstrumentOptions(), count);
        }
        EXPECT_EQ(s.sampleCount, shown.sampleCount);
        EXPECT_EQ(s.sampleRate, shown.sampleRate);
        expectSurvivesFile(s);
    }
}

TEST(TraceRulesTest, RowanLimitsWaitForInitThenFollowTheOptions)
{
    const DeviceType &rowan = deviceType(DeviceId::Rowan);
    struct Case
    {
        bool known, q53, q54;
        double rate;
        uint32_t samples;
    };
    const Case cases[] = {
            {false, false, false, 2e8, 500000000u},  // before Init: the table's limits
            {true, false, false, 81.6e6, 16776704u},
            {true, true, false, 2e8, 16776704u},
            {true, true, true, 2e8, 500000000u},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(testing::Message() << k.known << k.q53 << k.q54);
        AppSettings s = on(DeviceId::Rowan);
        s.sampleRate = 2e8;
        s.sampleCount = 500000000u;
        InstrumentOptions found;
        found.known = k.known;
        found.q53 = k.q53;
        found.q54 = k.q54;
        int64_t count = 0;
        refresh(s, rowan, found, count);
        EXPECT_EQ(s.sampleRate, k.rate);
        EXPECT_EQ(s.sampleCount, k.samples);
        EXPECT_EQ(count, k.samples);
        expectSurvivesFile(s);
        // A count beyond what the options allow at this rate is lowered to it (503315968
        // with Q53 and Q54 at 200 MHz).
        setSampleCount(s, rowan, found, 4000000000LL);
        EXPECT_EQ(s.sampleCount, maxSamples(rowan, found, s.sampleRate));
    }
}

// The free bandwidth Willow and Kapok/Larch cannot edit must not be the one Alder showed.
TEST(TraceRulesTest, AlderAndElmLeaveTheInstrumentsBandwidthToTheNextRow)
{
    for (DeviceId from : {DeviceId::Alder, DeviceId::ElmFirGum}) {
        for (DeviceId to : {DeviceId::Willow, DeviceId::KapokLarch}) {
            AppSettings s = on(from);
            int64_t count = 0;
            refresh(s, deviceType(from), {}, count);
            EXPECT_EQ(s.resolutionBandwidth, 300000.0) << deviceType(from).name;
            s.deviceType = int(to);
            refresh(s, deviceType(to), {}, count);
            EXPECT_EQ(s.resolutionBandwidth, 300000.0) << deviceType(to).name;
        }
    }
}

TEST(TraceRulesTest, RowanTakesTheWidestBandwidthOnlyWhenTheRateCrossesUpwards)
{
    const DeviceType &rowan = deviceType(DeviceId::Rowan);
    InstrumentOptions wide;
    wide.known = wide.q53 = true;
    struct Step
    {
        double rate;
        int chosenBandwidth;  // -1: none chosen before this rate
        double bandwidth;     // after the rate
        double rateKept;
    };
    // From 50 MHz: up across 81.6 MHz takes 120 MHz; a bandwidth chosen afterwards stays
    // through further edits above (and the same value again, as a focus-out gives). The rate
    // stops at what Q53 allows.
    const Step steps[]
            = {{50e6, 0, 3e5, 50e6},    {100e6, -1, 1.2e8, 100e6}, {200e6, 6, 1e7, 200e6},
               {200e6, -1, 1e7, 200e6}, {90e6, -1, 1e7, 90e6},     {81.6e6, -1, 1e7, 81.6e6},
               {82e6, -1, 1.2e8, 82e6}, {1e9, -1, 1.2e8, 326.4e6}};
    AppSettings s = on(DeviceId::Rowan);
    int64_t count = 0;
    for (const Step &step : steps) {
        SCOPED_TRACE(step.rate);
        if (step.chosenBandwidth >= 0)
            chooseBandwidth(s, rowan, step.chosenBandwidth);
        setSampleRate(s, rowan, wide, step.rate, count);
        EXPECT_EQ(s.resolutionBandwidth, step.bandwidth);
        EXPECT_EQ(rowan.bandwidths[s.rbwIndex].value, step.bandwidth);  // the item shown
        EXPECT_EQ(s.sampleRate, step.rateKept);
        expectSurvivesFile(s);
    }
}

// What each row shows follows from its facts: a list where it has one, the record length in
// place of the count and pre-trigger, a free bandwidth shown but never typed.
TEST(TraceControlsTest, EveryRowShowsTheControlsItsFactsCallFor)
{
    for (int i = 0; i < deviceTypeCount; ++i) {
        const DeviceType &row = deviceType(i);
        SCOPED_TRACE(row.name);
        const TraceControls c = traceControls(AppSettings(), row, {});
        EXPECT_EQ(c.oscilloscope, isOscilloscopeRow(row));
        if (c.oscilloscope)
            continue;
        const bool record = usesRecordLength(row);
        EXPECT_EQ(c.bandwidthList, !row.bandwidths.empty());
        EXPECT_EQ(c.sampleRateList, !row.sampleRates.empty());
        EXPECT_EQ(c.recordLength, record);
        EXPECT_EQ(c.preTrigger, !record);
        EXPECT_EQ(c.filterType, !record);
        EXPECT_EQ(c.countEditable, !record);
        EXPECT_FALSE(c.bandwidthEditable);
        EXPECT_FALSE(c.analogOptionsEnabled);
    }
}

TEST(TraceControlsTest, OscilloscopeInputTypeAndModeDecideCarrierAndSidebands)
{
    const DeviceType &nutmeg = deviceType(DeviceId::Nutmeg);
    AppSettings s;
    struct Case
    {
        int type, mode;
        bool carrier, rf, ifBand;
    };
    for (const Case &k : {Case{0, 0, true, true, false}, Case{0, 1, true, true, false},
                          Case{1, 0, false, false, false}, Case{1, 1, true, false, true}}) {
        s.iqInputType = k.type;
        s.iqInputMode = k.mode;
        const TraceControls c = traceControls(s, nutmeg, {});
        EXPECT_EQ(c.carrierEnabled, k.carrier) << k.type << k.mode;
        EXPECT_EQ(c.rfSideband, k.rf) << k.type << k.mode;
        EXPECT_EQ(c.ifSideband, k.ifBand) << k.type << k.mode;
    }
}

TEST(IqInputRangesTest, AnalogItemsAreVoltsAndTheNearestIsFound)
{
    EXPECT_STREQ(IqInputRanges::analogLabel(2), "100 mV");
    EXPECT_EQ(IqInputRanges::analogVolts(0), 0.0316);
    EXPECT_EQ(IqInputRanges::analogVolts(9), 5.62);
    for (int i = 0; i < IqInputRanges::analogCount; ++i)
        EXPECT_EQ(IqInputRanges::nearestAnalog(IqInputRanges::analogVolts(i)), i);
    EXPECT_EQ(IqInputRanges::nearestAnalog(2.0), 7);  // 1.78 V
    EXPECT_EQ(IqInputRanges::nearestAnalog(0.0), 0);
    EXPECT_EQ(IqInputRanges::nearestAnalog(-3.0), 0);
    EXPECT_EQ(IqInputRanges::nearestAnalog(1e6), 9);
    EXPECT_EQ(IqInputRanges::nearestAnalog(std::numeric_limits<double>::quiet_NaN()), 0);
}

// Over a high impedance the analog range stops at 1.78 V.
TEST(IqInputRangesTest, AnalogRangeIsTheItemsVoltageUpToWhatTheImpedanceAllows)
{
    AppSettings s;
    s.anaIqRange = 5.62;
    setHighImpedance(s, false);
    EXPECT_EQ(s.anaIqRange, 5.62);
    setHighImpedance(s, true);
    EXPECT_EQ(s.anaIqRange, 1.78);
    expectSurvivesFile(s);
    s.highImpedance = false;
    IqInputRanges::chooseAnalog(s, 9);
    EXPECT_EQ(s.anaIqRange, 5.62);
    s.highImpedance = true;
    IqInputRanges::chooseAnalog(s, 9);
    EXPECT_EQ(s.anaIqRange, 1.78);
    IqInputRanges::chooseAnalog(s, 3);
    EXPECT_EQ(s.anaIqRange, 0.178);
    expectSurvivesFile(s);
}

TEST(IqInputRangesTest, DigitalRangeStaysWithinItsSampleRateLimits)
{
    const Limits limits = IqInputRanges::digitalRangeLimits(10.0);
    EXPECT_DOUBLE_EQ(limits.min, 10.0 / (1 << 21));
    EXPECT_DOUBLE_EQ(limits.max, 2540.0);
    AppSettings s;
    IqInputRanges::setDigitalRange(s, 5000.0);
    EXPECT_EQ(s.digiIqRange, 2540.0);
    IqInputRanges::setDigitalSampleRate(s, 1.0);
    EXPECT_EQ(s.digiIqSampleRate, 1.0);
    EXPECT_EQ(s.digiIqRange, 254.0);
    IqInputRanges::setDigitalSampleRate(s, -1.0);  // a damaged value turns nothing round
    EXPECT_EQ(s.digiIqRange, 0.0);
    expectSurvivesFile(s);
}

// Files written before the choice was kept as indices alone hold the trigger words too, in
// the short or the long form. The indices decide, and the Trace sends the long forms of the
// row's lists at them, as it did when the words were copied from the lists before each Trace.
TEST(TraceRulesTest, OlderFilesWithTriggerWordsReadToTheSameChoice)
{
    struct Case
    {
        const char *keys;
        int mode;
        int slope;
        const char *sentMode;
        const char *sentSlope;
    };
    const Case cases[] = {
            {"Trigger%20Mode=EXTernal\nTrigger%20Mode%20Index=1\n"
             "Trigger%20Slope=NEGative\nTrigger%20Slope%20Index=1\n",
             1, 1, "EXTernal", "NEGative"},
            {"Trigger%20Mode=EXT\nTrigger%20Mode%20Index=1\n"
             "Trigger%20Slope=NEG\nTrigger%20Slope%20Index=1\n",
             1, 1, "EXTernal", "NEGative"},
            {"Trigger%20Mode=VID\nTrigger%20Mode%20Index=2\n", 2, 0, "VIDeo", "POSitive"},
            // A word that disagrees with its index, or an index beyond the list: the index.
            {"Trigger%20Mode=VIDeo\nTrigger%20Mode%20Index=0\n", 0, 0, "IMMediate", "POSitive"},
            {"Trigger%20Mode=EXT\nTrigger%20Mode%20Index=9\nTrigger%20Slope%20Index=5\n", 0, 0,
             "IMMediate", "POSitive"},
    };
    QTemporaryDir dir;
    int round = 0;
    for (const Case &k : cases) {
        SCOPED_TRACE(k.keys);
        const QString path = dir.filePath(QStringLiteral("old%1.ini").arg(round++));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("[Analyzer]\nType=0\n") + k.keys);  // Alder: T3V, both slopes
        file.close();
        StoredSettings stored = readStoredSettings(path);
        normaliseLoaded(stored);
        const AppSettings &s = stored.settings;
        EXPECT_EQ(s.triggerModeIndex, k.mode);
        EXPECT_EQ(s.triggerSlopeIndex, k.slope);
        const DeviceType &row = deviceType(s.deviceType);
        EXPECT_STREQ(row.triggerModeAt(s.triggerModeIndex).longForm, k.sentMode);
        EXPECT_STREQ(row.slopeAt(s.triggerSlopeIndex).longForm, k.sentSlope);
    }
}

// The words written beside the indices are the short forms of the stored row's lists.
TEST(TraceRulesTest, TheFileNamesTheTriggerChoiceInShortForm)
{
    QTemporaryDir dir;
    const QString path = settingsFilePath(dir.path());
    StoredSettings stored;
    stored.settings = on(DeviceId::Willow);
    chooseTriggerMode(stored.settings, deviceType(DeviceId::Willow), 3);
    chooseTriggerSlope(stored.settings, deviceType(DeviceId::Willow), 1);
    nameTriggerChoice(stored);
    ASSERT_TRUE(writeStoredSettings(path, stored));
    QSettings raw(path, QSettings::IniFormat);
    EXPECT_EQ(raw.value("Analyzer/Trigger Mode").toString(), "EXT3");
    EXPECT_EQ(raw.value("Analyzer/Trigger Slope").toString(), "NEG");
    EXPECT_EQ(raw.value("Analyzer/Trigger Mode Index").toInt(), 3);
}

// A trigger word given by name (trovik-cli's --set) chooses the item it names, in either
// form and any case; a word the row's list lacks changes nothing.
TEST(TraceRulesTest, ATriggerWordChoosesItsItemOfTheRowsList)
{
    const DeviceType &alder = deviceType(DeviceId::Alder);
    AppSettings s = on(DeviceId::Alder);
    EXPECT_TRUE(chooseTriggerModeWord(s, alder, "EXTernal"));
    EXPECT_EQ(s.triggerModeIndex, 1);
    EXPECT_TRUE(chooseTriggerModeWord(s, alder, " vid "));
    EXPECT_EQ(s.triggerModeIndex, 2);
    EXPECT_FALSE(chooseTriggerModeWord(s, alder, "IFP"));  // not Alder's
    EXPECT_EQ(s.triggerModeIndex, 2);
    EXPECT_TRUE(chooseTriggerSlopeWord(s, alder, "NEG"));
    EXPECT_EQ(s.triggerSlopeIndex, 1);
    const DeviceType &rowan = deviceType(DeviceId::Rowan);  // positive slope only
    EXPECT_FALSE(chooseTriggerSlopeWord(s, rowan, "NEGative"));
    EXPECT_EQ(s.triggerSlopeIndex, 1);
}
