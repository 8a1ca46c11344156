#include "framecodec.h"

#include "filetypes.h"
#include "wavpcm.h"

bool writesFrontToBack(int typeCode)
{
    switch (typeCode) {
    case TypeCode::SpwBinaryMixed:
    case TypeCode::WavMixed:
    case TypeCode::IqwPairs:
    case TypeCode::Wv: return true;
    default: return false;
    }
}

IqStatus checkFrameRange(int64_t first, int64_t count, int64_t total, const QString &path)
{
    if (first >= 0 && count >= 0 && first <= total && count <= total - first)
        return IqStatus::Ok;
    return failFile(IqStatus::FirstFile, path,
                    QStringLiteral("frames %1 to %2 asked for, the file holds %3")
                            .arg(first)
                            .arg(first + count)
                            .arg(total));
}

IqStatus checkFramesWritten(int64_t written, int64_t total, const QString &path)
{
    if (written == total)
        return IqStatus::Ok;
    return failFile(IqStatus::FirstFile, path,
                    QStringLiteral("%1 frames announced, %2 written").arg(total).arg(written));
}

FrameSummary summaryOf(const ConstFrameSpan &frames, int64_t count)
{
    PcmScanner scanner;
    scanner.add(frames.i, frames.q, count, frames.stride);
    const PcmScan s = scanner.result();
    return {count, s.iMin, s.iMax, s.qMin, s.qMax, s.powerSum, s.peak};
}
