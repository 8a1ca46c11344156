#pragma once

#include "framecodec.h"

#include <QByteArray>

// The MAT files a save writes, laid out here rather than by a library so that they stream:
// a level-5 file whose variables are class single, real, uncompressed 1 × n row vectors.
//   file:     116 bytes of text ("MATLAB 5.0 MAT-file, Created by: Trovik", a zero byte, then
//             blanks), 8 blanks (no subsystem data), version 0x0100 and "IM", little-endian;
//   variable: a matrix element (type 14) of 48 + the data padded to 8 bytes, holding the array
//             flags (class single), the dimensions 1 and n, the name as a small element, and
//             the data element (type 7, 4 × n bytes) padded with zeros to a multiple of 8.
// Other tools tell level-5 files from level-4 ones by the text: a file starting with a zero
// byte reads as level 4.
QByteArray matFileHeader();
QByteArray matVariableHeader(char name, int64_t n);
// The bytes of a variable of n samples, its headers and padding included.
int64_t matVariableBytes(int64_t n);

// Code 3: the variables "I" then "Q" in one file (the Q variable's place follows from the
// count, so both are filled side by side in a file that seeks). Code 2: "I" in the I file and
// "Q" in the Q file, each front to back; neither replaces its destination until both are
// complete.
std::unique_ptr<FrameWriter> openMatWriter(const QString &iFile, const QString &qFile,
                                           int typeCode, IqStatus &status);
