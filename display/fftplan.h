#pragma once

#include "complexbuffer.h"

#include <cstddef>
#include <memory>

// The unscaled transform Y[k] = sum over n of x[n]·e^(+j·2π·k·n/N), in place, for one size N.
// Plans are made once per size and kept for the life of the process, so reopening a view
// of the same length skips the planner.
class FftPlan
{
public:
    // The plan for size n, or null when it cannot be made (n == 0 or out of memory).
    static std::shared_ptr<const FftPlan> forSize(size_t n) noexcept;

    size_t size() const noexcept { return m_size; }
    // buffer must hold size() elements and come from ComplexBuffer::allocate.
    void execute(const ComplexBuffer &buffer) const noexcept;

    ~FftPlan();
    FftPlan(const FftPlan &) = delete;
    FftPlan &operator=(const FftPlan &) = delete;

private:
    FftPlan(void *plan, size_t size)
        : m_plan(plan)
        , m_size(size)
    {}
    void *m_plan;  // fftw_plan, kept opaque so users need not see FFTW's header
    size_t m_size;
};
