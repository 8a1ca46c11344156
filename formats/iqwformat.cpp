#include "iqwformat.h"

#include "binaryinput.h"
#include "binaryoutput.h"
#include "floatblocks.h"
#include "readfailure.h"

IqStatus readIqwPairs(IqBuffer &record, int)
{
    BinaryInput in(record.iFileName);
    if (!in.isOpen())
        return failRead(record, IqStatusCode::FirstFile);
    const int64_t n = in.size() / 8;
    if (const IqStatus s = allocateSamples(record, n); s != IqStatusCode::Ok)
        return failRead(record, s);
    float *i = record.iData.data();
    float *q = record.qData.data();
    if (!in.readItems(n, 8, [i, q](const unsigned char *block, int64_t first, int64_t m) {
            sampleconvert::splitPairs<float>(i + first, q + first, block, m);
        }))
        return failRead(record, IqStatusCode::FirstFile);
    record.sampleCount = n;
    return IqStatusCode::Ok;
}

IqStatus readIqwBlocks(IqBuffer &record, int)
{
    BinaryInput in(record.iFileName);
    if (!in.isOpen())
        return failRead(record, IqStatusCode::FirstFile);
    return readFloatBlocks(in, record, in.size() / 8);
}

IqStatus writeIqwPairs(const IqBuffer &record, int, const QString &iFile, const QString &)
{
    OutputFile out(iFile);
    if (!out.isOpen())
        return IqStatusCode::FirstFile;
    binaryoutput::writePairs<float>(out, record.iData.data(), record.qData.data(),
                                    record.heldCount());
    return out.commit() ? IqStatusCode::Ok : IqStatusCode::FirstFile;
}

IqStatus writeIqwBlocks(const IqBuffer &record, int, const QString &iFile, const QString &)
{
    const int64_t n = record.heldCount();
    OutputFile out(iFile);
    if (!out.isOpen())
        return IqStatusCode::FirstFile;
    binaryoutput::writeFloats(out, record.iData.data(), n);
    binaryoutput::writeFloats(out, record.qData.data(), n);
    return out.commit() ? IqStatusCode::Ok : IqStatusCode::FirstFile;
}
