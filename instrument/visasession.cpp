#include "visasession.h"

#include "pontil.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <chrono>
#include <cstring>
#include <limits>
#include <locale.h>
#include <new>

namespace {

const ViUInt32 kOpenTimeoutMs = 10000;
const ViUInt32 kTextReplyBytes = 20000;
const ViUInt32 kNumberReplyBytes = 100;
const qint64 kFileChunkBytes = 1 << 16;
const ViUInt32 kWatchedFileChunkBytes = 1 << 20;

thread_local AcquisitionProgress *watchingProgress = nullptr;

// One read, in slices while a watch lives on this thread (see VisaWaitWatch).
ViStatus watchedRead(ViSession session, unsigned char *buffer, ViUInt32 count, ViUInt32 &countRead)
{
    using Clock = std::chrono::steady_clock;
    AcquisitionProgress *const watch = watchingProgress;
    countRead = 0;
    if (!watch)
        return viRead(session, buffer, count, &countRead);
    if (watch->cancelled())
        return VI_ERROR_ABORT;
    const ViUInt32 full = sessionTimeout(session, kWaitSliceMs);
    if (full <= kWaitSliceMs
        || viSetAttribute(session, VI_ATTR_TMO_VALUE, kWaitSliceMs) < VI_SUCCESS)
        return viRead(session, buffer, count, &countRead);
    Clock::time_point lastByte = Clock::now();
    ViStatus status;
    for (;;) {
        ViUInt32 got = 0;
        status = viRead(session, buffer + countRead, count - countRead, &got);
        countRead += std::min(got, count - countRead);
        if (status != VI_ERROR_TMO || countRead >= count)
            break;
        const Clock::time_point now = Clock::now();
        if (got > 0)
            lastByte = now;
        const int64_t silentMs
                = std::chrono::duration_cast<std::chrono::milliseconds>(now - lastByte).count();
        const int64_t leftMs = full == VI_TMO_INFINITE ? std::numeric_limits<int64_t>::max()
                                                       : int64_t(full) - silentMs;
        if (leftMs <= 0)
            break;
        if (watch->cancelled()) {
            status = VI_ERROR_ABORT;
            break;
        }
        if (got == 0)
            watch->waiting(leftMs);
    }
    viSetAttribute(session, VI_ATTR_TMO_VALUE, full);
    return status;
}

// The instruments answer with C-locale numbers whatever locale the program runs in.
double leadingNumber(const char *text)
{
    static const locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
    return strtod_l(text, nullptr, cLocale);
}

// A read that stopped at the termination character got the whole reply, as one that
// stopped at END did.
ViStatus completeReply(ViStatus status)
{
    return status == VI_SUCCESS_TERM_CHAR ? VI_SUCCESS : status;
}

// Reads exactly count bytes; false on an error status or when fewer arrive.
bool readExactly(ViSession session, unsigned char *buffer, ViUInt32 count)
{
    ViUInt32 countRead = 0;
    return readRaw(session, buffer, count, countRead) >= VI_SUCCESS && countRead == count;
}

// The header after '#': n (1-9) then n decimal digits giving the body length.
bool readBlockLength(ViSession session, unsigned char digitCount, ViUInt32 &length)
{
    if (digitCount < '1' || digitCount > '9')
        return false;
    const ViUInt32 digits = digitCount - '0';
    unsigned char text[9];
    if (!readExactly(session, text, digits))
        return false;
    length = 0;
    for (ViUInt32 i = 0; i < digits; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        length = length * 10 + (text[i] - '0');
    }
    return true;
}

// The body through watched reads into the file, piece by piece.
ViStatus readBodyWatched(ViSession session, const QString &path, ViUInt32 length)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return VI_ERROR_FILE_ACCESS;
    std::vector<unsigned char> piece(std::min(length, kWatchedFileChunkBytes));
    ViStatus status = VI_SUCCESS_MAX_CNT;
    for (ViUInt32 left = length; left > 0;) {
        ViUInt32 got = 0;
        status = readRaw(session, piece.data(), std::min(left, ViUInt32(piece.size())), got);
        if (status < VI_SUCCESS)
            return status;
        if (file.write(reinterpret_cast<const char *>(piece.data()), got) != qint64(got))
            return VI_ERROR_FILE_IO;
        left -= got;
        if (left > 0 && (status == VI_SUCCESS || got == 0))
            return VI_ERROR_IO;  // the message ended before the announced length
    }
    return status;
}

