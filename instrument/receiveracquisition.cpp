// The handheld receiver: it records I/Q to a file on its storage card for as long as the
// record lasts; the file is then fetched, read and deleted on the instrument.
#include "acquisitionfamily.h"
#include "devicetype.h"
#include "recorderfile.h"
#include "scpiexchange.h"
#include "visasession.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

const ViUInt32 kFetchTimeoutMs = 10000;
const ViUInt32 kPushSliceMs = 200;
const ViUInt32 kTrailerWaitMs = 50;
const ViUInt32 kRecorderHeaderBytes = 84;
const uint64_t kPieceBytes = 1 << 20;
const qint64 kWaitSliceMs = 200;  // how soon a cancel ends the recording wait

// Lets the instrument record for the record's duration, in seconds; progress is shown and a
// cancel ends the wait within a slice (the recording is still stopped).
bool waitForRecording(double seconds, AcquisitionProgress &progress)
{
    const double clamped = std::isfinite(seconds) ? std::clamp(seconds, 0.0, 86400.0) : 0.0;
    const qint64 totalMs = qint64(std::ceil(clamped * 1000.0));
    progress.begin(QStringLiteral("Recording IQ values..."));
    QElapsedTimer clock;
    clock.start();
    bool going = true;
    for (qint64 elapsed = 0; going && elapsed < totalMs; elapsed = clock.elapsed()) {
        QThread::msleep((unsigned long)std::min<qint64>(kWaitSliceMs, totalMs - elapsed));
        const int percent = int(std::min<qint64>(100, 100 * clock.elapsed() / totalMs));
        going = progress.update(percent) && !progress.cancelled();
    }
    progress.end();
    return going;
}

// Reads up to count bytes, in several reads if the session hands them over in pieces.
bool readFully(ViSession session, unsigned char *buffer, uint64_t count)
{
    while (count > 0) {
        ViUInt32 got = 0;
        const ViUInt32 want = ViUInt32(std::min<uint64_t>(count, kPieceBytes));
        if (readRaw(session, buffer, want, got) < VI_SUCCESS || got == 0)
            return false;
        buffer += got;
        count -= got;
    }
    return true;
}

enum class Pushed { Nothing, Read, Broken, Cancelled };

// Listens for the first byte of a pushed file for up to waitMs, in short slices so that a
// cancel is seen; Nothing when the time passed or the session failed otherwise.
Pushed awaitPush(ViSession session, unsigned char *first, uint32_t waitMs,
                 AcquisitionProgress &progress)
{
    progress.begin(QStringLiteral("Waiting for the recording file..."));
    QElapsedTimer waited;
    waited.start();
    Pushed outcome = Pushed::Nothing;
    for (qint64 left = waitMs; left > 0; left = qint64(waitMs) - waited.elapsed()) {
        ViUInt32 got = 0;
        setTimeout(session, ViUInt32(std::min<qint64>(left, kPushSliceMs)));
        const ViStatus status = readRaw(session, first, 1, got);
        if (got == 1) {
            outcome = Pushed::Read;
            break;
        }
        if (status != VI_ERROR_TMO)
            break;
        if (!progress.update(int(std::min<qint64>(100, 100 * waited.elapsed() / waitMs)))) {
            outcome = Pushed::Cancelled;
            break;
        }
    }
    progress.end();
    setTimeout(session, kFetchTimeoutMs);
    return outcome;
}

// Some receivers send the recording unasked, as the plain recorder file, after the
// catalogue; others answer only an explicit fetch. A storage card is slow, so the session
// is listened to for as long as its timeout before asking, and a pushed file is read to the
// length its own header gives.
Pushed readPushedRecording(ViSession session, const QString &path, uint32_t waitMs,
                           uint32_t maxRecording, AcquisitionProgress &progress)
{
    TermCharSuspension binary(session);
    unsigned char header[kRecorderHeaderBytes];
    const Pushed first = awaitPush(session, header, waitMs, progress);
    if (first != Pushed::Read)
        return first;
    if (!readFully(session, header + 1, kRecorderHeaderBytes - 1))
        return Pushed::Broken;
    const qint32 count = qFromLittleEndian<qint32>(header + 60);
    if (count < 0 || uint32_t(count) > maxRecording)
        return Pushed::Broken;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(reinterpret_cast<const char *>(header), kRecorderHeaderBytes)
                   != kRecorderHeaderBytes)
        return Pushed::Broken;
    std::vector<unsigned char> piece(kPieceBytes);
    for (uint64_t left = 4 * uint64_t(count); left > 0;) {
        const uint64_t n = std::min<uint64_t>(left, kPieceBytes);
        if (!readFully(session, piece.data(), n)
            || file.write(reinterpret_cast<const char *>(piece.data()), qint64(n)) != qint64(n))
            return Pushed::Broken;
        left -= n;
    }
    // A line feed may close the message; it must not be taken for the next reply.
    ViUInt32 got = 0;
    setTimeout(session, kTrailerWaitMs);
    readRaw(session, header, 1, got);
    setTimeout(session, kFetchTimeoutMs);
    return Pushed::Read;
}

