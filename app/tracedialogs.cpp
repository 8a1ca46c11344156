#include "tracedialogs.h"

#include "analogiqdialog.h"
#include "digitaliqdialog.h"

void StandardTraceDialogs::editAnalogIq(QWidget *parent, AppSettings &settings)
{
    AnalogIqDialog dialog(&settings, parent);
    dialog.exec();
}

void StandardTraceDialogs::editDigitalIq(QWidget *parent, AppSettings &settings)
{
    DigitalIqDialog dialog(&settings, parent);
    dialog.exec();
}
