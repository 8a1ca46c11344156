#pragma once

#include "outputfile.h"
#include "sampleconvert.h"

#include <algorithm>
#include <cstdint>

// Bulk sample output into an OutputFile is converted block by block inside the output buffer,
// kBlockItems items at a time.
namespace binaryoutput {

constexpr int64_t kBlockItems = int64_t(1) << 16;

// count floats, stride apart from x, as little-endian float32 at byte offset of out: one
// channel's piece at its place in a layout that keeps each channel in a block of its own.
inline void writeFloatsAt(OutputFile &out, int64_t offset, const float *x, std::ptrdiff_t stride,
                          int64_t count)
{
    if (!out.seek(offset))
        return;
    for (int64_t k = 0; k < count; k += kBlockItems) {
        const int64_t m = std::min(kBlockItems, count - k);
        auto *p = reinterpret_cast<unsigned char *>(out.reserve(size_t(m) * 4));
        sampleconvert::floatsToLeStrided(p, x + k * stride, stride, m);
        out.advance(size_t(m) * 4);
    }
}

}  // namespace binaryoutput
