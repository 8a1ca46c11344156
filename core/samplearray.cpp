#include "samplearray.h"

#include <sys/mman.h>

#include <cstdlib>
#include <limits>
#include <new>

namespace {

// A fresh array is written once, front to back, right after allocation, so its first-touch
// page faults dominate a load from the page cache: on 2 MiB pages a 400 MB array takes a few
// hundred faults instead of about 100,000. Only the whole huge pages inside the array are
// advised; small arrays are left alone.
void adviseHugePages(float *data, size_t bytes)
{
#ifdef MADV_HUGEPAGE
    constexpr uintptr_t kHuge = uintptr_t(2) << 20;
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + kHuge - 1) & ~(kHuge - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(kHuge - 1);
    if (end > begin)
        madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

}  // namespace

SampleArray SampleArray::allocate(int64_t count) noexcept
{
    if (count < 0
        || static_cast<uint64_t>(count) > std::numeric_limits<size_t>::max() / sizeof(float))
        return SampleArray();
    // malloc(0) may return null; one float keeps "allocated but empty" distinct from "failed".
    const size_t bytes = count == 0 ? sizeof(float) : static_cast<size_t>(count) * sizeof(float);
    float *p = static_cast<float *>(std::malloc(bytes));
    if (!p)
        return SampleArray();
    adviseHugePages(p, bytes);
    return adopt(p, count);
}

SampleArray SampleArray::adopt(float *data, int64_t count) noexcept
{
    SampleArray a;
    if (!data || count < 0) {
        std::free(data);
        return a;
    }
    try {
        a.m_data = std::shared_ptr<float>(data, [](float *q) { std::free(q); });
    } catch (const std::bad_alloc &) {
        return a;  // the shared_ptr constructor has already freed data through the deleter
    }
    a.m_size = count;
    return a;
}
