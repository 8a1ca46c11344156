#pragma once

#include "acquisitionprogress.h"

#include <QString>

#include <atomic>
#include <chrono>
#include <mutex>

// What a capture has reported so far, as one consistent copy.
struct ProgressSnapshot
{
    QString title;         // the step, e.g. "Reading IQ values..."
    bool waiting = false;  // the last report was a wait for the instrument
    int64_t msLeft = 0;    // of that wait, before it gives up
    bool counted = false;  // done and total are known (a transfer)
    uint64_t done = 0;     // samples of a read, bytes of a write
    uint64_t total = 0;
    uint64_t bytes = 0;    // moved in this step so far
    double seconds = 0.0;  // since the step began
    int percent = 0;
    bool writing = false;  // the step writes a file: done and total are bytes
};

// The line under the title: "Waiting for the instrument (timeout in 38 s)", or
// "1,200,000 of 50,000,000 samples, 212.4 MB/s, 3 s left"; empty when there is only a
// percentage to show.
QString progressText(const ProgressSnapshot &snapshot);

// Keeps what the capture reports so that another thread can show it: every report and
// snapshot() take one lock; cancel() and cancelled() are lock-free and may be called from
// anywhere, a signal handler included.
class ProgressTracker : public AcquisitionProgress
{
public:
    void begin(const QString &title) override;
    bool update(int percent) override;
    void end() override;
    void waiting(int64_t msLeft) override;
    bool transferred(uint64_t done, uint64_t total, uint64_t bytes) override;
    bool cancelled() const override { return stop.load(std::memory_order_relaxed); }

    void cancel() { stop.store(true, std::memory_order_relaxed); }
    ProgressSnapshot snapshot() const;
    // Changes with every report: a watcher redraws only when it moved.
    unsigned generation() const { return reports.load(std::memory_order_relaxed); }

protected:
    // Called after every report with the lock released (the CLI prints its line there).
    virtual void changed() {}

private:
    using Clock = std::chrono::steady_clock;

    mutable std::mutex lock;
    ProgressSnapshot state;
    Clock::time_point started = Clock::now();
    std::atomic<bool> stop{false};
    std::atomic<unsigned> reports{0};
};
