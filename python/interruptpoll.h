#pragma once

#include <pybind11/pybind11.h>

#include <atomic>
#include <chrono>
#include <optional>

// Lets Ctrl-C reach a long operation that runs with the GIL released. Python's own SIGINT
// handler only notes the signal; poll(), called from the operation's progress or cancel
// callback on the calling thread, takes the GIL for a moment and runs the pending handlers
// (PyErr_CheckSignals). A KeyboardInterrupt (or an exception a progress callback raised) is
// kept and the operation is told to stop; rethrow() raises it once the operation has ended
// cleanly and the GIL is held again.
class InterruptPoll
{
public:
    // Runs the signal handlers at most every interval (the poll may come very often).
    explicit InterruptPoll(std::chrono::milliseconds interval = std::chrono::milliseconds(50))
        : interval(interval)
    {}

    // True once the operation should stop. Called without the GIL.
    bool poll();
    // Calls callback(fraction) with the GIL held, then polls the signals; true to stop.
    bool report(const pybind11::object &callback, double fraction);
    bool stopped() const { return stop.load(std::memory_order_relaxed); }
    // Raises what stopped the operation, if anything did. Needs the GIL.
    void rethrow();

private:
    // With the GIL held: keeps the pending Python error, if any, and stops.
    bool takePending();

    using Clock = std::chrono::steady_clock;
    std::chrono::milliseconds interval;
    Clock::time_point last{};
    std::atomic<bool> stop{false};
    std::optional<pybind11::error_already_set> pending;
};
