#pragma once

// MATLAB level-5 MAT files.
//  - code 3 (one file): two variables, "I" then "Q".
//  - code 2 (two files): the I file holds the variable "I", the Q file the variable "Q".
// Written in pieces (matwriter.h): class single, 1 × sampleCount row vectors, real,
// uncompressed, with the usual "MATLAB 5.0 MAT-file" header text.
// Read through matio: the first variable of each source, whatever its name, shape or real numeric class
// (double, single, integers), converted to float; as many samples as the shorter holds.
// Complex and non-numeric variables are refused with -1 (first) / -2 (second).
struct FrameCodec;
// Both MAT types as frames: read in slabs, written in pieces.
const FrameCodec &matFrameCodec();
