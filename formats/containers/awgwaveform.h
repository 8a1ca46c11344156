#pragma once

#include "iqbuffer.h"

// AWG 2000 waveform, one file per channel (load only). A 102-byte header, all numbers
// big-endian, of which this reader uses:
//   0  sample count, unsigned 32-bit
//   4  amplitude scale, 64-bit double
//   12..101 further header fields, not used
// then count unsigned 16-bit big-endian codes; value = code x scale / 4096 - 0.5.
// Both files must announce the same count (-5 otherwise), a scale that is not a finite number
// is a header that cannot be parsed (-5), and a header whose count the file cannot hold fails
// like a truncated file (-1 for the I file, -2 for the Q file) before anything is allocated.
constexpr int kAwgHeaderBytes = 102;

struct FrameCodec;
// Both files as frames (read only).
const FrameCodec &awgFrameCodec();
