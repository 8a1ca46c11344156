#pragma once

#include "iqbuffer.h"

// A reader that fails leaves nothing behind: both arrays released and no samples claimed.
inline IqStatus failRead(IqBuffer &record, IqStatus status)
{
    releaseSamples(record);
    record.sampleCount = 0;
    return status;
}
