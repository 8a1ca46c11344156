#pragma once

#include "iqbuffer.h"

#include <QString>

#include <functional>

// Converts a file of a load row that can be a copy source into the type of a save row that can
// be a copy target (RowAbility in filetypes.h: every type whose streaming codec reads, or writes
// in pieces), piece by piece through the codecs, so files larger than memory can be converted:
// memory holds one chunk. The source is source.iFileName (and source.qFileName for a two-file
// type), read by the type of the load-list row at source.typeIndex. A scaled target (WAV, raw,
// WV) needs the extremes or the power of all samples before its first one: the source is then
// read once more first, and the record carries those figures afterwards. Afterwards source carries
// the source header's values, sampleCount the whole file's count, chunkCount and lastChunkSize, and
// its arrays hold the last chunk only (heldCount() says how many samples that is). Other types, or
// a failure anywhere, leave the target as it was (nothing is written) and the record without
// samples.
constexpr int64_t kDefaultChunkSamples = 262144000;

// Called after every block with the samples done and the total.
using CopyProgress = std::function<void(int64_t done, int64_t total)>;
// Asked after every block; true stops the copy, which then leaves the target as it was.
using CopyCancelled = std::function<bool()>;

IqStatus convertInChunks(IqBuffer &source, const QString &targetFile, const QString &targetQFile,
                         int targetTypeCode, int64_t chunkSamples = kDefaultChunkSamples,
                         const CopyProgress &progress = {}, const CopyCancelled &cancelled = {});
// The same with a two-file target's Q file named from targetFile by the save row's rule.
IqStatus convertInChunks(IqBuffer &source, const QString &targetFile, int targetTypeCode,
                         int64_t chunkSamples = kDefaultChunkSamples,
                         const CopyProgress &progress = {}, const CopyCancelled &cancelled = {});
