#include "devicetype.h"

#include "appsettings.h"

#include <iterator>

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

const FixedList<LabelledValue> kNone{};
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

constexpr Limits kNoLimits = {0, 0};

using D = DeviceId;
constexpr DeviceFamily A = DeviceFamily::Analyzer;

const DeviceType kRows[] = {
    {D::Alder, A, "Alder", list(kB8M), kNoLimits, kNone, {40000, 32e6}, list(kT3V), list(kBoth),
     0, 0, kRf, 524200},
    {D::Olive, A, "Olive", list(kB4), kNoLimits, list(kS12), kNoLimits, list(kT4), list(kBoth),
     -130559, 130559, kRf, 130560},
    {D::Birch, A, "Birch", list(kB4), kNoLimits, list(kS12), kNoLimits, list(kT4), kPos,
     -16744447, 65023, kRf, 523776},
    {D::Pine, A, "Pine", kB7, kNoLimits, list(kS12), kNoLimits, kT3, list(kBoth), -523775,
     523775, kRf, 523776},
    {D::Cedar, A, "Cedar", list(kB4), kNoLimits, list(kS12), kNoLimits, list(kT4), list(kBoth),
     -130559, 130559, kRf, 130560},
    {D::Dogwood, A, "Dogwood", kB9, kNoLimits, list(kS12), kNoLimits, list(kT4), kPos,
     -16744447, 65023, kRf, 16776704},
    {D::Rowan, A, "Rowan", list(kB10), kNoLimits, kNone, {10000, 326.4e6}, list(kT4), kPos,
     -16776703, 65023, list(kRfAiqDiq), 1409285632u},
    {D::ElmFirGum, A, "Elm/Fir/Gum", kNone, {10, 1e7}, kNone, {10000, 65.83e6}, kT3, kPos,
     -16253439, 523775, kRf, 523776},
    {D::Spruce, A, "Spruce", kB9, kNoLimits, kNone, {10000, 81.6e6}, kT3, list(kBoth), -4193791,
     4193791, kRf, 4193792},
    {D::Teak, A, "Teak", kB9, kNoLimits, kNone, {10000, 81.6e6}, kT3, list(kBoth), -16776703,
     16776703, kRf, 16776704},
    {D::Hazel, A, "Hazel", kB7, kNoLimits, kNone, {100, 81.6e6}, kT3, list(kBoth), -16776703,
     16776703, kRf, 16776704},
    {D::Walnut, A, "Walnut", kNone, {100, 4e7}, kNone, {100, 128e6}, kT3, list(kBoth), 0,
     209715199, list(kRfDiq), 209715200},
    {D::Juniper, A, "Juniper", kNone, {100, 4e7}, kNone, {100, 128e6}, kT3, list(kBoth), 0,
     209715199, list(kRfDiq), 209715200},
    {D::Willow, A, "Willow", kNone, {100, 1e10}, kNone, {100, 1e10}, list(kT5), list(kBoth),
     -461373339, 461373339, list(kRfAiqDiq), 461373440},
    {D::KapokLarch, A, "Kapok/Larch", kNone, {100, 1e10}, kNone, {100, 1e10}, list(kT5),
     list(kBoth), -461373339, 461373339, kRf, 461373440},
    {D::Yew, A, "Yew", list(kB10), kNoLimits, kNone, {10000, 326.4e6}, list(kT4), kPos,
     -16776703, 65023, kRf, 1409285632u},
    {D::Maple, DeviceFamily::HandheldReceiver, "Maple", list(kBM), kNoLimits, list(kS640k),
     kNoLimits, kT1, kPos, 0, 0, kRf, 1073741824u},
    {D::Nutmeg, DeviceFamily::Oscilloscope, "Nutmeg", kNone, {100, 1e10}, kNone, {100, 1e10},
     list(kT5), list(kBoth), -461373339, 461373339, list(kRfAiqDiq), 461373440},
};
// clang-format on

static_assert(std::size(kRows) == deviceTypeCount, "the device table has 18 rows");

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
    return kRows[isDeviceTypeIndex(index) ? index : fallback];
}

const DeviceType &deviceType(DeviceId id)
{
    return deviceType(static_cast<int>(id));
}
