#pragma once

#include "iqbuffer.h"

#include <QDateTime>

// Raw recording: two files of one base name.
//  - <name>.wvh, one line of text without a line end:
//    {TYPE:RAW16LE}{DATE:y-m-d;h:m:s}{COPYRIGHT:2009 Vantorp Recordia}{COMMENT:Trovik<16 blanks>}
//    {FWVERSION:4.10.04}{CLOCK:<Hz, 6 decimals>}{RESOLUTION:16}{SAMPLES:<n>}{COMPONENTS:IQ}
//    {REFLEVEL:<dBm, 3 decimals>}{FREQUENCY:<Hz, 1 decimal>}
//  - <name>.wvd (any extension), no header: per sample I then Q, signed 16-bit little-endian;
//    the count is the file size / 4.
// Written code: trunc(x / P x 32767 + 0.5), P the largest magnitude of the channel extremes
// (all-zero data gives zero codes). Read value: the two's complement code c / 32767, so loaded
// samples have a full scale of 1.0 (-32768 reads as slightly below -1).

// The header file beside a data file: same folder and base name (up to the last dot), ".wvh".
QString rawHeaderPath(const QString &dataPath);

// Takes CLOCK, REFLEVEL and FREQUENCY from header text; a key that is missing or not a
// number leaves its field as it was. The record knows its centre frequency when FREQUENCY
// was read.
void parseRawHeader(const QByteArray &text, IqBuffer &record);

// The header text for record.sampleCount samples, dated now.
QByteArray rawHeaderText(const IqBuffer &record, const QDateTime &now);

struct FrameCodec;
// Raw recordings as frames; the writer needs the record's extremes before the first frame.
const FrameCodec &rawFrameCodec();
