#pragma once

#include "appsettings.h"

class QWidget;

// The dialogs the Trace tab opens. The panel talks only to this interface, so tests can
// script what the user does in them.
class TraceDialogs
{
public:
    virtual ~TraceDialogs() = default;
    // Modal; edits settings in place.
    virtual void editAnalogIq(QWidget *parent, AppSettings &settings) = 0;
    virtual void editDigitalIq(QWidget *parent, AppSettings &settings) = 0;
};

// The real dialogs: AnalogIqDialog and DigitalIqDialog, run with exec().
class StandardTraceDialogs : public TraceDialogs
{
public:
    void editAnalogIq(QWidget *parent, AppSettings &settings) override;
    void editDigitalIq(QWidget *parent, AppSettings &settings) override;
};
