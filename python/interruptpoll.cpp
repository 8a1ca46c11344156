#include "interruptpoll.h"

namespace py = pybind11;

bool InterruptPoll::takePending()
{
    if (!PyErr_Occurred())
        return false;
    pending.emplace();  // fetches and clears the error indicator
    stop.store(true, std::memory_order_relaxed);
    return true;
}

bool InterruptPoll::poll()
{
    if (stopped())
        return true;
    const Clock::time_point now = Clock::now();
    if (now - last < interval)
        return false;
    last = now;
    py::gil_scoped_acquire gil;
    if (PyErr_CheckSignals() != 0)
        takePending();
    return stopped();
}

bool InterruptPoll::report(const py::object &callback, double fraction)
{
    if (stopped())
        return true;
    py::gil_scoped_acquire gil;
    if (callback && !callback.is_none()) {
        try {
            callback(fraction);
        } catch (py::error_already_set &error) {
            error.restore();
            takePending();
            return true;
        }
    }
    if (PyErr_CheckSignals() != 0)
        takePending();
    return stopped();
}

void InterruptPoll::rethrow()
{
    if (!pending)
        return;
    py::error_already_set error = std::move(*pending);
    pending.reset();
    throw error;
}
