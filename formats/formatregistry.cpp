// The one place a type code finds its streaming codec: the only file of the formats' core
// that knows every family, so the families sit on the core and the core on none of them.
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
#include "wvformat.h"

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

