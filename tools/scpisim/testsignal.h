#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace scpisim {

enum class BlockContent { Tone, Ramp, ToneI, ToneQ };

// The bytes of the simulated I/Q data: a repeating table, so blocks of any length cost no
// memory and stream at memory speed.
//  Tone: little-endian float32 pairs I = 0.5 cos(2 pi 37 n / 1024), Q = 0.5 sin(...).
//  Ramp: byte k of the block is k mod 256 (every byte value, 0x00 and 0x0A included).
//  ToneI, ToneQ: the I values alone, then the Q values alone, of the same tone (instruments
//  that send all I values before all Q values).
class TestSignal
{
public:
    static constexpr size_t kPeriodPairs = 1024;
    static constexpr size_t kTableBytes = 1u << 20;

    static const TestSignal &get(BlockContent content);
    // A contiguous run of block bytes starting at offset; count is at most the bytes left
    // before the table wraps.
    const uint8_t *at(uint64_t offset, size_t &count) const;
    void copy(uint64_t offset, uint8_t *dst, size_t size) const;

private:
    explicit TestSignal(BlockContent content);
    std::vector<uint8_t> table_;
};

}  // namespace scpisim
