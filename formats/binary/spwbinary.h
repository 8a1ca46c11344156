#pragma once

#include <QByteArray>

#include <cstdint>

// SPW binary signal file (code 12, one file): a text header ending in "$DATA BINARY\n", then
// per sample I and Q as little-endian 64-bit doubles (16 bytes per sample).
// ADS binary single (code 28, two files): each file a header of the same style ending in
// "$DATA\n", then one double per sample; the I file holds I, the Q file Q.
// Header lines are read at most 99 bytes at a time. A line holding "= " whose left part
// contains "Sampling" gives the sample rate, one containing "Number o" the point count.
// The header the writer puts in front of the samples.
QByteArray spwBinaryHeader(double sampleRate, int64_t sampleCount);

struct FrameCodec;
// SPW binary (12) as frames, read and written; ADS binary single (28) read only.
const FrameCodec &spwFrameCodec();
const FrameCodec &adsBinaryFrameCodec();
