// The device table's properties, and the limits the options decide.
#include "acquisitionfamily.h"
#include "appsettings.h"
#include "devicetype.h"
#include "instrumentoptions.h"
#include "tracerules.h"

#include <QString>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A list label read as the number it shows: "1.5k" -> 1500, "120M" -> 1.2e8.
double labelValue(const char *text)
{
    QString t = QString::fromLatin1(text);
    double scale = 1.0;
    if (t.endsWith(QLatin1Char('k')))
        scale = 1e3;
    else if (t.endsWith(QLatin1Char('M')))
        scale = 1e6;
    if (scale != 1.0)
        t.chop(1);
    return t.toDouble() * scale;
}

bool asks(const DeviceType &row, InstrumentOption option)
{
    for (InstrumentOption asked : row.init.options)
        if (asked == option)
            return true;
    return false;
}

}  // namespace

TEST(DeviceTypeTest, EveryRowHasOrderedLimitsAndListsToChooseFrom)
{
    for (int i = 0; i < deviceTypeCount; ++i) {
        const DeviceType &row = deviceType(i);
        SCOPED_TRACE(row.name);
        EXPECT_GT(std::strlen(row.name), 0u);
        EXPECT_EQ(static_cast<int>(row.id), i);
        if (row.bandwidths.empty()) {
            EXPECT_GT(row.bandwidthLimits.min, 0.0);
            EXPECT_LT(row.bandwidthLimits.min, row.bandwidthLimits.max);
        }
        if (row.sampleRates.empty()) {
            EXPECT_GT(row.sampleRateLimits.min, 0.0);
            EXPECT_LT(row.sampleRateLimits.min, row.sampleRateLimits.max);
        }
        EXPECT_FALSE(row.triggerModes.empty());
        EXPECT_FALSE(row.slopes.empty());
        for (const FixedList<WordPair> *list : {&row.triggerModes, &row.slopes})
            for (const WordPair &w : *list)  // the short form is the long one's capitals
                EXPECT_TRUE(QString::fromLatin1(w.longForm).startsWith(w.shortForm)) << w.longForm;
        EXPECT_LE(row.preMin, row.preMax);
        EXPECT_LT(int64_t(row.preMax), int64_t(row.maxSamples));
        ASSERT_FALSE(row.inputs.empty());
        EXPECT_EQ(row.inputs[0].code, InputCode::rf);
        EXPECT_GT(row.maxSamples, 0u);
    }
}

// Every row is driven by one of the three families, and the facts a family reads agree.
TEST(DeviceTypeTest, EveryRowHasAFamilyAndItsFactsAgree)
{
    for (int i = 0; i < deviceTypeCount; ++i) {
        const DeviceType &row = deviceType(i);
        SCOPED_TRACE(row.name);
        const AcquisitionFamily *family = &familyOf(row);
        switch (row.family) {
        case DeviceFamily::Analyzer: EXPECT_EQ(family, &analyzerAcquisition()); break;
        case DeviceFamily::HandheldReceiver:
            EXPECT_EQ(family, &handheldReceiverAcquisition());
            break;
        case DeviceFamily::Oscilloscope: EXPECT_EQ(family, &oscilloscopeAcquisition()); break;
        }
        // An analyzer sends all I, then all Q, unless asked for pairs: what the sequence
        // expects is what it asks for.
        EXPECT_EQ(row.trace.asksForPairs, row.trace.layout == SampleLayout::Pairs);
        // Every option a limit or an input depends on is asked for at Init.
        const InitFacts &init = row.init;
        if (init.rateOption != InstrumentOption::None) {
            EXPECT_TRUE(asks(row, init.rateOption));
            EXPECT_TRUE(row.sampleRates.empty());
            EXPECT_GT(init.rateWithout, row.sampleRateLimits.min);
            EXPECT_LT(init.rateWithout, row.sampleRateLimits.max);
        }
        if (init.analogIqOption != InstrumentOption::None) {
            EXPECT_TRUE(asks(row, init.analogIqOption));
            EXPECT_TRUE(row.hasInput(InputCode::analogIq));
        }
        if (init.memory) {
            const OptionMemory &m = *init.memory;
            EXPECT_TRUE(asks(row, m.deepOption));
            EXPECT_TRUE(asks(row, m.wideOption));
            for (uint32_t count : {m.deep, m.deepFast, m.wideDeep, m.wideDeepFast}) {
                EXPECT_LE(m.withoutDeep, count);
                EXPECT_LE(count, row.maxSamples);
            }
        }
        EXPECT_EQ(row.trace.analogIqSettings, init.analogIqOption != InstrumentOption::None);
        // A bandwidth of the instrument's own cannot be chosen.
        if (row.panel.instrumentBandwidth > 0) {
            EXPECT_FALSE(row.panel.bandwidthAndSlopeEditable);
        }
        if (row.panel.wideRate > 0) {
            bool listed = false;
            for (const LabelledValue &v : row.bandwidths)
                listed = listed || v.value == row.panel.wideBandwidth;
            EXPECT_TRUE(listed);
            EXPECT_LT(row.panel.wideRate, row.sampleRateLimits.max);
        }
        if (row.panel.recordLength) {
            EXPECT_FALSE(row.panel.inputs);
        }
    }
}

