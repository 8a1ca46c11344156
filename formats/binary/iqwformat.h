#pragma once

// IQW files ("*.iqw"): no header, little-endian 32-bit floats, 8 bytes per sample; the count
// is the file size / 8 and a trailing partial sample is ignored.
//  - pairs (code 18): I0 Q0 I1 Q1 ...
//  - blocks (code 19): all I values, then all Q values.

struct FrameCodec;
// Both layouts as frames read at any position and written in pieces. The blocks layout needs
// the count before its first frame (the Q block starts at 4 × count) and a file it can seek in.
const FrameCodec &iqwFrameCodec();
