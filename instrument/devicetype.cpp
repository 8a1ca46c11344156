#include "devicetype.h"

#include "appsettings.h"

#include <array>

namespace {

template<typename T, int N>
constexpr FixedList<T> list(const T (&items)[N])
{
    return {items, N};
}

template<typename T, int N>
constexpr FixedList<T> firstOf(const T (&items)[N], int count)
{
    static_cast<void>(N);
    return {items, count};
}

// The lists and the table read row by row: kept as laid out by hand.
// clang-format off
// Bandwidth lists: B4 is its own; B7, B9 and B10 are the first 7, 9 and 10 entries of one.
const LabelledValue kB4[] = {{"300k", 3e5}, {"1M", 1e6}, {"3M", 3e6}, {"10M", 1e7}};
const LabelledValue kB10[] = {{"300k", 3e5}, {"500k", 5e5}, {"1M", 1e6},  {"2M", 2e6},
                              {"3M", 3e6},   {"5M", 5e6},   {"10M", 1e7}, {"20M", 2e7},
                              {"50M", 5e7},  {"120M", 1.2e8}};
const LabelledValue kBM[] = {{"150", 150},       {"300", 300},       {"600", 600},
                             {"1.5k", 1500},     {"2.4k", 2400},     {"6k", 6000},
                             {"9k", 9000},       {"12k", 12000},     {"15k", 15000},
                             {"30k", 30000},     {"50k", 50000},     {"120k", 120000},
                             {"150k", 150000},   {"250k", 250000},   {"300k", 300000},
                             {"500k", 500000}};
const LabelledValue kB8M[] = {{"8M", 8e6}};
// 15625 * 2^k Hz for k = 0 ... 11.
const LabelledValue kS12[] = {{"15.625k", 15625}, {"31.25k", 31250}, {"62.5k", 62500},
                              {"125k", 125000},   {"250k", 250000},  {"500k", 500000},
                              {"1M", 1e6},        {"2M", 2e6},       {"4M", 4e6},
                              {"8M", 8e6},        {"16M", 16e6},     {"32M", 32e6}};
const LabelledValue kS640k[] = {{"640k", 640000}};

const FixedList<LabelledValue> kB7 = firstOf(kB10, 7);
const FixedList<LabelledValue> kB9 = firstOf(kB10, 9);

const WordPair kT3V[] = {{"IMMediate", "IMM"}, {"EXTernal", "EXT"}, {"VIDeo", "VID"}};
const WordPair kT4[] = {{"IMMediate", "IMM"}, {"EXTernal", "EXT"}, {"IFPower", "IFP"},
                        {"RFPower", "RFP"}};
const WordPair kT5[] = {{"IMMediate", "IMM"}, {"EXTernal", "EXT"}, {"EXT2", "EXT2"},
                        {"EXT3", "EXT3"},     {"IFPower", "IFP"}};
const FixedList<WordPair> kT3 = {kT4, 3};
const FixedList<WordPair> kT1 = {kT4, 1};

const WordPair kBoth[] = {{"POSitive", "POS"}, {"NEGative", "NEG"}};
const FixedList<WordPair> kPos = {kBoth, 1};

const InputEntry kRfAiqDiq[] = {{"RF", InputCode::rf}, {"AIQ", InputCode::analogIq},
                                {"DIQ", InputCode::digitalIq}};
const InputEntry kRfDiq[] = {{"RF", InputCode::rf}, {"DIQ", InputCode::digitalIq}};
const FixedList<InputEntry> kRf = {kRfAiqDiq, 1};

// clang-format on

using D = DeviceId;
using Option = InstrumentOption;

const InstrumentOption kRowanOptions[] = {Option::Q31, Option::Q53, Option::Q54, Option::Q90};
const InstrumentOption kWalnutOptions[] = {Option::Q31, Option::Q52};

// Rowan reaches kRowanRateWithQ53 only with Q53; above the rate it has without, it needs its
// widest bandwidth.
constexpr double kRowanRateWithQ53 = 326.4e6;
constexpr double kRowanRateWithoutQ53 = 81.6e6;
constexpr double kRowanWidestBandwidth = 1.2e8;
constexpr double kWalnutRateWithoutQ31 = 45e6;
// The free bandwidth these rows show is the instrument's own, not a setting of ours.
constexpr double kInstrumentBandwidth = 300000.0;
constexpr double kElmFirGumLevelScale = 0.18867924528301888;  // 1 / 5.3

// Q54 deepens the memory, Q53 leaves less of it, and so does a rate of 100 MHz or more.
const OptionMemory *rowanMemory()
{
    static const OptionMemory memory = [] {
        OptionMemory m;
        m.deepOption = Option::Q54;
        m.wideOption = Option::Q53;
        m.fastRate = 100e6;
        m.withoutDeep = 16776704u;
        m.deep = 1409285632u;
        m.deepFast = 1006632448u;
        m.wideDeep = 704642560u;
        m.wideDeepFast = 503315968u;
        return m;
    }();
    return &memory;
}

DeviceType row(DeviceId id, const char *name, DeviceFamily family = DeviceFamily::Analyzer)
{
    DeviceType r;
    r.id = id;
    r.name = name;
    r.family = family;
    return r;
}

// The rows that ask for pairs get them; every other analyzer sends all I, then all Q.
void asksForPairs(DeviceType &r)
{
    r.trace.asksForPairs = true;
    r.trace.layout = SampleLayout::Pairs;
}

// The test receivers with baseband inputs: channel 1, levels only for RF, digital I/Q.
void basebandReceiver(DeviceType &r)
{
    r.trace.selectsChannel = true;
    r.trace.basebandInputs = true;
    r.trace.digitalIqSettings = true;
    asksForPairs(r);
}

// The rows with a record length and a bandwidth of the instrument's own.
void instrumentBandwidth(DeviceType &r)
{
    r.panel.inputs = false;
    r.panel.bandwidthAndSlopeEditable = false;
    r.panel.instrumentBandwidth = kInstrumentBandwidth;
}

DeviceType alder()
{
    DeviceType r = row(D::Alder, "Alder");
    r.bandwidths = list(kB8M);
    r.sampleRateLimits = {40000, 32e6};
    r.triggerModes = list(kT3V);
    r.slopes = list(kBoth);
    r.inputs = kRf;
    r.maxSamples = 524200;
    r.init.required = Option::Q52;
    r.trace.sendsMillivolts = true;
    r.panel.recordLength = true;
    instrumentBandwidth(r);
    return r;
}

// Olive and Cedar share every fact but the name.
DeviceType oliveLike(DeviceId id, const char *name)
{
    DeviceType r = row(id, name);
    r.bandwidths = list(kB4);
    r.sampleRates = list(kS12);
    r.triggerModes = list(kT4);
    r.slopes = list(kBoth);
    r.preMin = -130559;
    r.preMax = 130559;
    r.inputs = kRf;
    r.maxSamples = 130560;
    return r;
}

DeviceType olive()
{
    DeviceType r = oliveLike(D::Olive, "Olive");
    asksForPairs(r);
    return r;
}

DeviceType cedar()
{
    DeviceType r = oliveLike(D::Cedar, "Cedar");
    r.init.queries = InitQueries::SpectrumModeInDbm;
    return r;
}

// Birch and Dogwood: the spectrum mode in dBm at Init, positive slope, long pre-trigger.
DeviceType birchLike(DeviceId id, const char *name, FixedList<LabelledValue> bandwidths,
                     uint32_t maxSamples)
{
    DeviceType r = row(id, name);
    r.bandwidths = bandwidths;
    r.sampleRates = list(kS12);
    r.triggerModes = list(kT4);
    r.slopes = kPos;
    r.preMin = -16744447;
    r.preMax = 65023;
    r.inputs = kRf;
    r.maxSamples = maxSamples;
    r.init.queries = InitQueries::SpectrumModeInDbm;
    return r;
}

DeviceType pine()
{
    DeviceType r = row(D::Pine, "Pine");
    r.bandwidths = kB7;
    r.sampleRates = list(kS12);
    r.triggerModes = kT3;
    r.slopes = list(kBoth);
    r.preMin = -523775;
    r.preMax = 523775;
    r.inputs = kRf;
    r.maxSamples = 523776;
    asksForPairs(r);
    return r;
}

// Rowan and Yew share their lists and limits; Rowan's options and inputs are its own.
DeviceType rowanLike(DeviceId id, const char *name)
{
    DeviceType r = row(id, name);
    r.bandwidths = list(kB10);
    r.sampleRateLimits = {10000, kRowanRateWithQ53};
    r.triggerModes = list(kT4);
    r.slopes = kPos;
    r.preMin = -16776703;
    r.preMax = 65023;
    r.inputs = kRf;
    r.maxSamples = 1409285632u;
    return r;
}

DeviceType rowan()
{
    DeviceType r = rowanLike(D::Rowan, "Rowan");
    r.inputs = list(kRfAiqDiq);
    r.init.options = list(kRowanOptions);
    r.init.rateOption = Option::Q53;
    r.init.rateWithout = kRowanRateWithoutQ53;
    r.init.memory = rowanMemory();
    r.init.analogIqOption = Option::Q31;
    basebandReceiver(r);
    r.trace.inputSelection = InputSelection::ByWord;
    r.trace.analogIqSettings = true;
    r.panel.wideRate = kRowanRateWithoutQ53;
    r.panel.wideBandwidth = kRowanWidestBandwidth;
    return r;
}

DeviceType elmFirGum()
{
    DeviceType r = row(D::ElmFirGum, "Elm/Fir/Gum");
    r.bandwidthLimits = {10, 1e7};
    r.sampleRateLimits = {10000, 65.83e6};
    r.triggerModes = kT3;
    r.slopes = kPos;
    r.preMin = -16253439;
    r.preMax = 523775;
    r.inputs = kRf;
    r.maxSamples = 523776;
    r.init.queries = InitQueries::Bandwidth;
    r.trace.selectsChannel = true;
    r.trace.fixedLevelScale = kElmFirGumLevelScale;
    r.panel.average = true;
    instrumentBandwidth(r);
    return r;
}

// Spruce, Teak and Hazel: B9 or B7, free rates up to 81.6 MHz, both slopes, pairs.
DeviceType spruceLike(DeviceId id, const char *name, FixedList<LabelledValue> bandwidths,
                      double rateMin, int32_t pre, uint32_t maxSamples)
{
    DeviceType r = row(id, name);
    r.bandwidths = bandwidths;
    r.sampleRateLimits = {rateMin, 81.6e6};
    r.triggerModes = kT3;
    r.slopes = list(kBoth);
    r.preMin = -pre;
    r.preMax = pre;
    r.inputs = kRf;
    r.maxSamples = maxSamples;
    asksForPairs(r);
    return r;
}

DeviceType spruce()
{
    DeviceType r = spruceLike(D::Spruce, "Spruce", kB9, 10000, 4193791, 4193792);
    r.trace.digitalIqSettings = true;
    return r;
}

DeviceType teak()
{
    DeviceType r = spruceLike(D::Teak, "Teak", kB9, 10000, 16776703, 16776704);
    r.init.queries = InitQueries::SpectrumModeInDbm;
    return r;
}

// Walnut and Juniper share every fact but the name.
DeviceType walnutLike(DeviceId id, const char *name)
{
    DeviceType r = row(id, name);
    r.bandwidthLimits = {100, 4e7};
    r.sampleRateLimits = {100, 128e6};
    r.triggerModes = kT3;
    r.slopes = list(kBoth);
    r.preMin = 0;
    r.preMax = 209715199;
    r.inputs = list(kRfDiq);
    r.maxSamples = 209715200;
    r.init.queries = InitQueries::Bandwidth;
    r.init.options = list(kWalnutOptions);
    r.init.rateOption = Option::Q31;
    r.init.rateWithout = kWalnutRateWithoutQ31;
    basebandReceiver(r);
    r.trace.digitalIqInstrument = true;
    return r;
}

// Willow, Kapok/Larch and the oscilloscope: free numbers up to 10 GHz, T5, deep memory.
DeviceType willowLike(DeviceId id, const char *name, FixedList<InputEntry> inputs,
                      DeviceFamily family = DeviceFamily::Analyzer)
{
    DeviceType r = row(id, name, family);
    r.bandwidthLimits = {100, 1e10};
    r.sampleRateLimits = {100, 1e10};
    r.triggerModes = list(kT5);
    r.slopes = list(kBoth);
    r.preMin = -461373339;
    r.preMax = 461373339;
    r.inputs = inputs;
    r.maxSamples = 461373440;
    return r;
}

DeviceType willow()
{
    DeviceType r = willowLike(D::Willow, "Willow", list(kRfAiqDiq));
    basebandReceiver(r);
    r.trace.inputSelection = InputSelection::ByWord;
    r.trace.digitalIqInstrument = true;
    return r;
}

DeviceType kapokLarch()
{
    DeviceType r = willowLike(D::KapokLarch, "Kapok/Larch", kRf);
    basebandReceiver(r);
    r.trace.inputSelection = InputSelection::ByType;
    return r;
}

DeviceType maple()
{
    DeviceType r = row(D::Maple, "Maple", DeviceFamily::HandheldReceiver);
    r.bandwidths = list(kBM);
    r.sampleRates = list(kS640k);
    r.triggerModes = kT1;
    r.slopes = kPos;
    r.inputs = kRf;
    r.maxSamples = 1073741824u;
    r.panel.triggerEditable = false;
    return r;
}

// Built on first use: other files' static objects may ask for a row before this file's are.
const std::array<DeviceType, deviceTypeCount> &rows()
{
    static const std::array<DeviceType, deviceTypeCount> table = {
            alder(),
            olive(),
            birchLike(D::Birch, "Birch", list(kB4), 523776),
            pine(),
            cedar(),
            birchLike(D::Dogwood, "Dogwood", kB9, 16776704),
            rowan(),
            elmFirGum(),
            spruce(),
            teak(),
            spruceLike(D::Hazel, "Hazel", kB7, 100, 16776703, 16776704),
            walnutLike(D::Walnut, "Walnut"),
            walnutLike(D::Juniper, "Juniper"),
            willow(),
            kapokLarch(),
            rowanLike(D::Yew, "Yew"),
            maple(),
            willowLike(D::Nutmeg, "Nutmeg", list(kRfAiqDiq), DeviceFamily::Oscilloscope),
    };
    return table;
}

}  // namespace

bool DeviceType::hasInput(int32_t code) const
{
    return inputIndex(code) >= 0;
}

int DeviceType::inputIndex(int32_t code) const
{
    for (int i = 0; i < inputs.count; ++i)
        if (inputs[i].code == code)
            return i;
    return -1;
}

const WordPair &DeviceType::triggerModeAt(int index) const
{
    return triggerModes[triggerModes.contains(index) ? index : 0];
}

const WordPair &DeviceType::slopeAt(int index) const
{
    return slopes[slopes.contains(index) ? index : 0];
}

bool isDeviceTypeIndex(int index)
{
    return index >= 0 && index < deviceTypeCount;
}

const DeviceType &deviceType(int index)
{
    static const int fallback = AppSettings().deviceType;
    return rows()[isDeviceTypeIndex(index) ? index : fallback];
}

const DeviceType &deviceType(DeviceId id)
{
    return deviceType(static_cast<int>(id));
}
