#pragma once

#include "textlines.h"

#include <QByteArray>
#include <QDateTime>
#include <QStringList>

#include <cstdint>

// Headers, trailers and data markers of the header-carrying text types.
namespace textheader {

// DaDisp header: signal 'i' or 'q' gives the one-signal header of that file, 0 the two-signal
// header of the one-file type. The interval is 1 / sampleRate.
QByteArray dadisp(char signal, const QDateTime &stamp, double sampleRate);
// SPW 3.0 header; type code 11 says "Real_Imag", 10 and 13 say "Double".
QByteArray spw(int typeCode, double sampleRate, int64_t sampleCount);
// "length_of_symbol:N\ncarriers:192\n"
QByteArray dab(int64_t sampleCount);

// What the shared text writer puts before and after the data of a file of the type; signal
// names the file ('i', 'q', or 0 for the one file).
QByteArray forType(int typeCode, char signal, const QDateTime &stamp, double sampleRate,
                   int64_t sampleCount);
const char *trailerFor(int typeCode);

}  // namespace textheader

// The data lines of a file of the type: for the types with a header (6, 7, 10, 11, 13, 26)
// everything up to and including the first marker line ("$DATA", "$DATA ASCII", "DATA",
// "% t v") is dropped, and a last line "END" too. A file without any marker line is all data.
TextSpan stripTextHeader(int typeCode, TextSpan text);
// The point count a header of the SPW and ADS ASCII types announces ("Number of Points = N"
// before the marker line), or -1 when the type or the file announces none.
int64_t announcedPointCount(int typeCode, TextSpan text);
void stripTextHeader(int typeCode, QStringList &lines);
