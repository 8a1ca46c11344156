#pragma once

#include "iqbuffer.h"

#include <QString>

// A reader fills the record from record.iFileName (and record.qFileName for two-file
// types). On failure it leaves both arrays released and sampleCount 0.
using FormatReader = IqStatus (*)(IqBuffer &record, int typeCode);

// A writer writes record.sampleCount samples (never more than the arrays hold; the
// dispatcher guarantees it) to iFile (and qFile). It never frees the arrays, and it
// replaces an existing file only when the whole write succeeded.
using FormatWriter = IqStatus (*)(const IqBuffer &record, int typeCode, const QString &iFile,
                                  const QString &qFile);

// The reader / writer of a type code, or nullptr where the code has none.
FormatReader readerFor(int typeCode);
FormatWriter writerFor(int typeCode);

// Each format family answers for the codes it serves and gives nullptr for the others.
FormatReader textFormatReader(int typeCode);
FormatWriter textFormatWriter(int typeCode);
FormatReader binaryFormatReader(int typeCode);
FormatWriter binaryFormatWriter(int typeCode);
FormatReader containerFormatReader(int typeCode);
FormatWriter containerFormatWriter(int typeCode);
