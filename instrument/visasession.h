#pragma once

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

ViStatus readRaw(ViSession session, unsigned char *buffer, ViUInt32 count, ViUInt32 &countRead);

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
