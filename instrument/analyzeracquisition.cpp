// The spectrum analyzers and test receivers (every row of the analyzer family): one sequence
// with per-row branches, then the I/Q block read in pairs or as all I then all Q values.
#include "acquisitionfamily.h"
#include "iqblockreader.h"
#include "scpiexchange.h"
#include "visasession.h"

#include <algorithm>
#include <cmath>

namespace {

using Id = DeviceId;

// The voltage of 1 mW in 50 ohms: received values are in volts, the record in sqrt(mW).
const double kMilliwattVolts = std::sqrt(1e-3 * 50.0);
const double kElmFirGumScale = 0.18867924528301888;  // 1 / 5.3

const char *const kInputWords[] = {"RF", "AIQ", "DIQ"};

// Rows that choose between several measurement channels and work in channel 1.
bool selectsChannel(const DeviceType &row)
{
    return isOneOf(row,
                   {Id::Rowan, Id::Walnut, Id::Juniper, Id::ElmFirGum, Id::Willow, Id::KapokLarch});
}

// Rows with analog or digital baseband inputs, whose levels are not in dBm there.
bool hasBasebandInputs(const DeviceType &row)
{
    return isOneOf(row, {Id::Rowan, Id::Walnut, Id::Juniper, Id::Willow, Id::KapokLarch});
}

bool sendsPairFormat(const DeviceType &row)
{
    return isOneOf(row, {Id::Olive, Id::Pine, Id::Rowan, Id::Spruce, Id::Teak, Id::Hazel,
                         Id::Walnut, Id::Juniper, Id::Willow, Id::KapokLarch});
}

// All I values, then all Q values.
bool sendsSplitBlock(const DeviceType &row)
{
    return isOneOf(row, {Id::Alder, Id::ElmFirGum});
}

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
    if (!usesRecordLength(row))
        return settings.sampleCount;
    const double samples = std::trunc(settings.recordLength * settings.sampleRate * 0.001);
    return samples > 0 && samples < 4e9 ? uint64_t(samples) : 0;
}

void queryLevels(ScpiExchange &scpi, AppSettings &settings, const DeviceType &row)
{
    if (hasBasebandInputs(row) && settings.iqInput != InputCode::rf)
        return;
    scpi.send(QStringLiteral("UNIT:POW DBM;*OPC?\n"));
    scpi.number(QStringLiteral("DISP:TRAC:Y:RLEV?;*WAI\n"), settings.referenceLevel);
    scpi.number(QStringLiteral("FREQ:CENT?;*WAI\n"), settings.centerFrequency);
    scpi.number(QStringLiteral("INP:ATT?;*WAI\n"), settings.attenuation);
}

// The divisor of every received value.
double levelScale(ScpiExchange &scpi, AppSettings &settings, const DeviceType &row)
{
    if (settings.rawIq)
        return 1.0;
    if (row.is(Id::ElmFirGum)) {
        scpi.number(QStringLiteral("BWID?\n"), settings.resolutionBandwidth);
        return kElmFirGumScale;
    }
    double scale
            = row.is(Id::Rowan) && settings.iqInput == InputCode::analogIq ? 1.0 : kMilliwattVolts;
    if (hasBasebandInputs(row) && settings.iqInput == InputCode::digitalIq)
        scale = settings.digiIqRange * 0.5;
    return scale;
}

void selectInput(ScpiExchange &scpi, const AppSettings &settings, const DeviceType &row)
{
    const bool digital = settings.iqInput == InputCode::digitalIq;
    if (isOneOf(row, {Id::Rowan, Id::Willow}))
        scpi.send(QStringLiteral("INP:SEL ") + inputWord(settings.iqInput)
                  + QStringLiteral(";*OPC?\n"));
    if (row.is(Id::KapokLarch))
        scpi.send(QStringLiteral("INP:TYPE INPUT") + dec(settings.iqInput == 3 ? 2 : 1)
                  + QStringLiteral(";*OPC?\n"));
    scpi.send(QStringLiteral("TRAC:IQ ON;*OPC?\n"));
    if (digital && isOneOf(row, {Id::Walnut, Id::Juniper, Id::Willow})) {
        scpi.send(QStringLiteral("INST IQ;*OPC?\n"));
        scpi.send(QStringLiteral("INP:SEL DIQ;*OPC?\n"));
    }
    if (digital
        && isOneOf(row,
                   {Id::Rowan, Id::Spruce, Id::Walnut, Id::Juniper, Id::Willow, Id::KapokLarch})) {
        scpi.send(QStringLiteral("INP:DIQ:RANG ") + g6(settings.digiIqRange)
                  + QStringLiteral(";*OPC?\n"));
        scpi.send(QStringLiteral("INP:DIQ:SRAT ") + g6(settings.digiIqSampleRate)
                  + QStringLiteral("MHz;*OPC?\n"));
    }
}

