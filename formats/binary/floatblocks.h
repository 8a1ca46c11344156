#pragma once

#include "binaryinput.h"
#include "iqbuffer.h"

// Reads n samples stored as n little-endian float32 I values followed by n Q values, from the
// input's position, into fresh arrays of the record, and sets its count. On any failure the
// record is left empty.
IqStatus readFloatBlocks(BinaryInput &in, IqBuffer &record, int64_t n);
