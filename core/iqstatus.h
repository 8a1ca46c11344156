#pragma once

#include <cstdint>

// Status of every reader, writer and record operation. Failures travel as these codes
// inside the core; the GUI and the CLI turn them into messages at their boundary.
using IqStatus = int32_t;

namespace IqStatusCode {
constexpr IqStatus Ok = 0;
constexpr IqStatus FirstFile
        = -1;  // first file cannot be opened/read/written, header ends early, join alloc failure
constexpr IqStatus SecondFile = -2;    // second (Q) file cannot be opened/read/written
constexpr IqStatus BadWavHeader = -4;  // not a WAV file that can be read
constexpr IqStatus BadAwgHeader = -5;  // AWG header cannot be parsed
constexpr IqStatus Scrambled = -6;     // enciphered file, not read
constexpr IqStatus NoMemoryI = -7;     // no memory for the I array
constexpr IqStatus NoMemoryQ = -8;     // no memory for the Q array
constexpr IqStatus Unsupported = -9;   // readable file, but a kind of data the record cannot hold

// Every code above: a new code goes here too, so the status table can be checked against it.
constexpr IqStatus all[] = {Ok,        FirstFile, SecondFile, BadWavHeader, BadAwgHeader,
                            Scrambled, NoMemoryI, NoMemoryQ,  Unsupported};
}  // namespace IqStatusCode

// A short English description of a status, for logs and the command-line tool (its row of
// the file status table).
const char *iqStatusText(IqStatus status);
