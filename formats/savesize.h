#pragma once

#include "iqbuffer.h"

#include <cstdint>

// The bytes a save of source to the files and row of target will write, for a progress
// that shows a percentage: two trial saves of the record's first samples (2048 and 4096)
// into a private folder give the bytes per sample and the fixed part, with no table of
// formats to keep in step with the writers. 0 when a trial fails or the record is too small
// to need it.
uint64_t estimateSaveBytes(const IqBuffer &source, const IqBuffer &target);
