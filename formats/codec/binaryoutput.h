#pragma once

#include "outputfile.h"
#include "sampleconvert.h"

#include <algorithm>
#include <cstdint>

// Bulk sample output into an OutputFile is converted block by block inside the output buffer:
// this is the block's size in items.
namespace binaryoutput {

constexpr int64_t kBlockItems = int64_t(1) << 16;

}  // namespace binaryoutput
