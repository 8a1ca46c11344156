#pragma once

#include "framecodec.h"

// Writes count frames held in memory to iFile (and qFile) through the type's streaming writer:
// a scaled writer gets the summary of all frames first (one pass in frame order, as a save
// always took it), then the frames go in one write. facts gives the header's values. The
// destination is replaced only when the whole write succeeded.
IqStatus writeFramesFrom(const FrameCodec &codec, int typeCode, const QString &iFile,
                         const QString &qFile, const IqBuffer &facts, const ConstFrameSpan &frames,
                         int64_t count);
