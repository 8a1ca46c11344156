// The device table row by row, and the option-dependent limits of Rowan.
#include "appsettings.h"
#include "devicetype.h"
#include "instrumentoptions.h"
#include "tracerules.h"

#include <QString>

#include <gtest/gtest.h>

#include <cmath>
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

struct Expected
{
    const char *name;
    int bandwidths;       // list length, 0 = free
    double bwMin, bwMax;  // of a free bandwidth
    int sampleRates;      // list length, 0 = free
    double srMin, srMax;  // of a free sample rate
    int triggers, slopes;
    int32_t preMin, preMax;
    std::vector<int32_t> inputCodes;
    uint32_t maxSamples;
};

const Expected kExpected[] = {
        {"Alder", 1, 0, 0, 0, 40000, 32e6, 3, 2, 0, 0, {0}, 524200},
        {"Olive", 4, 0, 0, 12, 0, 0, 4, 2, -130559, 130559, {0}, 130560},
        {"Birch", 4, 0, 0, 12, 0, 0, 4, 1, -16744447, 65023, {0}, 523776},
        {"Pine", 7, 0, 0, 12, 0, 0, 3, 2, -523775, 523775, {0}, 523776},
        {"Cedar", 4, 0, 0, 12, 0, 0, 4, 2, -130559, 130559, {0}, 130560},
        {"Dogwood", 9, 0, 0, 12, 0, 0, 4, 1, -16744447, 65023, {0}, 16776704},
        {"Rowan", 10, 0, 0, 0, 10000, 326.4e6, 4, 1, -16776703, 65023, {0, 1, 2}, 1409285632},
        {"Elm/Fir/Gum", 0, 10, 1e7, 0, 10000, 65.83e6, 3, 1, -16253439, 523775, {0}, 523776},
        {"Spruce", 9, 0, 0, 0, 10000, 81.6e6, 3, 2, -4193791, 4193791, {0}, 4193792},
        {"Teak", 9, 0, 0, 0, 10000, 81.6e6, 3, 2, -16776703, 16776703, {0}, 16776704},
        {"Hazel", 7, 0, 0, 0, 100, 81.6e6, 3, 2, -16776703, 16776703, {0}, 16776704},
        {"Walnut", 0, 100, 4e7, 0, 100, 128e6, 3, 2, 0, 209715199, {0, 2}, 209715200},
        {"Juniper", 0, 100, 4e7, 0, 100, 128e6, 3, 2, 0, 209715199, {0, 2}, 209715200},
        {"Willow", 0, 100, 1e10, 0, 100, 1e10, 5, 2, -461373339, 461373339, {0, 1, 2}, 461373440},
        {"Kapok/Larch", 0, 100, 1e10, 0, 100, 1e10, 5, 2, -461373339, 461373339, {0}, 461373440},
        {"Yew", 10, 0, 0, 0, 10000, 326.4e6, 4, 1, -16776703, 65023, {0}, 1409285632},
        {"Maple", 16, 0, 0, 1, 0, 0, 1, 1, 0, 0, {0}, 1073741824},
        {"Nutmeg", 0, 100, 1e10, 0, 100, 1e10, 5, 2, -461373339, 461373339, {0, 1, 2}, 461373440},
};

}  // namespace

