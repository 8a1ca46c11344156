#include "iqbuffer.h"

#include <algorithm>

int64_t IqBuffer::heldCount() const noexcept
{
    if (sampleCount <= 0 || iData.isNull() || qData.isNull())
        return 0;
    return std::min({sampleCount, iData.size(), qData.size()});
}

IqStatus allocateSamples(IqBuffer &r, int64_t count)
{
    // Let go of the old arrays first so a reload never needs old and new memory at once.
    releaseSamples(r);
    SampleArray i = SampleArray::allocate(count);
    if (i.isNull())
        return IqStatusCode::NoMemoryI;
    r.iData = i;
    SampleArray q = SampleArray::allocate(count);
    if (q.isNull())
        return IqStatusCode::NoMemoryQ;
    r.qData = q;
    return IqStatusCode::Ok;
}

void releaseSamples(IqBuffer &r)
{
    r.iData.reset();
    r.qData.reset();
}
