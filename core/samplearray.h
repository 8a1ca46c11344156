#pragma once

#include <cstdint>
#include <memory>

// A heap array of 32-bit float samples with shared ownership. Copying a SampleArray
// shares the same floats (never duplicates them), and the floats live until the last
// holder lets go, so a shallow copy of a record can never free or outlive them.
class SampleArray
{
public:
    SampleArray() = default;

    // Allocates count floats (contents undefined), on huge pages where the system offers
    // them. Returns an empty array when the memory cannot be had; never throws.
    static SampleArray allocate(int64_t count) noexcept;
    // Takes over data, which must come from malloc, calloc or realloc and hold at least count
    // floats; the array releases it with free. On failure (null data, a negative count, no
    // memory for the bookkeeping) data is freed at once and the array is empty; never throws.
    static SampleArray adopt(float *data, int64_t count) noexcept;
    // Reads count floats at data that someone else owns (a Python caller's array): owner is
    // kept alive for as long as any holder of the array lives, and nothing is freed by it.
    // Writers only read such an array, so a save needs no copy of the caller's samples.
    static SampleArray borrow(float *data, int64_t count, std::shared_ptr<void> owner) noexcept
    {
        SampleArray a;
        if (!data || count < 0)
            return a;
        a.m_data = std::shared_ptr<float>(std::move(owner), data);
        a.m_size = count;
        return a;
    }

    float *data() const noexcept { return m_data.get(); }
    int64_t size() const noexcept { return m_size; }
    bool isNull() const noexcept { return !m_data; }
    explicit operator bool() const noexcept { return static_cast<bool>(m_data); }
    float &operator[](int64_t i) const noexcept { return m_data.get()[i]; }
    // Whether another holder shares the floats (then they must not be overwritten).
    bool isShared() const noexcept { return m_data.use_count() > 1; }
    // Lowers the count the array reports (its memory stays until the last holder lets go):
    // an array filled only in part tells its readers no more than was filled.
    void truncate(int64_t count) noexcept
    {
        if (count >= 0 && count < m_size)
            m_size = count;
    }
    void reset() noexcept
    {
        m_data.reset();
        m_size = 0;
    }

private:
    std::shared_ptr<float> m_data;
    int64_t m_size = 0;
};
