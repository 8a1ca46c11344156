#pragma once

#include "iqbuffer.h"

#include <QDateTime>
#include <QIODevice>

// WV waveform file: an ASCII tag header, then the samples inside the last tag.
//   {TYPE:Genova-WV,0}{COPYRIGHT:<year> Vantorp Genova} {DATE:y-m-d;h:m:s}
//   {LEVEL OFFS:<20 log10(peak/rms)>,<peak>}{SAMPLES:<n>} {CLOCK:<Hz, integer>}
//   {WAVEFORM-<4n+1>:#<n x (I, Q) signed 16-bit little-endian>}
// (one line in the file; blanks before {DATE and {CLOCK). Codes are trunc(x * 32767 / peak
// + 0.5), peak the largest magnitude sqrt(I^2 + Q^2); an all-zero record writes zero codes and
// LEVEL OFFS 0.000,0.000. A tag whose name begins with EMPTYTAG may stand before the waveform
// tag with a "#" of its own; the samples then follow the second "#". A waveform tag named
// WWAVEFORM marks an enciphered file, which is refused and never decoded. Samples load as
// the integer codes, unscaled.

struct WvHeader
{
    int64_t dataOffset = 0;  // first sample, just after the "#" ending the header
    uint64_t count = 0;      // SAMPLES
    double clock = 0.0;      // CLOCK, when present
    bool hasClock = false;
};

// The text after key (such as "CLOCK:") up to the next "}", blanks removed; null when the
// key or the closing brace is missing. Shared with the raw recording's header file.
QByteArray wvTagValue(const QByteArray &text, const char *key);

// Parses the header at the start of the device: Scrambled for WWAVEFORM, FirstFile without
// a "#" ending the header, without a readable SAMPLES tag, or when the file holds fewer samples
// than SAMPLES claims.
IqStatus parseWvHeader(QIODevice &device, WvHeader &header);

// The DATE tag's time (WV and raw recording): when the samples were captured, in local time
// as the tag is written, or the time of writing when the record does not know.
QDateTime headerDate(const IqBuffer &record);

// The header text for n samples; the first LEVEL OFFS value is 20 log10(peak / rms).
QByteArray wvHeaderText(int64_t count, double sampleRate, double peak, double rms,
                        const QDateTime &now);
struct FrameCodec;
// WV files as frames; the writer needs the record's peak and power before the first frame.
const FrameCodec &wvFrameCodec();
