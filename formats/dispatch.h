#pragma once

#include "iqbuffer.h"

// Releases the record's arrays, then reads record.iFileName (and qFileName) with the
// reader of the load-list row at record.typeIndex. A code without a reader returns 0 and
// leaves the record empty; an index outside the list returns -1. For a one-file row the Q
// name is cleared, so a name left from an earlier two-file choice is never read.
IqStatus loadIqFile(IqBuffer &record);

// The read a load does for a type code: through the type's codec (header, then the frames in
// pieces into fresh arrays) where it has one, else its whole-file reader. On failure the
// record is left without samples.
IqStatus readFileOfType(IqBuffer &record, int typeCode);

// The write a save does for a type code, of the samples the record holds: through the type's
// streaming writer where it has one, else its whole-file writer (text). A destination is
// replaced only by a complete write. A code without a writer returns Ok and writes nothing.
IqStatus writeFileOfType(const IqBuffer &record, int typeCode, const QString &iFile,
                         const QString &qFile);

// Whether a type code has a reader / a writer in this build.
bool typeHasReader(int typeCode);
bool typeHasWriter(int typeCode);

// Writes source to the files named in target with the writer of the save-list row at
// target.typeIndex. With append, the existing destination is first read into scratch and
// joined with the source behind a guard prefix (for formats that scale to their full range,
// the source at the scale its own save would give it); a row that cannot be appended to
// returns -1 and leaves the file untouched. Any failure to read, join or write is
// returned as a nonzero status; a destination is replaced only by a complete write. One-file
// rows write no Q file, whatever target.qFileName holds.
// The record carries its own rate, count, level and centre frequency (a capture is stamped
// with them where it ends); a capture's count is what it holds.
IqStatus saveIqFile(IqBuffer &source, IqBuffer &scratch, IqBuffer &target, bool append,
                    int32_t guardCount);

// target = existing samples, then the last g samples of added (a cyclic prefix), then all
// of added. The guard is clamped to 0..added's count so nothing is read out of bounds.
// Returns Ok, or OutOfMemory when the arrays cannot be allocated.
IqStatus joinIqData(IqBuffer &target, IqBuffer existing, IqBuffer added, int32_t guardCount);
