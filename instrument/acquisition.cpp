#include "acquisition.h"

#include "scpiexchange.h"
#include "visasession.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

namespace {

const ViUInt32 kRestoredTimeoutMs = 10000;
const ViUInt32 kMinReadTimeoutMs = 60000;
// The restore must not hang on an instrument that stopped answering: its replies come at
// once or not at all.
const ViUInt32 kRestoreTimeoutMs = 2000;
// Discarding what still arrives ends after this much silence, or after kDrainMs in all.
const ViUInt32 kQuietMs = 200;
const int64_t kDrainMs = 3000;

// The options the row depends on, asked one by one.
void readOptions(ViSession session, const DeviceType &row, InstrumentOptions &options)
{
    options.known = true;
    for (InstrumentOption option : row.init.options)
        options.set(option, hasOption(session, QLatin1String(optionName(option))));
}

}  // namespace

ViUInt32 dataReadTimeoutMs(uint64_t samples, double sampleRate)
{
    if (!(sampleRate > 0))
        return kMinReadTimeoutMs;
    const double ms = std::min(10000.0 + std::trunc(1000.0 * double(samples) / sampleRate), 4.0e9);
    return std::max(kMinReadTimeoutMs, ViUInt32(ms));
}

bool prepareArrays(IqBuffer &record, uint64_t count)
{
    const auto fits = [count](const SampleArray &a) {
        return uint64_t(a.size()) == count && !a.isShared();
    };
    if (fits(record.iData) && fits(record.qData))
        return true;
    dropSamples(record);
    return allocateSamples(record, int64_t(count)) == IqStatus::Ok;
}

void dropSamples(IqBuffer &record)
{
    releaseSamples(record);
    record.sampleCount = 0;
}

void AcquisitionFamily::identify(ScpiExchange &scpi, InstrumentContext &context) const
{
    AppSettings &settings = context.settings;
    const DeviceType &row = context.row();
    settings.idnReply.clear();
    scpi.send(QStringLiteral("*CLS;*OPC?\n"));
    scpi.send(QStringLiteral("*IDN?\n"), settings.idnReply);
    switch (row.init.queries) {
    case InitQueries::SpectrumModeInDbm:
        scpi.send(QStringLiteral("INST SAN;*OPC?\n"));
        scpi.send(QStringLiteral("UNIT:POW DBM;*OPC?\n"));
        break;
    case InitQueries::Bandwidth:
        scpi.number(QStringLiteral("BWID?\n"), settings.resolutionBandwidth);
        break;
    case InitQueries::None: break;
    }
    // The options are asked for whatever the identification gave.
    readOptions(context.session, row, context.options);
}

AcquisitionStatus identifyInstrument(InstrumentContext &context)
{
    AppSettings &settings = context.settings;
    const DeviceType &row = context.row();
    context.options = InstrumentOptions();
    ScpiExchange scpi(context.session);
    familyOf(row).identify(scpi, context);
    if (scpi.status() == VI_ERROR_ABORT)
        return AcquisitionStatus::Cancelled;
    if (!scpi.ok()) {
        scpi.outcome();  // notes what failed
        return AcquisitionStatus::InitFailed;
    }
    const ViStatus local = goToLocal(context.session, settings.resourceString);
    if (local != VI_SUCCESS) {
        noteCommandFailure(QStringLiteral("go to local"), local, false, 0);
        return AcquisitionStatus::InitFailed;
    }
    if (row.init.required != InstrumentOption::None) {
        if (!hasOption(context.session, QLatin1String(optionName(row.init.required))))
            return AcquisitionStatus::MissingOption;
    } else if (row.sampleRates.empty()) {
        // What the options found may lower a free rate (a listed rate is the list's).
        settings.sampleRate = std::min(settings.sampleRate, sampleRateMax(row, context.options));
    }
    return AcquisitionStatus::Success;
}

const AcquisitionFamily &familyOf(const DeviceType &row)
{
    switch (row.family) {
    case DeviceFamily::HandheldReceiver: return handheldReceiverAcquisition();
    case DeviceFamily::Oscilloscope: return oscilloscopeAcquisition();
    case DeviceFamily::Analyzer: break;
    }
    return analyzerAcquisition();
}

void stampRecord(const InstrumentContext &context, IqBuffer &record)
{
    const AppSettings &settings = context.settings;
    record.sampleCount = record.heldCount();
    record.sampleRate = settings.sampleRate;
    record.refLevel = float(settings.referenceLevel);
    record.centerFrequencyKnown = context.centerFrequencyKnown;
    record.centerFrequency = context.centerFrequencyKnown ? context.centerFrequency : 0.0;
    record.captureTime = context.captureTime;
    record.instrument = settings.idnReply.trimmed();
    record.extra.clear();  // facts of a file loaded before do not describe these samples
}

AcquisitionStatus acquireTrace(InstrumentContext &context, IqBuffer &record)
{
    if (context.session == 0)
        return AcquisitionStatus::NotInitialized;
    const AcquisitionStatus status = familyOf(context.row()).acquire(context, record);
    if (status == AcquisitionStatus::Success)
        stampRecord(context, record);
    return status;
}

bool isRawSocket(const QString &resourceString)
{
    return resourceString.trimmed().endsWith(QLatin1String("::SOCKET"), Qt::CaseInsensitive);
}

void drainSession(ViSession session)
{
    using Clock = std::chrono::steady_clock;
    const ViUInt32 timeout = sessionTimeout(session, kRestoredTimeoutMs);
    setTimeout(session, kQuietMs);
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(kDrainMs);
    std::vector<unsigned char> scrap(1 << 16);
    for (;;) {
        ViUInt32 got = 0;
        const ViStatus status = viRead(session, scrap.data(), ViUInt32(scrap.size()), &got);
        if ((status < VI_SUCCESS && got == 0) || Clock::now() >= end)
            break;
    }
    setTimeout(session, timeout);
}

void restoreAfterCancel(ViSession session, const QString &resourceString)
{
    // What is left of the cancelled block must not be taken for the reply below.
    viClear(session);
    drainSession(session);
    sendRestoreCommands(session, resourceString);
}

void sendRestoreCommands(ViSession session, const QString &resourceString)
{
    setTimeout(session, kRestoreTimeoutMs);
    QString reply;
    if (queryText(session, QStringLiteral("TRAC:IQ OFF;*OPC?\n"), reply) != VI_SUCCESS) {
        if (resourceString.contains(QLatin1String("GPIB")))
            goToLocal(session, resourceString);
        return;
    }
    if (writeCommand(session, QStringLiteral("*RST;*CLS\n")) == VI_SUCCESS
        && writeCommand(session, QStringLiteral("INIT:CONT ON\n")) == VI_SUCCESS)
        setTimeout(session, kRestoredTimeoutMs);
}
