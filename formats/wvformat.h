#pragma once

#include "iqbuffer.h"
#include "outputfile.h"

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

// Reads the header text from the start of the device: up to and including the first "#",
// or the second one when that text names an EMPTYTAG. -1 when no such "#" comes.
IqStatus readWvHeaderText(QIODevice &device, QByteArray &text);
// Parses header text: -6 for WWAVEFORM, -1 without a readable SAMPLES tag.
IqStatus parseWvHeader(const QByteArray &text, WvHeader &header);

// Sets sampleCount and sampleRate and leaves the device at the first sample; -1 when the
// file holds fewer samples than SAMPLES claims. The scans read all samples once (levels:
// iMin..qMax from 0.0; power: powerSum, peakMagnitude) and return to the first sample.
IqStatus readWvHeader(IqBuffer &record, QIODevice &device, bool scanLevels, bool scanPower);
IqStatus readWvSamples(IqBuffer &record, QIODevice &device, int64_t count, int64_t at = 0);

// The DATE tag's time (WV and raw recording): when the samples were captured, in local time
// as the tag is written, or the time of writing when the record does not know.
QDateTime headerDate(const IqBuffer &record);

// The header text for n samples; the first LEVEL OFFS value is 20 log10(peak / rms).

QByteArray wvHeaderText(int64_t count, double sampleRate, double peak, double rms,
                        const QDateTime &now);
// Writes the header for record.sampleCount samples and gives the factor 32767 / peak (0 when
// the peak is 0): peak and rms from the arrays with scan, else from peakMagnitude and powerSum.
IqStatus writeWvHeader(const IqBuffer &record, OutputFile &file, double &factor, bool scan);
void writeWvSamples(const IqBuffer &record, OutputFile &file, int64_t count, double factor,
                    int64_t from = 0);
void writeWvEnd(OutputFile &file);

IqStatus readWv(IqBuffer &record, int typeCode);
IqStatus readWvFrom(IqBuffer &record, QIODevice &device);
IqStatus writeWv(const IqBuffer &record, int typeCode, const QString &iFile, const QString &qFile);

struct FrameCodec;
// WV files as frames; the writer needs the record's peak and power before the first frame.
const FrameCodec &wvFrameCodec();
