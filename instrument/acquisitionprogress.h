#pragma once

#include <QString>

#include <cstdint>

// What a capture tells whoever shows its progress (the window's progress dialog, the CLI's
// progress line), and how it learns that the user wants to stop. A step calls begin once,
// then update or transferred as it goes, then end; update and transferred return false once
// the user has cancelled. The capture may run on a thread of its own: an implementation
// shown by the window keeps what it is told and lets the window read it (ProgressTracker).
class AcquisitionProgress
{
public:
    virtual ~AcquisitionProgress() = default;
    virtual void begin(const QString &title) = 0;
    virtual bool update(int percent) = 0;
    virtual void end() = 0;

    // The step waits for the instrument and gives up in msLeft milliseconds. Sliced waits
    // call it every slice while nothing arrives.
    virtual void waiting(int64_t msLeft) { (void)msLeft; }

    // How far a transfer is: done of total units (samples of a read, bytes of a file write)
    // and the bytes moved so far in this step.
    virtual bool transferred(uint64_t done, uint64_t total, uint64_t bytes)
    {
        (void)bytes;
        return update(total == 0 ? 100 : int(100 * done / total));
    }

    // Whether the user has asked to stop. Safe from any thread at any time: the sliced waits
    // poll it between their slices.
    virtual bool cancelled() const { return false; }
};

// Progress nobody watches; never cancelled.
class SilentProgress : public AcquisitionProgress
{
public:
    void begin(const QString &) override {}
    bool update(int) override { return true; }
    void end() override {}
};
