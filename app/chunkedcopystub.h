#pragma once
// Stand-in until the chunked conversion is built; removed when it lands.
#include "iqbuffer.h"

#include <QString>

#include <functional>

constexpr int64_t kDefaultChunkSamples = 262144000;
using CopyProgress = std::function<void(int64_t done, int64_t total)>;
using CopyCancelled = std::function<bool()>;

inline bool chunkedCopySupports(int typeCode)
{
    return typeCode == 15 || typeCode == 24 || typeCode == 25;
}

inline IqStatus convertInChunks(IqBuffer &, const QString &, int, int64_t = kDefaultChunkSamples,
                                const CopyProgress & = {}, const CopyCancelled & = {})
{
    return IqStatusCode::FirstFile;
}
