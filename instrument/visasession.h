#pragma once

#include "acquisitionprogress.h"
#include "visadefs.h"

#include <QString>
#include <vector>

// The program's only door to VISA: blocking operations on the instrument session, all
// through Pontil. Every operation returns the VISA status (0 success, negative error,
// positive success with a warning) unless it says otherwise; none throws or shows anything.

// The first installed of NI (0x0FF6), Keysight (0x0FFF) and kxvisa (0x0FAF); 0 when none
// is. The system default (0xFFFF) is never considered.
uint16_t firstInstalledVisaLibrary();

// Hands firstInstalledVisaLibrary to Pontil; false when none is installed.
bool selectVisaLibrary();

// Opens resourceString from resourceManager with a 10 s open timeout. A raw socket
// ("...::SOCKET") gets its termination character (line feed) enabled.
ViStatus openSession(ViSession resourceManager, const QString &resourceString, ViSession &session);

// While one lives on a thread, every VISA read of that thread waits in slices of 200 ms, up
// to the session's timeout counted from the last byte that came: between slices the
// progress hears how long the wait may still take (waiting), and a cancel ends the read
// with VI_ERROR_ABORT within one slice. This works with every VISA implementation, and
// the session layer's callers need not pass anything down. Without one, reads wait as
// VISA does. Watches nest; the innermost counts.
class VisaWaitWatch
{
public:
    explicit VisaWaitWatch(AcquisitionProgress &progress);
    ~VisaWaitWatch();
    VisaWaitWatch(const VisaWaitWatch &) = delete;
    VisaWaitWatch &operator=(const VisaWaitWatch &) = delete;

private:
    AcquisitionProgress *previous;
};

// The length of one slice of a watched wait.
constexpr ViUInt32 kWaitSliceMs = 200;

// Sends the command's bytes.
ViStatus writeCommand(ViSession session, const QString &command);

// Sends the command and reads a reply of fewer than 20000 bytes, decoded as UTF-8 up to
// the first zero byte, trailing line feed kept. A full buffer returns VI_SUCCESS_MAX_CNT;
// a read ended by the termination character counts as complete (0). On any other status
// but 0, reply is left as it was.
ViStatus queryText(ViSession session, const QString &command, QString &reply);

// Sends the command and reads the leading number of a reply of fewer than 100 bytes;
// value is left as it was on any status but 0.
ViStatus queryNumber(ViSession session, const QString &command, double &value);

// viRead's contract; watched (see VisaWaitWatch) when a watch lives on this thread.
ViStatus readRaw(ViSession session, unsigned char *buffer, ViUInt32 count, ViUInt32 &countRead);

// The session's I/O timeout in milliseconds (VI_TMO_INFINITE for none); fallback when the
// implementation cannot tell.
ViUInt32 sessionTimeout(ViSession session, ViUInt32 fallback);

// Binary data may contain the termination character: while a block is read, a read must
// not end there. Restores the session's setting when it goes.
class TermCharSuspension
{
public:
    explicit TermCharSuspension(ViSession session);
    ~TermCharSuspension();
    TermCharSuspension(const TermCharSuspension &) = delete;
    TermCharSuspension &operator=(const TermCharSuspension &) = delete;

private:
    ViSession session;
    bool suspended = false;
};

// Reads one IEEE 488.2 definite-length block ("#", n, n length digits, the bytes, the
// terminator) of little-endian 32-bit floats through a private temporary file, removed
// before returning. values is replaced only on success.
bool readBlockToFile(ViSession session, std::vector<double> &values);

// Reads one definite-length block into the file at path: exactly the announced bytes, then
// the terminator. False when the header is malformed or the body ends early.
bool readBlockToPath(ViSession session, const QString &path);

// Sends the command and reads its block reply.
bool queryBlock(ViSession session, const QString &command, std::vector<double> &values);

ViStatus setTimeout(ViSession session, ViUInt32 milliseconds);

// Returns the instrument of resourceString, open as session, to local operation: REN for
// GPIB, "&GTL" for LAN; nothing (status 0) for other interfaces.
ViStatus goToLocal(ViSession session, const QString &resourceString);

// True when the instrument's "*OPT?" reply contains optionCode (case-sensitive).
bool hasOption(ViSession session, const QString &optionCode);