AcquisitionStatus fetchAndRead(InstrumentContext &context, const QString &name, IqBuffer &record)
{
    QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/trovik-XXXXXX"));
    if (!folder.isValid())
        return AcquisitionStatus::FileError;
    const QString path = folder.filePath(name);
    const uint32_t sessionMs = sessionTimeoutMs(context.session);
    const uint32_t waitMs = sessionMs > 0 ? sessionMs : kFetchTimeoutMs;
    const Pushed pushed = readPushedRecording(context.session, path, waitMs,
                                              context.row().maxSamples, context.progress);
    if (pushed == Pushed::Cancelled)
        return AcquisitionStatus::Cancelled;
    if (pushed == Pushed::Broken) {
        noteAcquisitionFact(QStringLiteral("the recording %1 pushed after the catalogue ended "
                                           "early")
                                    .arg(name));
        return AcquisitionStatus::BadBlock;
    }
    if (pushed == Pushed::Nothing) {
        const QString fetch = QStringLiteral("MMEM:DATA? '%1'\n").arg(name);
        const ViStatus written = writeCommand(context.session, fetch);
        if (written < VI_SUCCESS) {
            noteCommandFailure(fetch, written, false, 0);
            return statusFromVisa(written);
        }
        if (!readBlockToPath(context.session, path)) {
            noteAcquisitionFact(QStringLiteral("no complete block in the reply to MMEM:DATA? "
                                               "'%1'")
                                        .arg(name));
            return AcquisitionStatus::BadBlock;
        }
        noteAcquisitionSource(QStringLiteral("recording %1 fetched with MMEM:DATA? (none pushed "
                                             "within %2 ms of the catalogue)")
                                      .arg(name)
                                      .arg(waitMs));
    } else {
        noteAcquisitionSource(
                QStringLiteral("recording %1 pushed by the receiver after the catalogue")
                        .arg(name));
    }
    record.iFileName = name;
    return readRecorderFile(path, record, true, context.progress);
}

class HandheldReceiverAcquisition : public AcquisitionFamily
{
public:
    // The receiver answers "*IDN?" alone: no status to clear, no options to ask.
    void identify(ScpiExchange &scpi, InstrumentContext &context) const override
    {
        scpi.send(QStringLiteral("*IDN?\n"), context.settings.idnReply);
    }

    AcquisitionStatus acquire(InstrumentContext &context, IqBuffer &record) const override
    {
        AppSettings &settings = context.settings;
        ScpiExchange scpi(context.session);
        scpi.send(QStringLiteral("BAND ") + g6(settings.resolutionBandwidth)
                  + QStringLiteral("Hz;*OPC?\n"));
        scpi.send(QStringLiteral("DEM IQ;*OPC?\n"));
        scpi.send(QStringLiteral("TRAC:REC:SOUR IQ;*OPC?\n"));
        scpi.send(QStringLiteral("TRAC:REC:STOR FILE;*OPC?\n"));
        context.captureTime = QDateTime::currentDateTimeUtc();
        scpi.send(QStringLiteral("TRAC:REC:STAR;*OPC?\n"));
        const bool recorded = waitForRecording(double(settings.sampleCount) / settings.sampleRate,
                                               context.progress);
        if (!scpi.ok())
            return scpi.outcome();
        // A cancel sends nothing more on this session: the restore that follows (on a fresh
        // connection for a raw socket) resets the receiver, which ends the recording, and a stop
        // sent here could reach it after the reset.
        if (!recorded)
            return AcquisitionStatus::Cancelled;
        QString catalogue;
        scpi.send(QStringLiteral("TRAC:REC:STOP;*OPC?\n"));
        scpi.send(QStringLiteral("MMEM:CDIR '\\Storage Card\\Maple';*OPC?\n"));
        scpi.send(QStringLiteral("MMEM:CAT?\n"), catalogue);
        if (!scpi.ok())
            return scpi.outcome();
        const QString name = recordingNameFromCatalogue(catalogue);
        if (name.isEmpty()) {
            noteAcquisitionFact(QStringLiteral("the catalogue lists no recording RecIQ...: %1")
                                        .arg(catalogue.trimmed().left(200)));
            return AcquisitionStatus::FileError;
        }
        const AcquisitionStatus status = fetchAndRead(context, name, record);
        if (status != AcquisitionStatus::Success) {
            dropSamples(record);
            return status;
        }
        settings.sampleRate = record.sampleRate;
        if (!scpi.send(QStringLiteral("MMEM:DEL ") + name + QStringLiteral(";*OPC?\n")))
            return scpi.outcome();
        return AcquisitionStatus::Success;
    }
};

}  // namespace

const AcquisitionFamily &handheldReceiverAcquisition()
{
    static const HandheldReceiverAcquisition family;
    return family;
}
