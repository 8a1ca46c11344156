// The spectrum analyzers and test receivers (every row of the analyzer family): one sequence
// whose branches the device row's facts decide, then the I/Q block read in pairs or as all I
// then all Q values.
#include "acquisitionfamily.h"
#include "iqblockreader.h"
#include "scpiexchange.h"
#include "visasession.h"

#include <algorithm>
#include <cmath>

namespace {

// The voltage of 1 mW in 50 ohms: received values are in volts, the record in sqrt(mW).
const double kMilliwattVolts = std::sqrt(1e-3 * 50.0);

const char *const kInputWords[] = {"RF", "AIQ", "DIQ"};

QString inputWord(int32_t code)
{
    return QString::fromLatin1(code >= 0 && code < 3 ? kInputWords[code] : kInputWords[0]);
}

QString onOff(bool on)
{
    return on ? QStringLiteral("ON") : QStringLiteral("OFF");
}

// Samples the instrument is asked for: the record length for Alder, "Sample Count" else.
uint64_t expectedSamples(const AppSettings &settings, const DeviceType &row)
{
    if (!row.panel.recordLength)
        return settings.sampleCount;
    const double samples = std::trunc(settings.recordLength * settings.sampleRate * 0.001);
    return samples > 0 && samples < 4e9 ? uint64_t(samples) : 0;
}

// Whether the levels were asked for: the baseband inputs have no centre frequency.
bool queryLevels(ScpiExchange &scpi, AppSettings &settings, const DeviceType &row)
{
    if (row.trace.basebandInputs && settings.iqInput != InputCode::rf)
        return false;
    scpi.send(QStringLiteral("UNIT:POW DBM;*OPC?\n"));
    scpi.number(QStringLiteral("DISP:TRAC:Y:RLEV?;*WAI\n"), settings.referenceLevel);
    scpi.number(QStringLiteral("FREQ:CENT?;*WAI\n"), settings.centerFrequency);
    scpi.number(QStringLiteral("INP:ATT?;*WAI\n"), settings.attenuation);
    return true;
}

// The divisor of every received value.
double levelScale(ScpiExchange &scpi, AppSettings &settings, const DeviceType &row)
{
    if (settings.rawIq)
        return 1.0;
    if (row.trace.fixedLevelScale > 0) {
        scpi.number(QStringLiteral("BWID?\n"), settings.resolutionBandwidth);
        return row.trace.fixedLevelScale;
    }
    double scale = row.trace.analogIqSettings && settings.iqInput == InputCode::analogIq
                           ? 1.0
                           : kMilliwattVolts;
    if (row.trace.basebandInputs && settings.iqInput == InputCode::digitalIq)
        scale = settings.digiIqRange * 0.5;
    return scale;
}

void selectInput(ScpiExchange &scpi, const AppSettings &settings, const DeviceType &row)
{
    const bool digital = settings.iqInput == InputCode::digitalIq;
    if (row.trace.inputSelection == InputSelection::ByWord)
        scpi.send(QStringLiteral("INP:SEL ") + inputWord(settings.iqInput)
                  + QStringLiteral(";*OPC?\n"));
    if (row.trace.inputSelection == InputSelection::ByType)
        scpi.send(QStringLiteral("INP:TYPE INPUT") + dec(settings.iqInput == 3 ? 2 : 1)
                  + QStringLiteral(";*OPC?\n"));
    scpi.send(QStringLiteral("TRAC:IQ ON;*OPC?\n"));
    if (digital && row.trace.digitalIqInstrument) {
        scpi.send(QStringLiteral("INST IQ;*OPC?\n"));
        scpi.send(QStringLiteral("INP:SEL DIQ;*OPC?\n"));
    }
    if (digital && row.trace.digitalIqSettings) {
        scpi.send(QStringLiteral("INP:DIQ:RANG ") + g6(settings.digiIqRange)
                  + QStringLiteral(";*OPC?\n"));
        scpi.send(QStringLiteral("INP:DIQ:SRAT ") + g6(settings.digiIqSampleRate)
                  + QStringLiteral("MHz;*OPC?\n"));
    }
}

void setAnalogInput(ScpiExchange &scpi, const AppSettings &settings, const DeviceType &row)
{
    if (!row.trace.analogIqSettings || settings.iqInput != InputCode::analogIq)
        return;
    scpi.send(QStringLiteral("INP:IQ:BAL ") + onOff(settings.balanced)
              + QStringLiteral(";*OPC?\n"));
    scpi.send(QStringLiteral("INP:IQ:IMP ")
              + (settings.highImpedance ? QStringLiteral("HIGH") : QStringLiteral("LOW"))
              + QStringLiteral(";*OPC?\n"));
    scpi.send(QStringLiteral("IQ:DITH ") + onOff(settings.dithering) + QStringLiteral(";*OPC?\n"));
    scpi.send(QStringLiteral("IQ:LPAS ") + onOff(settings.lowPass) + QStringLiteral(";*OPC?\n"));
    scpi.send(QStringLiteral(":VOLT:IQ:RANG ") + g6(settings.anaIqRange)
              + QStringLiteral("V;*OPC?\n"));
    scpi.send(QStringLiteral(":VOLT:IQ:RANG:OFFS ") + g6(settings.anaIqOffset)
              + QStringLiteral("dB;*OPC?\n"));
}

// The long forms of the chosen trigger mode and slope, as the lists show them.
QString triggerText(const AppSettings &settings, const DeviceType &row)
{
    return QLatin1String(row.triggerModeAt(settings.triggerModeIndex).longForm) + QLatin1Char(',')
           + QLatin1String(row.slopeAt(settings.triggerSlopeIndex).longForm) + QLatin1Char(',');
}

// A failure here does not end the sequence for the rows that ask for a sample count.
void setUpTrace(ScpiExchange &scpi, const AppSettings &settings, const DeviceType &row)
{
    if (row.panel.recordLength) {
        scpi.send(QStringLiteral("TRAC:IQ:SET RAW,8MHz,") + intText(settings.sampleRate)
                  + QStringLiteral("Hz,") + triggerText(settings, row) + g6(settings.triggerOffset)
                  + QStringLiteral("ms,") + g6(settings.recordLength)
                  + QStringLiteral("ms;*OPC?\n"));
        return;
    }
    if (scpi.send(QStringLiteral("SYST:ERR?\n"))
        && scpi.send(QStringLiteral("TRAC:IQ:SET NORM,") + intText(settings.resolutionBandwidth)
                     + QStringLiteral("Hz,") + intText(settings.sampleRate) + QStringLiteral("Hz,")
                     + triggerText(settings, row) + dec(settings.preTriggerSamples)
                     + QLatin1Char(',') + dec(settings.sampleCount) + QStringLiteral(";*OPC?\n")))
        scpi.send(QStringLiteral("SYST:ERR?\n"));
    scpi.forgive();
}

// How the data reads went: the bytes that came, the first few of them (to show a reply that
// is no block), and the status of the last read.
struct ReadWatch
{
    uint64_t bytes = 0;
    ViStatus last = VI_SUCCESS;
    QByteArray start;
};

const char kDataQuery[] = "TRAC:IQ:DATA?\n";

QString bytesOf(uint64_t got, uint64_t announced)
{
    return QStringLiteral("%1 of %2 bytes").arg(got).arg(announced);
}

// The facts of a data read that failed: what came of the block, and the VISA status.
void noteReadFailure(AcquisitionStatus status, const ReadWatch &watch, uint64_t headerBytes,
                     uint64_t length, uint32_t timeoutMs)
{
    const bool inHeader = headerBytes == 0;
    const uint64_t body = inHeader ? 0 : watch.bytes - headerBytes;
    if (status == AcquisitionStatus::Timeout && watch.bytes == 0)
        noteAcquisitionFact(QStringLiteral("timeout after %1 ms waiting for the reply to %2")
                                    .arg(timeoutMs)
                                    .arg(QLatin1String("TRAC:IQ:DATA?")));
    else if (status == AcquisitionStatus::Timeout)
        noteAcquisitionFact(
                QStringLiteral("timeout after %1 ms with %2 received")
                        .arg(timeoutMs)
                        .arg(inHeader ? QStringLiteral("%1 header bytes").arg(watch.bytes)
                                      : bytesOf(body, length)));
    else if (status == AcquisitionStatus::ConnectionLost)
        noteAcquisitionFact(inHeader ? QStringLiteral("connection closed after %1 bytes of the "
                                                      "block header")
                                               .arg(watch.bytes)
                                     : QStringLiteral("connection closed after ")
                                               + bytesOf(body, length));
    else if (inHeader)
        noteAcquisitionFact(
                QStringLiteral("the reply to TRAC:IQ:DATA? is no definite-length "
                               "block: it starts with \"%1\"")
                        .arg(QString::fromLatin1(watch.start.toPercentEncoding(" #()+-.,:;"))));
    else
        noteAcquisitionFact(QStringLiteral("the block ended after ") + bytesOf(body, length));
    if (watch.last < VI_SUCCESS)
        noteAcquisitionFact(QStringLiteral("VISA status ") + visaStatusText(watch.last));
}

AcquisitionStatus readIqData(InstrumentContext &context, IqBuffer &record, double scale)
{
    const DeviceType &row = context.row();
    const uint64_t expected = expectedSamples(context.settings, row);
    if (!prepareArrays(record, expected)) {
        dropSamples(record);
        return AcquisitionStatus::NoMemory;
    }
    if (row.trace.sendsMillivolts)
        scale *= 1000.0;
    const ViUInt32 timeoutMs = dataReadTimeoutMs(expected, context.settings.sampleRate);
    setTimeout(context.session, timeoutMs);
    // The instrument may be silent for as long as the record lasts: the wait is shown under
    // the read's own title.
    const bool split = row.trace.layout == SampleLayout::Split;
    context.progress.begin(split ? QStringLiteral("Reading I values...")
                                 : QStringLiteral("Reading IQ values..."));
    context.captureTime = QDateTime::currentDateTimeUtc();
    const ViStatus written = writeCommand(context.session, QString::fromLatin1(kDataQuery));
    if (written < VI_SUCCESS) {
        dropSamples(record);
        noteCommandFailure(QString::fromLatin1(kDataQuery), written, false, 0);
        return statusFromVisa(written);
    }
    const ViSession session = context.session;
    ReadWatch watch;
    const ByteReader read = [session, &watch](unsigned char *buffer, ViUInt32 count,
                                              ViUInt32 &got) {
        const ViStatus status = readRaw(session, buffer, count, got);
        watch.last = status;
        if (watch.start.size() < 16)
            watch.start.append(reinterpret_cast<const char *>(buffer),
                               int(std::min<ViUInt32>(got, 16 - ViUInt32(watch.start.size()))));
        watch.bytes += std::min(got, count);
        return status;
    };
    AcquisitionStatus status;
    uint64_t length = 0;
    uint64_t headerBytes = 0;
    {
        const TermCharSuspension binaryRead(session);
        status = readBlockHeader(read, hasParenthesisedHeader(expected), length);
        if (status == AcquisitionStatus::Success)
            headerBytes = watch.bytes;
        // More than was asked for would not fit the arrays: refused, never cut.
        if (status == AcquisitionStatus::Success && length / 8 > expected) {
            status = AcquisitionStatus::BadBlock;
            noteAcquisitionFact(QStringLiteral("the block announces %1 bytes (%2 samples), more "
                                               "than the %3 samples asked for")
                                        .arg(length)
                                        .arg(length / 8)
                                        .arg(expected));
        } else if (status == AcquisitionStatus::Success) {
            status = readBlockBody(read, length, split ? BlockLayout::Split : BlockLayout::Pairs,
                                   scale, record, context.progress);
        } else if (watch.last < VI_SUCCESS) {
            status = statusFromVisa(watch.last);  // a header read failed: say how
        }
        const bool refused = headerBytes > 0 && length / 8 > expected;
        if (status != AcquisitionStatus::Success && status != AcquisitionStatus::Cancelled
            && status != AcquisitionStatus::NoMemory && !refused)
            noteReadFailure(status, watch, headerBytes, length, timeoutMs);
    }
    if (status != AcquisitionStatus::Success)
        dropSamples(record);
    else if (uint64_t(record.sampleCount) < expected)
        noteAcquisitionWarning(
                QStringLiteral("received %1 of %2 samples").arg(record.sampleCount).arg(expected));
    return status;
}

class AnalyzerAcquisition : public AcquisitionFamily
{
public:
    AcquisitionStatus acquire(InstrumentContext &context, IqBuffer &record) const override
    {
        AppSettings &settings = context.settings;
        const DeviceType &row = context.row();
        ScpiExchange scpi(context.session);
        scpi.send(QStringLiteral("*CLS;*OPC?\n"));
        scpi.send(QStringLiteral("SYST:ERR:CLE:ALL;*OPC?\n"));
        QString channel;
        if (row.trace.selectsChannel && scpi.send(QStringLiteral("INST:NSEL?;*WAI\n"), channel)
            && channel.trimmed().toInt() != 1)
            scpi.send(QStringLiteral("INST:NSEL 1;*OPC?\n"));
        context.centerFrequencyKnown = queryLevels(scpi, settings, row);
        const double scale = levelScale(scpi, settings, row);
        selectInput(scpi, settings, row);
        setAnalogInput(scpi, settings, row);
        if (row.trace.asksForPairs)
            scpi.send(QStringLiteral("TRAC:IQ:DATA:FORM IQP;*OPC?\n"));
        scpi.send(QStringLiteral("SYST:COMM:GPIB:RTER EOI;*OPC?\n"));
        if (scpi.ok())
            setUpTrace(scpi, settings, row);
        scpi.send(QStringLiteral("FORM REAL, 32;*OPC?\n"));
        if (!scpi.ok())
            return scpi.outcome();
        context.centerFrequency = settings.centerFrequency;
        const AcquisitionStatus status = readIqData(context, record, scale);
        if (status != AcquisitionStatus::Cancelled)
            writeCommand(context.session, QStringLiteral("TRAC:IQ OFF\n"));
        return status;
    }
};

}  // namespace

const AcquisitionFamily &analyzerAcquisition()
{
    static const AnalyzerAcquisition family;
    return family;
}
