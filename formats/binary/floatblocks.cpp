#include "floatblocks.h"

#include "readfailure.h"
#include "sampleconvert.h"

IqStatus readFloatBlocks(BinaryInput &in, IqBuffer &record, int64_t n)
{
    if (const IqStatus s = allocateSamples(record, n); failed(s))
        return failRead(record, s);
    // Read straight into the arrays, then put the bytes in order where they need it.
    if (!in.readExact(record.iData.data(), 4 * n) || !in.readExact(record.qData.data(), 4 * n))
        return failRead(record, IqStatus::FirstFile);
    sampleconvert::floatsFromLeInPlace(record.iData.data(), n);
    sampleconvert::floatsFromLeInPlace(record.qData.data(), n);
    record.sampleCount = n;
    return IqStatus::Ok;
}