// Streams exactly length body bytes into the file; the status tells whether the message
// ended with them.
ViStatus readBody(ViSession session, const QString &path, ViUInt32 length)
{
    if (length == 0)
        return VI_SUCCESS_MAX_CNT;
    if (watchingProgress)
        return readBodyWatched(session, path, length);
    ViUInt32 countRead = 0;
    const ViStatus status
            = viReadToFile(session, QFile::encodeName(path).constData(), length, &countRead);
    return status >= VI_SUCCESS && countRead != length ? VI_ERROR_IO : status;
}

// Reads the header and the body, then the message terminator unless the body ended the
// message. Fills length.
bool readBlockBytesToFile(ViSession session, const QString &path, ViUInt32 &length)
{
    ViStatus status;
    {
        const TermCharSuspension binaryRead(session);
        unsigned char header[100] = {};
        if (!readExactly(session, header, 2) || header[0] != '#'
            || !readBlockLength(session, header[1], length))
            return false;
        status = readBody(session, path, length);
        if (status < VI_SUCCESS)
            return false;
    }
    if (status != VI_SUCCESS) {
        // The block is complete; a terminator that does not come is no reason to refuse it.
        unsigned char terminator[1];
        ViUInt32 ignored = 0;
        readRaw(session, terminator, 1, ignored);
    }
    return true;
}

bool floatsFromFile(const QString &path, ViUInt32 length, std::vector<double> &values)
{
    QFile file(path);
    if (length > 0 && !file.open(QIODevice::ReadOnly))
        return false;
    const ViUInt32 count = length / 4;
    std::vector<double> read;
    try {
        read.reserve(count);
    } catch (const std::bad_alloc &) {
        return false;
    }
    char chunk[kFileChunkBytes];
    while (read.size() < count) {
        const qint64 wanted = std::min<qint64>(kFileChunkBytes, qint64(count - read.size()) * 4);
        if (file.read(chunk, wanted) != wanted)
            return false;
        for (qint64 offset = 0; offset < wanted; offset += 4)
            read.push_back(qFromLittleEndian<float>(chunk + offset));
    }
    values.swap(read);
    return true;
}

}  // namespace

VisaWaitWatch::VisaWaitWatch(AcquisitionProgress &progress)
    : previous(watchingProgress)
{
    watchingProgress = &progress;
}

VisaWaitWatch::~VisaWaitWatch()
{
    watchingProgress = previous;
}

ViUInt32 sessionTimeout(ViSession session, ViUInt32 fallback)
{
    ViAttrState value = 0;  // room for implementations that write the wide form
    if (viGetAttribute(session, VI_ATTR_TMO_VALUE, &value) < VI_SUCCESS)
        return fallback;
    ViUInt32 ms = 0;
    std::memcpy(&ms, &value, sizeof ms);
    return ms;
}

TermCharSuspension::TermCharSuspension(ViSession session)
    : session(session)
{
    ViAttrState value = 0;  // room for implementations that write the wide form
    ViBoolean enabled = VI_FALSE;
    if (viGetAttribute(session, VI_ATTR_TERMCHAR_EN, &value) < VI_SUCCESS)
        return;
    std::memcpy(&enabled, &value, sizeof enabled);
    suspended = enabled != VI_FALSE
                && viSetAttribute(session, VI_ATTR_TERMCHAR_EN, VI_FALSE) >= VI_SUCCESS;
}

TermCharSuspension::~TermCharSuspension()
{
    if (suspended)
        viSetAttribute(session, VI_ATTR_TERMCHAR_EN, VI_TRUE);
}

uint16_t firstInstalledVisaLibrary()
{
    for (uint16_t code : {KXVI_LIBRARY_NI, KXVI_LIBRARY_KEYSIGHT, KXVI_LIBRARY_KXVISA}) {
        if (KxViIsVisaLibraryInstalled(code))
            return code;
    }
    return 0;
}