TEST(DeviceTypeTest, EveryRowHasItsLimitsListsAndInputs)
{
    ASSERT_EQ(std::size(kExpected), size_t(deviceTypeCount));
    for (int i = 0; i < deviceTypeCount; ++i) {
        const DeviceType &row = deviceType(i);
        const Expected &e = kExpected[i];
        SCOPED_TRACE(e.name);
        EXPECT_STREQ(row.name, e.name);
        EXPECT_EQ(static_cast<int>(row.id), i);
        EXPECT_EQ(row.bandwidths.count, e.bandwidths);
        if (e.bandwidths == 0) {
            EXPECT_EQ(row.bandwidthLimits.min, e.bwMin);
            EXPECT_EQ(row.bandwidthLimits.max, e.bwMax);
        }
        EXPECT_EQ(row.sampleRates.count, e.sampleRates);
        if (e.sampleRates == 0) {
            EXPECT_EQ(row.sampleRateLimits.min, e.srMin);
            EXPECT_EQ(row.sampleRateLimits.max, e.srMax);
        }
        EXPECT_EQ(row.triggerModes.count, e.triggers);
        EXPECT_EQ(row.slopes.count, e.slopes);
        EXPECT_EQ(row.preMin, e.preMin);
        EXPECT_EQ(row.preMax, e.preMax);
        std::vector<int32_t> codes;
        for (const InputEntry &input : row.inputs)
            codes.push_back(input.code);
        EXPECT_EQ(codes, e.inputCodes);
        EXPECT_EQ(row.maxSamples, e.maxSamples);
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
    const DeviceType &olive = deviceType(DeviceId::Olive);
    for (int k = 0; k < 12; ++k)
        EXPECT_EQ(olive.sampleRates[k].value, 15625.0 * std::pow(2.0, k));
    EXPECT_STREQ(deviceType(DeviceId::Alder).bandwidths[0].text, "8M");
    EXPECT_STREQ(deviceType(DeviceId::Maple).sampleRates[0].text, "640k");
    EXPECT_STREQ(deviceType(DeviceId::Maple).bandwidths[15].text, "500k");
    EXPECT_STREQ(deviceType(DeviceId::Rowan).bandwidths[9].text, "120M");
    EXPECT_STREQ(deviceType(DeviceId::Teak).bandwidths[8].text, "50M");
}

TEST(DeviceTypeTest, TriggerAndSlopeWords)
{
    auto words = [](const FixedList<WordPair> &list) {
        QString out;
        for (const WordPair &w : list)
            out += QStringLiteral("%1/%2 ").arg(QLatin1String(w.longForm),
                                                QLatin1String(w.shortForm));
        return out.trimmed();
    };
    EXPECT_EQ(words(deviceType(DeviceId::Alder).triggerModes),
              QStringLiteral("IMMediate/IMM EXTernal/EXT VIDeo/VID"));
    EXPECT_EQ(words(deviceType(DeviceId::Olive).triggerModes),
              QStringLiteral("IMMediate/IMM EXTernal/EXT IFPower/IFP RFPower/RFP"));
    EXPECT_EQ(words(deviceType(DeviceId::Pine).triggerModes),
              QStringLiteral("IMMediate/IMM EXTernal/EXT IFPower/IFP"));
    EXPECT_EQ(words(deviceType(DeviceId::Willow).triggerModes),
              QStringLiteral("IMMediate/IMM EXTernal/EXT EXT2/EXT2 EXT3/EXT3 IFPower/IFP"));
    EXPECT_EQ(words(deviceType(DeviceId::Maple).triggerModes), QStringLiteral("IMMediate/IMM"));
    EXPECT_EQ(words(deviceType(DeviceId::Olive).slopes),
              QStringLiteral("POSitive/POS NEGative/NEG"));
    EXPECT_EQ(words(deviceType(DeviceId::Rowan).slopes), QStringLiteral("POSitive/POS"));
}

TEST(DeviceTypeTest, FamiliesAndTheDefaultRow)
{
    for (int i = 0; i < deviceTypeCount; ++i)
        EXPECT_EQ(isAnalyzerRow(deviceType(i)), i <= 15) << i;
    EXPECT_EQ(deviceType(DeviceId::Maple).family, DeviceFamily::HandheldReceiver);
    EXPECT_TRUE(isOscilloscopeRow(deviceType(DeviceId::Nutmeg)));
    EXPECT_TRUE(usesRecordLength(deviceType(DeviceId::Alder)));
    EXPECT_FALSE(usesRecordLength(deviceType(DeviceId::Olive)));
    // A settings file without a type, and one with a type outside the table, agree.
    for (int bad : {-1, 18, 1000})
        EXPECT_EQ(&deviceType(bad), &deviceType(AppSettings().deviceType)) << bad;
    EXPECT_EQ(deviceType(DeviceId::Walnut).inputIndex(InputCode::digitalIq), 1);
    EXPECT_EQ(deviceType(DeviceId::Walnut).inputIndex(InputCode::analogIq), -1);
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

TEST(InstrumentOptionsTest, InputGates)
{
    InstrumentOptions q31;
    q31.q31 = true;
    EXPECT_TRUE(analogIqAvailable(deviceType(DeviceId::Rowan), q31));
    EXPECT_FALSE(analogIqAvailable(deviceType(DeviceId::Rowan), {}));
    EXPECT_FALSE(analogIqAvailable(deviceType(DeviceId::Walnut), q31));
    EXPECT_FALSE(analogIqAvailable(deviceType(DeviceId::Olive), q31));
    for (int i = 0; i < deviceTypeCount; ++i) {
        const DeviceId id = deviceType(i).id;
        const bool lists = id == DeviceId::Rowan || id == DeviceId::Walnut
                           || id == DeviceId::Juniper || id == DeviceId::Willow
                           || id == DeviceId::Nutmeg;
        EXPECT_EQ(digitalIqAvailable(deviceType(i)), lists) << i;
    }
}
