#pragma once

#include "acquisitionprogress.h"
#include "acquisitionstatus.h"
#include "iqbuffer.h"
#include "visadefs.h"

#include <cstdint>
#include <functional>

// Reading an analyzer's I/Q data block: an IEEE 488.2 definite-length block ("#", the digit
// count n, n digits giving the length L in bytes, or "#(L)" for blocks of 1e9 bytes and
// more), then L bytes of little-endian float32, then one terminator byte. Exactly the L
// announced bytes are read, then the terminator: a raw socket has no END, so a read that
// asks for more would wait for the timeout.

// One read of the instrument: viRead's contract (a status, the bytes it delivered).
using ByteReader
        = std::function<ViStatus(unsigned char *buffer, ViUInt32 count, ViUInt32 &countRead)>;

enum class BlockLayout {
    Pairs,  // I0 Q0 I1 Q1 ...
    Split,  // I0 I1 ... then Q0 Q1 ...
};

// Pairs per read of a pair block: 3,000,000 (24 MB), or a twentieth of records of 125,000,000
// pairs and more.
uint64_t pairChunk(uint64_t sampleCount);

// Whether a record of sampleCount pairs comes with the "#(L)" header (8 x count >= 1e9).
bool hasParenthesisedHeader(uint64_t sampleCount);

// Reads the block header. A header that does not match the expected form, or a
// parenthesised one longer than the 100-byte header buffer, is BadBlock.
AcquisitionStatus readBlockHeader(const ByteReader &read, bool parenthesised, uint64_t &length);

// Reads the L = length body bytes and the terminator into the record's arrays, which must
// hold at least length / 8 samples; the record's sampleCount becomes length / 8. Every
// value is divided by levelScale, or copied bit for bit when levelScale is 1. Progress
// goes to progress; a cancel returns Cancelled. A body that ends early is a failure.
AcquisitionStatus readBlockBody(const ByteReader &read, uint64_t length, BlockLayout layout,
                                double levelScale, IqBuffer &record, AcquisitionProgress &progress);
