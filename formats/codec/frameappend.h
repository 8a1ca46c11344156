#pragma once

#include "framecodec.h"

// Appends added behind the frames of the existing file(s) iFile / qFile of a streaming type,
// through the type's writer: the existing frames pass from the file into the writer a piece at
// a time, then the guard (the last g added frames, g clamped to 0..added's count), then all
// added frames. The file is never held whole; it is replaced only when the whole write
// succeeded. facts gives the header's values. A scaled writer gets the summary of all joined
// frames first, in the order one pass over the joined record takes. total: the frames written.
IqStatus appendFrames(const FrameCodec &codec, int typeCode, const QString &iFile,
                      const QString &qFile, const IqBuffer &facts, const IqBuffer &added,
                      int32_t guardCount, int64_t &total);
