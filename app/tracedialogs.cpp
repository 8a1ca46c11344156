#include "tracedialogs.h"

#include "aiq.h"
#include "diq.h"

void StandardTraceDialogs::editAnalogIq(QWidget *parent, AppSettings &settings)
{
    Aiq dialog(&settings, parent);
    dialog.exec();
}

void StandardTraceDialogs::editDigitalIq(QWidget *parent, AppSettings &settings)
{
    Diq dialog(&settings, parent);
    dialog.exec();
}
