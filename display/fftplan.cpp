#include "fftplan.h"

#include <fftw3.h>

#include <climits>
#include <map>
#include <mutex>
#include <new>

namespace {

std::recursive_mutex &plannerMutex()
{
    static std::recursive_mutex
            m;  // FFTW's planner is not reentrant; a plan freed while planning re-enters
    return m;
}

std::map<size_t, std::shared_ptr<const FftPlan>> &planCache()
{
    static std::map<size_t, std::shared_ptr<const FftPlan>> cache;
    return cache;
}

}  // namespace

std::shared_ptr<const FftPlan> FftPlan::forSize(size_t n) noexcept
{
    if (n == 0 || n > static_cast<size_t>(INT_MAX))
        return nullptr;
    std::lock_guard<std::recursive_mutex> lock(plannerMutex());
    try {
        auto &cache = planCache();
        auto found = cache.find(n);
        if (found != cache.end())
            return found->second;
        // A plan made on an aligned scratch buffer runs on any other buffer of the same
        // alignment; FFTW_ESTIMATE leaves the buffer untouched and plans in microseconds.
        ComplexBuffer scratch = ComplexBuffer::allocate(n);
        if (scratch.isNull())
            return nullptr;
        auto *io = reinterpret_cast<fftw_complex *>(scratch.data());
        fftw_plan p = fftw_plan_dft_1d(static_cast<int>(n), io, io, FFTW_BACKWARD, FFTW_ESTIMATE);
        if (!p)
            return nullptr;
        std::shared_ptr<const FftPlan> plan(new (std::nothrow) FftPlan(p, n));
        if (!plan) {
            fftw_destroy_plan(p);
            return nullptr;
        }
        cache.emplace(n, plan);
        return plan;
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

void FftPlan::execute(const ComplexBuffer &buffer) const noexcept
{
    auto *io = reinterpret_cast<fftw_complex *>(buffer.data());
    fftw_execute_dft(static_cast<fftw_plan>(m_plan), io, io);
}

FftPlan::~FftPlan()
{
    std::lock_guard<std::recursive_mutex> lock(plannerMutex());
    fftw_destroy_plan(static_cast<fftw_plan>(m_plan));
}
