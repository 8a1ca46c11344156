#pragma once

#include <QByteArray>

#include <cstdint>

// Loomwave binary file (code 23, "*.ibn"): a header, then sampleCount I values, then
// sampleCount Q values, all little-endian 32-bit floats. The 40-byte header:
//   0  int32   header size (40)        16  double  sample rate
//   4  int32   sample count            24  int32   1
//   8  char[4] "VTP\0"                 28  int32   sample count
//  12  int32   reserved, written 0     32  double  sample rate
// A header size above 40 announces the 64-byte variant: its 24 extra bytes start with an
// int32 scramble flag, and a nonzero flag means the samples are enciphered (refused with -6).
// The reader takes the count from offset 4 and the rate from offset 32.
QByteArray loomwaveHeader(double sampleRate, int32_t sampleCount);

struct FrameCodec;
// Loomwave files as frames, read and written (the writer needs a file it can seek in).
const FrameCodec &loomwaveFrameCodec();