TEST(DeviceTypeTest, ListLabelsNameTheirValues)
{
    for (int i = 0; i < deviceTypeCount; ++i) {
        const DeviceType &row = deviceType(i);
        SCOPED_TRACE(row.name);
        for (const LabelledValue &v : row.bandwidths)
            EXPECT_DOUBLE_EQ(labelValue(v.text), v.value) << v.text;
        for (const LabelledValue &v : row.sampleRates)
            EXPECT_DOUBLE_EQ(labelValue(v.text), v.value) << v.text;
    }
}

// A settings file without a type, and one with a type outside the table, agree.
TEST(DeviceTypeTest, ATypeOutsideTheTableIsTheDefaultRow)
{
    for (int bad : {-1, deviceTypeCount, 1000})
        EXPECT_EQ(&deviceType(bad), &deviceType(AppSettings().deviceType)) << bad;
}

TEST(InstrumentOptionsTest, RowanLimitsFollowItsOptions)
{
    const DeviceType &rowan = deviceType(DeviceId::Rowan);
    InstrumentOptions none;
    none.known = true;
    InstrumentOptions q53q54;
    q53q54.known = q53q54.q53 = q53q54.q54 = true;
    InstrumentOptions q54;
    q54.known = q54.q54 = true;
    EXPECT_EQ(sampleRateMax(rowan, none), 81.6e6);
    EXPECT_EQ(sampleRateMax(rowan, q53q54), 326.4e6);
    EXPECT_EQ(maxSamples(rowan, q53q54, 200e6), 503315968u);
    EXPECT_EQ(maxSamples(rowan, q53q54, 100e6), 503315968u);
    EXPECT_EQ(maxSamples(rowan, q53q54, 99.9e6), 704642560u);
    EXPECT_EQ(maxSamples(rowan, q54, 200e6), 1006632448u);
    EXPECT_EQ(maxSamples(rowan, q54, 10e6), 1409285632u);
    InstrumentOptions q53;
    q53.known = q53.q53 = true;
    EXPECT_EQ(maxSamples(rowan, q53, 200e6), 16776704u);
    EXPECT_EQ(maxSamples(rowan, none, 1e6), 16776704u);
}

// Walnut and Juniper reach their table's sample rate only with Q31. Once Init has asked, the
// panel's range knows it as Init does, so a rate typed afterwards cannot pass 45 MHz.
TEST(InstrumentOptionsTest, WalnutAndJuniperWithoutQ31StopAt45MHz)
{
    InstrumentOptions without;
    without.known = true;
    InstrumentOptions q31;
    q31.known = q31.q31 = true;
    for (DeviceId id : {DeviceId::Walnut, DeviceId::Juniper}) {
        const DeviceType &row = deviceType(id);
        EXPECT_EQ(sampleRateMax(row, InstrumentOptions()), 128e6);  // not asked yet
        EXPECT_EQ(sampleRateMax(row, without), 45e6);
        EXPECT_EQ(sampleRateMax(row, q31), 128e6);
        AppSettings s;
        s.deviceType = int(id);
        int64_t count = 0;
        TraceRules::setSampleRate(s, row, without, 100e6, count);
        EXPECT_EQ(s.sampleRate, 45e6);
        TraceRules::setSampleRate(s, row, q31, 100e6, count);
        EXPECT_EQ(s.sampleRate, 100e6);
    }
}

TEST(InstrumentOptionsTest, OtherRowsKeepTheirTableLimits)
{
    InstrumentOptions all{true, true, true, true, true};
    const DeviceType &yew = deviceType(DeviceId::Yew);
    EXPECT_EQ(sampleRateMax(yew, all), 326.4e6);
    EXPECT_EQ(maxSamples(yew, all, 200e6), 1409285632u);
    EXPECT_EQ(maxSamples(deviceType(DeviceId::Olive), all, 1e6), 130560u);
}

// The analog input needs the row to list it and Init to find Q31.
TEST(InstrumentOptionsTest, AnalogInputNeedsItsRowAndItsOption)
{
    InstrumentOptions q31;
    q31.q31 = true;
    EXPECT_TRUE(analogIqAvailable(deviceType(DeviceId::Rowan), q31));
    EXPECT_FALSE(analogIqAvailable(deviceType(DeviceId::Rowan), {}));
    EXPECT_FALSE(analogIqAvailable(deviceType(DeviceId::Walnut), q31));
    EXPECT_FALSE(analogIqAvailable(deviceType(DeviceId::Olive), q31));
}
