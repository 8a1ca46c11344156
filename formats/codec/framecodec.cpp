#include "framecodec.h"

#include "adstimebinary.h"
#include "awgwaveform.h"
#include "filetypes.h"
#include "iqwformat.h"
#include "loomwavebinary.h"
#include "matformat.h"
#include "rawrecording.h"
#include "sigmf.h"
#include "spwbinary.h"
#include "tdswaveform.h"
#include "wavformat.h"
#include "wavpcm.h"
#include "wvformat.h"

// The one place a type code finds its streaming codec.
const FrameCodec *frameCodecFor(int typeCode)
{
    switch (typeCode) {
    case TypeCode::MatlabBinarySingle:
    case TypeCode::MatlabBinaryMixed: return &matFrameCodec();
    case TypeCode::SpwBinaryMixed: return &spwFrameCodec();
    case TypeCode::AdsBinarySingle: return &adsBinaryFrameCodec();
    case TypeCode::AdsBinaryTime: return &adsTimeFrameCodec();
    case TypeCode::WavSingle:
    case TypeCode::WavMixed: return &wavFrameCodec();
    case TypeCode::Loomwave: return &loomwaveFrameCodec();
    case TypeCode::RawRecording: return &rawFrameCodec();
    case TypeCode::Wv: return &wvFrameCodec();
    case TypeCode::Awg2000: return &awgFrameCodec();
    case TypeCode::Tds: return &scopeFrameCodec();
    case TypeCode::IqwPairs:
    case TypeCode::IqwBlocks: return &iqwFrameCodec();
    case TypeCode::Sigmf: return &sigmfFrameCodec();
    default: return nullptr;
    }
}

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
