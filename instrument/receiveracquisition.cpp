// The handheld receiver: it records I/Q to a file on its storage card for as long as the
// record lasts; the file is then fetched, read and deleted on the instrument.
#include "acquisitionfamily.h"
#include "recorderfile.h"
#include "scpiexchange.h"
#include "visasession.h"

#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cmath>

namespace {

const ViUInt32 kFetchTimeoutMs = 10000;
const int kWaitSteps = 100;

// Lets the instrument record for the record's duration, in seconds; progress is shown and a
// cancel ends the wait early (the recording is still stopped).
bool waitForRecording(double seconds, AcquisitionProgress &progress)
{
    const double clamped = std::isfinite(seconds) ? std::clamp(seconds, 0.0, 86400.0) : 0.0;
    const unsigned long stepMs = (unsigned long)(std::ceil(clamped * 1000.0 / kWaitSteps));
    progress.begin(QStringLiteral("Recording IQ values..."));
    bool going = true;
    for (int step = 1; step <= kWaitSteps && going && stepMs > 0; ++step) {
        QThread::msleep(stepMs);
        going = progress.update(step * 100 / kWaitSteps);
    }
    progress.end();
    return going;
}

AcquisitionStatus fetchAndRead(InstrumentContext &context, const QString &name, IqBuffer &record)
{
    QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/trovik-XXXXXX"));
    if (!folder.isValid())
        return AcquisitionStatus::FileError;
    const QString path = folder.filePath(name);
    setTimeout(context.session, kFetchTimeoutMs);
    const ViStatus written
            = writeCommand(context.session, QStringLiteral("MMEM:DATA? '%1'\n").arg(name));
    if (written < VI_SUCCESS)
        return statusFromVisa(written);
    if (!readBlockToPath(context.session, path))
        return AcquisitionStatus::BadBlock;
    record.iFileName = name;
    return readRecorderFile(path, record, true, context.progress);
}

class HandheldReceiverAcquisition : public AcquisitionFamily
{
public:
    AcquisitionStatus acquire(InstrumentContext &context, IqBuffer &record) const override
    {
        AppSettings &settings = context.settings;
        ScpiExchange scpi(context.session);
        scpi.send(QStringLiteral("BAND ") + g6(settings.resolutionBandwidth)
                  + QStringLiteral("Hz;*OPC?\n"));
        scpi.send(QStringLiteral("DEM IQ;*OPC?\n"));
        scpi.send(QStringLiteral("TRAC:REC:SOUR IQ;*OPC?\n"));
        scpi.send(QStringLiteral("TRAC:REC:STOR FILE;*OPC?\n"));
        scpi.send(QStringLiteral("TRAC:REC:STAR;*OPC?\n"));
        const bool recorded = waitForRecording(double(settings.sampleCount) / settings.sampleRate,
                                               context.progress);
        if (!scpi.ok())
            return scpi.outcome();
        QString catalogue;
        scpi.send(QStringLiteral("TRAC:REC:STOP;*OPC?\n"));
        if (!recorded)
            return scpi.ok() ? AcquisitionStatus::Cancelled : scpi.outcome();
        scpi.send(QStringLiteral("MMEM:CDIR '\\Storage Card\\Maple';*OPC?\n"));
        scpi.send(QStringLiteral("MMEM:CAT?\n"), catalogue);
        if (!scpi.ok())
            return scpi.outcome();
        const QString name = recordingNameFromCatalogue(catalogue);
        if (name.isEmpty())
            return AcquisitionStatus::FileError;
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
