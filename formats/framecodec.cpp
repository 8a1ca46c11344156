#include "framecodec.h"

#include "filetypes.h"
#include "iqwformat.h"
#include "sigmf.h"

// The one place a type code finds its streaming codec.
const FrameCodec *frameCodecFor(int typeCode)
{
    switch (typeCode) {
    case TypeCode::IqwPairs:
    case TypeCode::IqwBlocks: return &iqwFrameCodec();
    case TypeCode::Sigmf: return &sigmfFrameCodec();
    default: return nullptr;
    }
}

IqStatus checkFrameRange(int64_t first, int64_t count, int64_t total, const QString &path)
{
    if (first >= 0 && count >= 0 && first <= total && count <= total - first)
        return IqStatusCode::Ok;
    return failFile(IqStatusCode::FirstFile, path,
                    QStringLiteral("frames %1 to %2 asked for, the file holds %3")
                            .arg(first)
                            .arg(first + count)
                            .arg(total));
}

IqStatus checkFramesWritten(int64_t written, int64_t total, const QString &path)
{
    if (written == total)
        return IqStatusCode::Ok;
    return failFile(IqStatusCode::FirstFile, path,
                    QStringLiteral("%1 frames announced, %2 written").arg(total).arg(written));
}
