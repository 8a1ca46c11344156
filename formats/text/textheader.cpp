#include "textheader.h"
#include "filetypes.h"

#include "numbertext.h"

#include <cstdint>
#include <string_view>

namespace {

bool hasHeader(int typeCode)
{
    switch (typeCode) {
    case TypeCode::DadispSingle:
    case TypeCode::DadispMixed:
    case TypeCode::SpwAsciiSingle:
    case TypeCode::SpwAsciiMixed:
    case TypeCode::AdsAsciiSingle:
    case TypeCode::AdsAsciiTime: return true;
    default: return false;
    }
}

const char *const kMarkers[] = {"$DATA", "$DATA ASCII", "DATA", "% t v"};

bool isMarker(TextSpan line)
{
    for (const char *marker : kMarkers)
        if (line.equals(marker))
            return true;
    return false;
}

QByteArray g6(double value)
{
    char buffer[numbertext::kMaxNumberChars];
    return QByteArray(buffer, int(numbertext::putG6(buffer, value) - buffer));
}

}  // namespace

namespace textheader {

QByteArray dadisp(char signal, const QDateTime &stamp, double sampleRate)
{
    QByteArray h;
    if (signal == 0) {
        h = "DATASET i_q\nVERSION NEXT\nNUM SIGS 2\nSTORAGE MODE INTERLACED\nSIGNAL i, q\nDATE ";
    } else {
        const QByteArray s(1, signal);
        h = "DATASET " + s + "\nVERSION NEXT\nNUM SIGS 1\nSTORAGE MODE INTERLACED\nSIGNAL " + s
            + "\nDATE ";
    }
    h += stamp.toString(QStringLiteral("yyyy-MM-dd")).toLatin1();
    h += "\nTIME ";
    h += stamp.toString(QStringLiteral("hh:mm:ss")).toLatin1();
    // The two-signal header has a blank before INTERVAL; readers of these files expect it.
    h += signal == 0 ? "\n INTERVAL " : "\nINTERVAL ";
    h += g6(1.0 / sampleRate);
    h += "\nVERT_UNITS volt\nHORZ_UNITS sec\nCOMMENT\nDATA\n";
    return h;
}

QByteArray spw(int typeCode, double sampleRate, int64_t sampleCount)
{
    QByteArray h = "$SIGNAL_FILE 9\n$USER_COMMENT\n\n$COMMON_INFO\nSPW Version 3.0\n\n"
                   "Sampling Frequency = ";
    h += g6(sampleRate);
    h += "\nStarting Time = 0.0\n$DATA_INFO\nNumber of Points = ";
    h += QByteArray::number(qlonglong(sampleCount));
    h += typeCode == TypeCode::SpwAsciiMixed ? "\nSignal Type = Real_Imag\n$DATA\n"
                                             : "\nSignal Type = Double\n$DATA\n";
    return h;
}

QByteArray dab(int64_t sampleCount)
{
    return "length_of_symbol:" + QByteArray::number(qlonglong(sampleCount)) + "\ncarriers:192\n";
}

QByteArray forType(int typeCode, char signal, const QDateTime &stamp, double sampleRate,
                   int64_t sampleCount)
{
    switch (typeCode) {
    case TypeCode::DadispSingle:
    case TypeCode::DadispMixed: return dadisp(signal, stamp, sampleRate);
    case TypeCode::SpwAsciiSingle:
    case TypeCode::SpwAsciiMixed:
    case TypeCode::AdsAsciiSingle: return spw(typeCode, sampleRate, sampleCount);
    default: return QByteArray();
    }
}

const char *trailerFor(int typeCode)
{
    return typeCode == TypeCode::SpwAsciiSingle || typeCode == TypeCode::SpwAsciiMixed
                           || typeCode == TypeCode::AdsAsciiSingle
                   ? "END\n"
                   : "";
}

}  // namespace textheader

TextSpan stripTextHeader(int typeCode, TextSpan text)
{
    if (!hasHeader(typeCode))
        return text;
    TextSpan rest = text;
    TextSpan line;
    while (textlines::next(rest, line)) {
        if (isMarker(line)) {
            text = rest;
            break;
        }
    }
    if (text.empty())
        return text;
    // The last line starts after the line feed before the final one (if the text ends in one).
    const char *stop = text.end[-1] == '\n' ? text.end - 1 : text.end;
    const char *start = stop;
    while (start > text.begin && start[-1] != '\n')
        --start;
    TextSpan last{start, stop};
    if (last.end > last.begin && last.end[-1] == '\r')
        --last.end;
    if (last.equals("END"))
        text.end = start;
    return text;
}

int64_t announcedPointCount(int typeCode, TextSpan text)
{
    if (typeCode != TypeCode::SpwAsciiSingle && typeCode != TypeCode::SpwAsciiMixed
        && typeCode != TypeCode::AdsAsciiSingle)
        return -1;
    TextSpan line;
    while (textlines::next(text, line) && !isMarker(line)) {
        const char *eq = line.begin;
        while ((eq = textlines::find(eq, line.end, '=')) != line.end
               && (eq + 1 == line.end || eq[1] != ' '))
            ++eq;
        if (eq == line.end
            || std::string_view(line.begin, size_t(eq - line.begin)).find("Number o")
                       == std::string_view::npos)
            continue;
        const char *p = eq + 2;
        while (p < line.end && numbertext::isSpace(*p))
            ++p;
        const char *q = p;
        while (q < line.end && *q >= '0' && *q <= '9')
            ++q;
        uint64_t n = 0;
        if (numbertext::parseUnsigned(p, q, 10, uint64_t(INT64_MAX), n))
            return int64_t(n);
    }
    return -1;
}

void stripTextHeader(int typeCode, QStringList &lines)
{
    if (!hasHeader(typeCode))
        return;
    for (int k = 0; k < lines.size(); ++k) {
        const QString &line = lines.at(k);
        if (line == QLatin1String("$DATA") || line == QLatin1String("$DATA ASCII")
            || line == QLatin1String("DATA") || line == QLatin1String("% t v")) {
            lines.erase(lines.begin(), lines.begin() + k + 1);
            break;
        }
    }
    if (!lines.isEmpty() && lines.last() == QLatin1String("END"))
        lines.removeLast();
}
