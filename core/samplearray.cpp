#include "samplearray.h"

#include <cstdlib>
#include <limits>
#include <new>

SampleArray SampleArray::allocate(int64_t count) noexcept
{
    SampleArray a;
    if (count < 0 || static_cast<uint64_t>(count) > std::numeric_limits<size_t>::max() / sizeof(float))
        return a;
    // malloc(0) may return null; one float keeps "allocated but empty" distinct from "failed".
    const size_t bytes = count == 0 ? sizeof(float) : static_cast<size_t>(count) * sizeof(float);
    float *p = static_cast<float *>(std::malloc(bytes));
    if (!p)
        return a;
    try {
        a.m_data = std::shared_ptr<float>(p, [](float *q) { std::free(q); });
    } catch (const std::bad_alloc &) {
        return a;  // the shared_ptr constructor has already freed p through the deleter
    }
    a.m_size = count;
    return a;
}
