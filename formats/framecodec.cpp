#include "framecodec.h"

const FrameCodec *frameCodecFor(int)
{
    return nullptr;  // no type streams through this interface yet
}
