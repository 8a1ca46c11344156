#pragma once

#include "iqbuffer.h"

// Scope reference waveform (".wfm"), one file per channel (load only). From the published
// reference-waveform layout, the fields this reader needs (byte offsets from the file start):
//   0   byte-order mark, 16-bit: 0x0F0F little-endian file, 0xF0F0 big-endian file
//   2   version, 8 characters: ":WFM#001", or ":WFM#002" / ":WFM#003" (later versions)
//   11  bytes from offset 15 to the end of the file, 32-bit
//   15  bytes per point, 8-bit
//   16  offset of the curve buffer, 32-bit
//   166 vertical (explicit dimension 1) scale, double; 168 in later versions
//   174 vertical offset, double; 176 in later versions
// (the later versions insert a 2-byte summary-frame field at 154). The file ends with an
// 8-byte checksum, so the curve holds (bytes to end - curve offset + 7) / bytes per point
// points; value = code x scale + offset. Codes are signed integers of the bytes per point
// (1 or 2) in the file's byte order. A header that the file cannot hold, or whose curve
// runs past the end, fails like a truncated file (-1 for the I file, -2 for the Q file).
constexpr int kTdsHeaderBytes = 824;

struct FrameCodec;
// Both curves as frames (read only).
const FrameCodec &scopeFrameCodec();
