#pragma once

#include "iqbuffer.h"

#include <QString>

// The text formats are read and written whole; every binary and container format streams
// through its FrameCodec (framecodec.h) instead.

// A reader fills the record from record.iFileName (and record.qFileName for two-file
// types). On failure it leaves both arrays released and sampleCount 0.
using FormatReader = IqStatus (*)(IqBuffer &record, int typeCode);

// A writer writes record.sampleCount samples (never more than the arrays hold; the
// dispatcher guarantees it) to iFile (and qFile). It never frees the arrays, and it
// replaces an existing file only when the whole write succeeded.
using FormatWriter = IqStatus (*)(const IqBuffer &record, int typeCode, const QString &iFile,
                                  const QString &qFile);

// The whole-file reader / writer of a text type code, or nullptr for other codes.
FormatReader textFormatReader(int typeCode);
FormatWriter textFormatWriter(int typeCode);
