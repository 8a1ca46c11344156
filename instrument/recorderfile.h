#pragma once

#include "acquisitionprogress.h"
#include "acquisitionstatus.h"
#include "iqbuffer.h"

#include <QString>

// The handheld receiver's recorder file, little-endian: an 84-byte header with the sample
// rate in Hz (int32) at offset 32 and the sample count (int32) at offset 60, then per sample
// a signed 16-bit I and a signed 16-bit Q, stored as floats without scaling.
//
// Reads path into the record: sampleRate from the header; sampleCount from the header when
// countFromFile is set (else the record's count stands). A file shorter than the count it
// must hold, or one that cannot be opened, is FileError; on any failure the record keeps
// no samples.
AcquisitionStatus readRecorderFile(const QString &path, IqBuffer &record, bool countFromFile,
                                   AcquisitionProgress &progress);

// The name of the recording the handheld receiver's catalogue ("MMEM:CAT?" reply) lists: the
// nine characters from the first "RecIQ", plus ".riq". It becomes a local file name, so
// anything but a plain name (RecIQ and four letters, digits, '_' or '-') gives an empty one.
QString recordingNameFromCatalogue(const QString &catalogue);
