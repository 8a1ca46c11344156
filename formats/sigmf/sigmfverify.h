#pragma once

#include "iqstatus.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>

// How this thread's SigMF loads treat the core:sha512 of the data: checked by default, at the
// cost of reading the whole data once more. A boundary that lets the user skip the check
// (trovik-cli --no-verify) or shows its progress sets these before the load.
struct SigmfVerifyOptions
{
    bool enabled = true;
    // Called while the data are hashed: bytes done and the total. False stops the check, and
    // the load fails as cancelled.
    std::function<bool(int64_t done, int64_t total)> progress;
};

SigmfVerifyOptions &sigmfVerifyOptions();

// Hashes bytes [offset, offset + bytes) of the file at path and compares the digest with
// expectedHex. Ok when they match; otherwise FirstFile, with the file failure naming path and
// giving the first 16 hex digits of both digests after reasonPrefix (an archive's member).
IqStatus verifySigmfData(const QString &path, int64_t offset, int64_t bytes,
                         const QByteArray &expectedHex, const QString &reasonPrefix);
