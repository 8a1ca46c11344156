#pragma once

#include "iqbuffer.h"
#include "textlines.h"

#include <QString>

// Readers and writers of the plain-text I/Q formats. Readers and writers have the shapes of
// FormatReader and FormatWriter (wholefile.h); the parse functions do the readers' work on text
// already in memory.

// Shared text formats, codes 0, 1, 4-11, 13, 16 (write and read), 26, 29 (read only).
IqStatus readTextIq(IqBuffer &record, int typeCode);
IqStatus writeTextIq(const IqBuffer &record, int typeCode, const QString &iFile,
                     const QString &qFile);
// qText is null for the one-file layout (I, blank, Q on each line).
IqStatus parseTextIq(IqBuffer &record, int typeCode, TextSpan iText, const TextSpan *qText);

// DAB symbol file, code 17.
IqStatus readDabSymbols(IqBuffer &record, int typeCode);
IqStatus writeDabSymbols(const IqBuffer &record, int typeCode, const QString &file,
                         const QString &unused);
IqStatus parseDabSymbols(IqBuffer &record, TextSpan text);

// Hexadecimal integer codes, 16-bit (20), 10-bit (21) and 17-bit (22). Reading gives values at
// full scale 1.0, not the volts that were written.
IqStatus readHex(IqBuffer &record, int typeCode);
IqStatus writeHex(const IqBuffer &record, int typeCode, const QString &file, const QString &unused);
IqStatus parseHex(IqBuffer &record, int typeCode, TextSpan text);
// The code of x for the type, scaled so that the magnitude fullScale is the largest code.
uint32_t hexCode(int typeCode, float x, double fullScale);
float hexValue(int typeCode, uint32_t code);

// "ASCII mixed no LF", code 32 (read only): one run of blank-separated numbers I0 Q0 I1 Q1 ...
IqStatus readAsciiNoLineFeed(IqBuffer &record, int typeCode);
IqStatus parseAsciiNoLineFeed(IqBuffer &record, TextSpan text);
