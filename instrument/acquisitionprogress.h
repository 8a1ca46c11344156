#pragma once

#include <QString>

// What a data read tells whoever shows its progress (the window's progress dialog, the
// CLI's progress line), and how it learns that the user wants to stop. A read calls
// begin once, then update about a hundred times, then end; update returns false once the
// user has cancelled (a dialog processes its pending events there).
class AcquisitionProgress
{
public:
    virtual ~AcquisitionProgress() = default;
    virtual void begin(const QString &title) = 0;
    virtual bool update(int percent) = 0;
    virtual void end() = 0;
};

// Progress nobody watches; never cancelled.
class SilentProgress : public AcquisitionProgress
{
public:
    void begin(const QString &) override {}
    bool update(int) override { return true; }
    void end() override {}
};
