#pragma once

#include <cstdint>

// Status of every reader, writer and record operation. Failures travel as these outcomes
// inside the core; the GUI and the CLI turn them into messages at their boundary. The numbers
// are part of what users see ("(status -4: ...)", FileError.status), so they never change.
enum class IqStatus : int32_t {
    Ok = 0,
    FirstFile = -1,     // first file cannot be opened/read/written, header ends early
    SecondFile = -2,    // second (Q) file cannot be opened/read/written
    BadWavHeader = -4,  // not a WAV file that can be read
    BadAwgHeader = -5,  // AWG header cannot be parsed
    Scrambled = -6,     // enciphered file, not read
    NoMemoryI = -7,     // no memory for the I array
    NoMemoryQ = -8,     // no memory for the Q array
    Unsupported = -9,   // readable file, but a kind of data the record cannot hold
    Cancelled = -10,    // the user stopped the operation
    OutOfMemory = -11,  // an append's join or a record's arrays found no memory
};

// Every outcome above: a new one goes here too, so the status table can be checked against it.
constexpr IqStatus kAllIqStatuses[] = {
        IqStatus::Ok,           IqStatus::FirstFile, IqStatus::SecondFile, IqStatus::BadWavHeader,
        IqStatus::BadAwgHeader, IqStatus::Scrambled, IqStatus::NoMemoryI,  IqStatus::NoMemoryQ,
        IqStatus::Unsupported,  IqStatus::Cancelled, IqStatus::OutOfMemory};

constexpr bool ok(IqStatus status)
{
    return status == IqStatus::Ok;
}
constexpr bool failed(IqStatus status)
{
    return status != IqStatus::Ok;
}
// The number users see for a status.
constexpr int32_t statusCode(IqStatus status)
{
    return static_cast<int32_t>(status);
}

// A short English description of a status, for logs and the command-line tool (its row of
// the file status table).
const char *iqStatusText(IqStatus status);
