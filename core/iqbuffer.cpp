#include "iqbuffer.h"

#include "filefailure.h"

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
    // The reason only: the file is named by the reader's caller, which knows it.
    const auto noMemory = [count](IqStatus status, const char *array) {
        return failFile(status, QString(),
                        QStringLiteral("out of memory: no room for %1 samples of the %2 array")
                                .arg(count)
                                .arg(QLatin1String(array)));
    };
    SampleArray i = SampleArray::allocate(count);
    if (i.isNull())
        return noMemory(IqStatus::NoMemoryI, "I");
    r.iData = i;
    SampleArray q = SampleArray::allocate(count);
    if (q.isNull())
        return noMemory(IqStatus::NoMemoryQ, "Q");
    r.qData = q;
    return IqStatus::Ok;
}

void releaseSamples(IqBuffer &r)
{
    r.iData.reset();
    r.qData.reset();
}
