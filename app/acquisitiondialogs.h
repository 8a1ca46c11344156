#pragma once

#include "acquisitionprogress.h"

#include <QString>

class ProgressTracker;
class QWidget;

// What Init and Trace show in windows of their own: a warning (with the system beep) and
// the progress of a running Init or Trace with its Cancel button. The window talks only to
// this interface, so tests can script it.
class AcquisitionDialogs
{
public:
    virtual ~AcquisitionDialogs() = default;
    // detail: what happened, one fact per line, shown beneath the headline text.
    virtual void warning(QWidget *parent, const QString &title, const QString &text,
                         const QString &detail)
            = 0;
    // Shows at once what tracker holds, and keeps it current until the widget is deleted;
    // Cancel calls tracker.cancel(). The caller owns the widget; tracker outlives it.
    virtual QWidget *progress(QWidget *parent, const QString &title, ProgressTracker &tracker) = 0;
};

// QMessageBox after a beep, and a QProgressDialog that is not modal (the rest of the window
// stays usable) and reads the tracker ten times a second.
class StandardAcquisitionDialogs : public AcquisitionDialogs
{
public:
    void warning(QWidget *parent, const QString &title, const QString &text,
                 const QString &detail) override;
    QWidget *progress(QWidget *parent, const QString &title, ProgressTracker &tracker) override;
};
