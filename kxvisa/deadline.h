#pragma once

#include <chrono>
#include <cstdint>

namespace kxvisa {

// One point in time by which an operation must finish; VI_TMO_INFINITE never expires.
class Deadline
{
public:
    using Clock = std::chrono::steady_clock;

    static Deadline fromTimeoutMs(uint32_t ms)
    {
        Deadline d;
        d.infinite_ = ms == 0xFFFFFFFFu;
        d.end_ = Clock::now() + std::chrono::milliseconds(ms);
        return d;
    }
    static Deadline never() { return fromTimeoutMs(0xFFFFFFFFu); }

    bool infinite() const { return infinite_; }
    bool expired() const { return !infinite_ && Clock::now() >= end_; }
    // Milliseconds left, rounded up, for poll(); -1 means wait without limit.
    int pollMs() const
    {
        if (infinite_)
            return -1;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(end_ - Clock::now()).count();
        return left <= 0 ? 0 : left > 0x7FFFFFFF ? 0x7FFFFFFF : int(left);
    }
    uint32_t remainingMs() const { return infinite_ ? 0xFFFFFFFFu : uint32_t(pollMs()); }
    Deadline extendedBy(std::chrono::milliseconds extra) const
    {
        Deadline d = *this;
        d.end_ += extra;
        return d;
    }

private:
    bool infinite_ = false;
    Clock::time_point end_;
};

}  // namespace kxvisa
