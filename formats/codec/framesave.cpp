#include "framesave.h"

IqStatus writeFramesFrom(const FrameCodec &codec, int typeCode, const QString &iFile,
                         const QString &qFile, const IqBuffer &facts, const ConstFrameSpan &frames,
                         int64_t count)
{
    IqStatus status = IqStatus::Ok;
    const auto writer = codec.openWriter(iFile, qFile, typeCode, status);
    if (!writer)
        return status;
    const bool summarised = writer->needsSummary();
    const FrameSummary summary = summarised ? summaryOf(frames, count) : FrameSummary{};
    if (const IqStatus s = writer->begin(facts, count, summarised ? &summary : nullptr); failed(s))
        return s;
    if (count > 0)
        if (const IqStatus s = writer->write(count, frames); failed(s))
            return s;
    return writer->finish();
}
