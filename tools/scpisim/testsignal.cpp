#include "testsignal.h"

#include <cmath>
#include <cstring>

namespace scpisim {

TestSignal::TestSignal(BlockContent content)
    : table_(kTableBytes)
{
    if (content == BlockContent::Ramp) {
        for (size_t k = 0; k < kTableBytes; ++k)
            table_[k] = uint8_t(k);
        return;
    }
    const double pi = std::acos(-1.0);
    auto value = [pi](size_t n, bool q) {
        const double phase = 2.0 * pi * 37.0 * double(n % kPeriodPairs) / double(kPeriodPairs);
        return float(0.5 * (q ? std::sin(phase) : std::cos(phase)));
    };
    // x86-64 is little-endian like the wire format.
    if (content != BlockContent::Tone) {
        for (size_t n = 0; n < kTableBytes / 4; ++n) {
            const float v = value(n, content == BlockContent::ToneQ);
            std::memcpy(&table_[4 * n], &v, sizeof v);
        }
        return;
    }
    for (size_t n = 0; n < kTableBytes / 8; ++n) {
        const float iq[2] = {value(n, false), value(n, true)};
        std::memcpy(&table_[8 * n], iq, sizeof iq);
    }
}

const TestSignal &TestSignal::get(BlockContent content)
{
    static const TestSignal tone(BlockContent::Tone);
    static const TestSignal ramp(BlockContent::Ramp);
    static const TestSignal toneI(BlockContent::ToneI);
    static const TestSignal toneQ(BlockContent::ToneQ);
    switch (content) {
    case BlockContent::Ramp: return ramp;
    case BlockContent::ToneI: return toneI;
    case BlockContent::ToneQ: return toneQ;
    default: return tone;
    }
}

const uint8_t *TestSignal::at(uint64_t offset, size_t &count) const
{
    const size_t pos = size_t(offset % kTableBytes);
    if (count > kTableBytes - pos)
        count = kTableBytes - pos;
    return table_.data() + pos;
}

void TestSignal::copy(uint64_t offset, uint8_t *dst, size_t size) const
{
    while (size > 0) {
        size_t n = size;
        const uint8_t *src = at(offset, n);
        std::memcpy(dst, src, n);
        dst += n;
        offset += n;
        size -= n;
    }
}

}  // namespace scpisim
