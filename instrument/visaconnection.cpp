#include "visaconnection.h"

#include "visasession.h"

VisaConnection::~VisaConnection()
{
    close();
}

ViStatus VisaConnection::open()
{
    if (manager != 0)
        return VI_SUCCESS;
    ViSession opened = 0;
    const ViStatus status = viOpenDefaultRM(&opened);
    if (status >= VI_SUCCESS)
        manager = opened;
    return status;
}

void VisaConnection::close()
{
    dropInstrument();
    if (manager != 0)
        viClose(manager);
    manager = 0;
}

ViStatus VisaConnection::openInstrument(const QString &resourceString)
{
    dropInstrument();
    ViSession opened = 0;
    const ViStatus status = openSession(manager, resourceString, opened);
    if (status >= VI_SUCCESS)
        instrument = opened;
    return status;
}

void VisaConnection::dropInstrument()
{
    if (instrument != 0)
        viClose(instrument);
    instrument = 0;
}
