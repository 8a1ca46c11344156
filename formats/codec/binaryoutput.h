#pragma once

#include "outputfile.h"
#include "sampleconvert.h"

#include <algorithm>
#include <cstdint>

// Bulk sample output into an OutputFile: straight from the arrays where the file's byte order
// is the host's, otherwise converted block by block inside the output buffer.
namespace binaryoutput {

constexpr int64_t kBlockItems = int64_t(1) << 16;

inline void writeFloats(OutputFile &out, const float *data, int64_t n)
{
    if (n <= 0)
        return;
    if constexpr (sampleconvert::kHostLittle) {
        out.write(data, size_t(n) * sizeof(float));
    } else {
        for (int64_t k = 0; k < n; k += kBlockItems) {
            const int64_t m = std::min(kBlockItems, n - k);
            unsigned char *p = reinterpret_cast<unsigned char *>(out.reserve(size_t(m) * 4));
            for (int64_t j = 0; j < m; ++j)
                sampleconvert::storeLe<float>(p + 4 * j, data[k + j]);
            out.advance(size_t(m) * 4);
        }
    }
}

// n samples as interleaved pairs of T (I then Q).
template<typename T>
void writePairs(OutputFile &out, const float *i, const float *q, int64_t n)
{
    for (int64_t k = 0; k < n; k += kBlockItems) {
        const int64_t m = std::min(kBlockItems, n - k);
        const size_t bytes = size_t(m) * 2 * sizeof(T);
        unsigned char *p = reinterpret_cast<unsigned char *>(out.reserve(bytes));
        sampleconvert::joinPairs<T>(p, i + k, q + k, m);
        out.advance(bytes);
    }
}

}  // namespace binaryoutput