bool selectVisaLibrary()
{
    const uint16_t code = firstInstalledVisaLibrary();
    return code != 0 && KxViSetDefaultLibrary(code) == 1;
}

ViStatus openSession(ViSession resourceManager, const QString &resourceString, ViSession &session)
{
    const ViStatus status = viOpen(resourceManager, resourceString.toLocal8Bit().constData(),
                                   VI_NULL, kOpenTimeoutMs, &session);
    // A raw socket has no END: without the termination character no text reply would end
    // before the timeout.
    if (status >= VI_SUCCESS
        && resourceString.trimmed().endsWith(QLatin1String("::SOCKET"), Qt::CaseInsensitive))
        viSetAttribute(session, VI_ATTR_TERMCHAR_EN, VI_TRUE);
    return status;
}

ViStatus writeCommand(ViSession session, const QString &command)
{
    const QByteArray bytes = command.toLocal8Bit();
    return viWrite(session, reinterpret_cast<ViConstBuf>(bytes.constData()), ViUInt32(bytes.size()),
                   VI_NULL);
}

ViStatus queryText(ViSession session, const QString &command, QString &reply)
{
    ViStatus status = writeCommand(session, command);
    if (status != VI_SUCCESS)
        return status;
    std::vector<unsigned char> buffer(kTextReplyBytes, 0);
    ViUInt32 countRead = 0;
    status = completeReply(watchedRead(session, buffer.data(), kTextReplyBytes, countRead));
    // A reply that fills the buffer may have been cut short, also when END came with its
    // last byte.
    if (status == VI_SUCCESS && countRead >= kTextReplyBytes)
        status = VI_SUCCESS_MAX_CNT;
    if (status != VI_SUCCESS)
        return status;
    const char *text = reinterpret_cast<const char *>(buffer.data());
    reply = QString::fromUtf8(text, int(strnlen(text, countRead)));
    return status;
}

ViStatus queryNumber(ViSession session, const QString &command, double &value)
{
    ViStatus status = writeCommand(session, command);
    if (status != VI_SUCCESS)
        return status;
    unsigned char buffer[kNumberReplyBytes + 1] = {};
    ViUInt32 countRead = 0;
    status = completeReply(watchedRead(session, buffer, kNumberReplyBytes, countRead));
    if (status == VI_SUCCESS)
        value = leadingNumber(reinterpret_cast<const char *>(buffer));
    return status;
}

ViStatus readRaw(ViSession session, unsigned char *buffer, ViUInt32 count, ViUInt32 &countRead)
{
    return watchedRead(session, buffer, count, countRead);
}

bool readBlockToPath(ViSession session, const QString &path)
{
    ViUInt32 length = 0;
    return readBlockBytesToFile(session, path, length);
}

bool readBlockToFile(ViSession session, std::vector<double> &values)
{
    // The folder and the file in it go away with this object, whatever happens below.
    QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/trovik-XXXXXX"));
    if (!folder.isValid())
        return false;
    const QString path = folder.filePath(QStringLiteral("Trace.tmp"));
    ViUInt32 length = 0;
    return readBlockBytesToFile(session, path, length) && floatsFromFile(path, length, values);
}

bool queryBlock(ViSession session, const QString &command, std::vector<double> &values)
{
    return writeCommand(session, command) == VI_SUCCESS && readBlockToFile(session, values);
}

ViStatus setTimeout(ViSession session, ViUInt32 milliseconds)
{
    return viSetAttribute(session, VI_ATTR_TMO_VALUE, milliseconds);
}

ViStatus goToLocal(ViSession session, const QString &resource)
{
    if (resource.contains(QLatin1String("GPIB")))
        return viGpibControlREN(session, VI_GPIB_REN_ADDRESS_GTL);
    if (resource.contains(QLatin1String("TCPIP")) || resource.contains(QLatin1String("TQLB")))
        return writeCommand(session, QStringLiteral("&GTL\n"));
    return VI_SUCCESS;
}

bool hasOption(ViSession session, const QString &optionCode)
{
    QString reply;
    return queryText(session, QStringLiteral("*OPT?\n"), reply) == VI_SUCCESS
           && reply.contains(optionCode, Qt::CaseSensitive);
}
