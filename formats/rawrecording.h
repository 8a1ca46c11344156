#pragma once

#include "iqbuffer.h"
#include "outputfile.h"

#include <QDateTime>
#include <QFile>

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

// Reads the header file of dataFile, opens dataFile when it is not yet open and sets
// sampleCount; leaves the data file at the first sample. The scans read all samples once
// (levels: iMin..qMax from 0.0; power: powerSum, peakMagnitude of the loaded values) and
// return to the first sample.
IqStatus readRawHeader(IqBuffer &record, QFile &dataFile, bool scanLevels, bool scanPower);
IqStatus readRawHeaderFrom(IqBuffer &record, const QByteArray &headerText, QIODevice &data,
                           bool scanLevels, bool scanPower);
IqStatus readRawSamples(IqBuffer &record, QIODevice &data, int64_t count, int64_t at = 0);

QByteArray rawHeaderText(const IqBuffer &record, const QDateTime &now);
// Writes the header text for record.sampleCount samples and gives the sample factor 32767 / P:
// P from the arrays with scan, from the record's iMin..qMax otherwise.
IqStatus writeRawHeader(const IqBuffer &record, OutputFile &headerFile, double &factor, bool scan);
void writeRawSamples(const IqBuffer &record, OutputFile &dataFile, int64_t count, double factor,
                     int64_t from = 0);

IqStatus readRawRecording(IqBuffer &record, int typeCode);
IqStatus writeRawRecording(const IqBuffer &record, int typeCode, const QString &iFile,
                           const QString &qFile);

struct FrameCodec;
// Raw recordings as frames; the writer needs the record's extremes before the first frame.
const FrameCodec &rawFrameCodec();
