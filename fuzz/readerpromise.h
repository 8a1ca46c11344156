#pragma once

// What every reader promises, checked after each fuzz input: it either succeeds with exactly
// the samples it claims, or leaves nothing behind. A broken promise aborts the run.
#include "iqbuffer.h"

#include <cstdlib>

inline void checkReaderPromise(const IqBuffer &r, IqStatus status)
{
    const bool ok = status == IqStatus::Ok
                            ? r.sampleCount >= 0 && r.heldCount() == r.sampleCount
                            : r.iData.isNull() && r.qData.isNull() && r.sampleCount == 0;
    if (!ok)
        std::abort();
}