void setAnalogInput(ScpiExchange &scpi, const AppSettings &settings, const DeviceType &row)
{
    if (!row.is(Id::Rowan) || settings.iqInput != InputCode::analogIq)
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

QString triggerText(const AppSettings &settings)
{
    return settings.triggerMode + QLatin1Char(',') + settings.triggerSlope + QLatin1Char(',');
}

// A failure here does not end the sequence for the rows that ask for a sample count.
void setUpTrace(ScpiExchange &scpi, const AppSettings &settings, const DeviceType &row)
{
    if (usesRecordLength(row)) {
        scpi.send(QStringLiteral("TRAC:IQ:SET RAW,8MHz,") + intText(settings.sampleRate)
                  + QStringLiteral("Hz,") + triggerText(settings) + g6(settings.triggerOffset)
                  + QStringLiteral("ms,") + g6(settings.recordLength)
                  + QStringLiteral("ms;*OPC?\n"));
        return;
    }
    if (scpi.send(QStringLiteral("SYST:ERR?\n"))
        && scpi.send(QStringLiteral("TRAC:IQ:SET NORM,") + intText(settings.resolutionBandwidth)
                     + QStringLiteral("Hz,") + intText(settings.sampleRate) + QStringLiteral("Hz,")
                     + triggerText(settings) + dec(settings.preTriggerSamples) + QLatin1Char(',')
                     + dec(settings.sampleCount) + QStringLiteral(";*OPC?\n")))
        scpi.send(QStringLiteral("SYST:ERR?\n"));
    scpi.forgive();
}

AcquisitionStatus readIqData(InstrumentContext &context, IqBuffer &record, double scale)
{
    const DeviceType &row = context.row();
    const uint64_t expected = expectedSamples(context.settings, row);
    if (!prepareArrays(record, expected)) {
        dropSamples(record);
        return AcquisitionStatus::NoMemory;
    }
    // Alder sends millivolts.
    if (usesRecordLength(row))
        scale *= 1000.0;
    setTimeout(context.session, dataReadTimeoutMs(expected, context.settings.sampleRate));
    // The instrument may be silent for as long as the record lasts: the wait is shown under
    // the read's own title.
    context.progress.begin(sendsSplitBlock(row) ? QStringLiteral("Reading I values...")
                                                : QStringLiteral("Reading IQ values..."));
    const ViStatus written = writeCommand(context.session, QStringLiteral("TRAC:IQ:DATA?\n"));
    if (written < VI_SUCCESS) {
        dropSamples(record);
        return statusFromVisa(written);
    }
    const ViSession session = context.session;
    const ByteReader read = [session](unsigned char *buffer, ViUInt32 count, ViUInt32 &got) {
        return readRaw(session, buffer, count, got);
    };
    AcquisitionStatus status;
    {
        const TermCharSuspension binaryRead(session);
        uint64_t length = 0;
        status = readBlockHeader(read, hasParenthesisedHeader(expected), length);
        // More than was asked for would not fit the arrays: refused, never cut.
        if (status == AcquisitionStatus::Success && length / 8 > expected)
            status = AcquisitionStatus::BadBlock;
        if (status == AcquisitionStatus::Success)
            status = readBlockBody(read, length,
                                   sendsSplitBlock(row) ? BlockLayout::Split : BlockLayout::Pairs,
                                   scale, record, context.progress);
    }
    if (status != AcquisitionStatus::Success)
        dropSamples(record);
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
        if (selectsChannel(row) && scpi.send(QStringLiteral("INST:NSEL?;*WAI\n"), channel)
            && channel.trimmed().toInt() != 1)
            scpi.send(QStringLiteral("INST:NSEL 1;*OPC?\n"));
        queryLevels(scpi, settings, row);
        const double scale = levelScale(scpi, settings, row);
        selectInput(scpi, settings, row);
        setAnalogInput(scpi, settings, row);
        if (sendsPairFormat(row))
            scpi.send(QStringLiteral("TRAC:IQ:DATA:FORM IQP;*OPC?\n"));
        scpi.send(QStringLiteral("SYST:COMM:GPIB:RTER EOI;*OPC?\n"));
        if (scpi.ok())
            setUpTrace(scpi, settings, row);
        scpi.send(QStringLiteral("FORM REAL, 32;*OPC?\n"));
        if (!scpi.ok())
            return scpi.outcome();
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
