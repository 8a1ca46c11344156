#include "iqstatus.h"

const char *iqStatusText(IqStatus status)
{
    switch (status) {
    case IqStatusCode::Ok: return "success";
    case IqStatusCode::FirstFile: return "the (first) file cannot be opened, read or written";
    case IqStatusCode::SecondFile: return "the second (Q) file cannot be opened, read or written";
    case IqStatusCode::BadWavHeader: return "not a WAV file that can be read";
    case IqStatusCode::BadAwgHeader: return "the AWG file header cannot be parsed";
    case IqStatusCode::Scrambled: return "the file is scrambled and is not read";
    case IqStatusCode::NoMemoryI: return "no memory for the I array";
    case IqStatusCode::NoMemoryQ: return "no memory for the Q array";
    case IqStatusCode::Unsupported:
        return "the file holds real samples or several channels, which cannot be loaded";
    default: return "unknown status";
    }
}
