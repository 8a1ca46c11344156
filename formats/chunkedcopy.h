#pragma once

#include "iqbuffer.h"

#include <QString>

#include <functional>

// Converts a file of a load row that can be a copy source into the type of a save row that can
// be a copy target (RowAbility in filetypes.h), piece by piece, so files larger than memory can be
// converted. The source is source.iFileName, read by the type of the load-list row at
// source.typeIndex. The source is scanned once first (channel extremes for a WAV or raw target,
// power and peak for a WV target) because the target's header and scale must be known before its
// first sample. Afterwards source carries the source header's values, sampleCount the whole file's
// count, chunkCount and lastChunkSize, and its arrays hold the last chunk only (heldCount() says
// how many samples that is). Other types, or a failure anywhere, leave the target as it was
// (nothing is written) and the record without samples.
constexpr int64_t kDefaultChunkSamples = 262144000;

// Called after every block with the samples done and the total.
using CopyProgress = std::function<void(int64_t done, int64_t total)>;
// Asked after every block; true stops the copy, which then leaves the target as it was.
using CopyCancelled = std::function<bool()>;

IqStatus convertInChunks(IqBuffer &source, const QString &targetFile, int targetTypeCode,
                         int64_t chunkSamples = kDefaultChunkSamples,
                         const CopyProgress &progress = {}, const CopyCancelled &cancelled = {});
