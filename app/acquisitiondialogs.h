#pragma once

#include "acquisitionprogress.h"

#include <QString>

#include <memory>

class QWidget;

// What Init and Trace show in windows of their own: a warning (with the system beep) and
// the window-modal progress of a data read with its Cancel button. The window talks only to
// this interface, so tests can script it.
class AcquisitionDialogs
{
public:
    virtual ~AcquisitionDialogs() = default;
    virtual void warning(QWidget *parent, const QString &title, const QString &text) = 0;
    virtual std::unique_ptr<AcquisitionProgress> progress(QWidget *parent) = 0;
};

// QMessageBox after a beep, and a QProgressDialog (0 to 100, window-modal) that processes
// pending events at every update so it repaints and its Cancel button works.
class StandardAcquisitionDialogs : public AcquisitionDialogs
{
public:
    void warning(QWidget *parent, const QString &title, const QString &text) override;
    std::unique_ptr<AcquisitionProgress> progress(QWidget *parent) override;
};
