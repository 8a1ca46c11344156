#pragma once

// ADS binary time-domain signal (code 27, load only, two files "*.bintim"): four text lines,
// then per point two little-endian 64-bit doubles, time then value. The second line, split at
// single blanks, holds the point count as its fourth field. The lines are read at most 99,
// 199, 99 and 199 bytes at a time. Only the values are kept; I from the first file, Q from
// the second, as many points as the shorter file announces.

struct FrameCodec;
// The values of both files as frames (read only).
const FrameCodec &adsTimeFrameCodec();
