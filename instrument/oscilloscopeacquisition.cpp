// The oscilloscope: I/Q settings of one channel, a single run, then the channel's I/Q block
// (pairs of float32, read in pieces straight into the record, with progress).
#include "acquisitionfamily.h"
#include "iqblockreader.h"
#include "scpiexchange.h"
#include "visasession.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

const char *const kInputTypes[] = {"REAL", "COMPLEX"};
const char *const kInputModes[] = {"BAS", "RFIF"};
const char *const kRfSidebands[] = {"INV", "NORM"};
const char *const kIfSidebands[] = {"NUPP", "NLOW", "IUPP", "ILOW"};

template<size_t N>
QString word(const char *const (&words)[N], int32_t index)
{
    return QString::fromLatin1(words[index >= 0 && size_t(index) < N ? size_t(index) : 0]);
}

// The channel's block, "#", n, n digits, L bytes of float32 pairs, read straight into the
// record's arrays: the values are kept as they came (no scaling), L / 8 pairs.
AcquisitionStatus readChannelBlock(InstrumentContext &context, const QString &query,
                                   IqBuffer &record)
{
    const ViSession session = context.session;
    context.progress.begin(QStringLiteral("Reading IQ values..."));
    const ViStatus written = writeCommand(session, query);
    if (written < VI_SUCCESS)
        return statusFromVisa(written);
    const ByteReader read = [session](unsigned char *buffer, ViUInt32 count, ViUInt32 &got) {
        return readRaw(session, buffer, count, got);
    };
    const TermCharSuspension binaryRead(session);
    uint64_t length = 0;
    AcquisitionStatus status = readBlockHeader(read, false, length);
    if (status != AcquisitionStatus::Success)
        return status;
    if (!prepareArrays(record, length / 8))
        return AcquisitionStatus::NoMemory;
    return readBlockBody(read, length, BlockLayout::Pairs, 1.0, record, context.progress);
}

class OscilloscopeAcquisition : public AcquisitionFamily
{
public:
    AcquisitionStatus acquire(InstrumentContext &context, IqBuffer &record) const override
    {
        const AppSettings &s = context.settings;
        const QString channel = QStringLiteral("CHAN") + dec(s.channel);
        const QString opc = QStringLiteral(";*OPC?\n");
        const bool real = s.iqInputType == 0;
        const bool complexRfIf = s.iqInputType == 1 && s.iqInputMode == 1;
        ScpiExchange scpi(context.session);
        scpi.send(QStringLiteral("*CLS;*OPC?\n"));
        scpi.send(QStringLiteral("SYST:ERR:ALL?\n"));
        scpi.send(QStringLiteral("IQ:STAT ON;*OPC?\n"));
        scpi.send(channel + QStringLiteral(":IQ:INPT ") + word(kInputTypes, s.iqInputType) + opc);
        scpi.send(channel + QStringLiteral(":IQ:INPM ") + word(kInputModes, s.iqInputMode) + opc);
        scpi.send(QStringLiteral("IQ:RBW ") + g6(s.relativeBandwidth) + opc);
        scpi.send(QStringLiteral("IQ:SRAT ") + g6(s.sampleRate) + QStringLiteral("Hz") + opc);
        scpi.send(QStringLiteral("IQ:RLEN ") + dec(s.oscRecordLength) + opc);
        if (real || complexRfIf) {
            scpi.send(channel + QStringLiteral(":IQ:CFR ") + g6(s.centerFrequency) + opc);
            // The instrument works at the frequency as sent, to six digits.
            context.centerFrequencyKnown = true;
            context.centerFrequency = g6(s.centerFrequency).toDouble();
        }
        if (real)
            scpi.send(channel + QStringLiteral(":IQ:SBRF ") + word(kRfSidebands, s.iqSidebandRf)
                      + opc);
        if (complexRfIf)
            scpi.send(channel + QStringLiteral(":IQ:SBIF ") + word(kIfSidebands, s.iqSidebandIf)
                      + opc);
        context.captureTime = QDateTime::currentDateTimeUtc();
        scpi.send(QStringLiteral("RUNS;*OPC?\n"));
        if (!scpi.ok())
            return scpi.outcome();
        setTimeout(context.session, dataReadTimeoutMs(s.oscRecordLength, s.sampleRate));
        const AcquisitionStatus status
                = readChannelBlock(context, channel + QStringLiteral(":IQ:DATA?\n"), record);
        if (status != AcquisitionStatus::Success) {
            dropSamples(record);
            if (status != AcquisitionStatus::Cancelled)
                noteAcquisitionFact(QStringLiteral("no complete block in the reply to %1:IQ:DATA?")
                                            .arg(channel));
            return status;
        }
        if (uint64_t(record.sampleCount) < uint64_t(s.oscRecordLength))
            noteAcquisitionWarning(QStringLiteral("received %1 of %2 samples")
                                           .arg(record.sampleCount)
                                           .arg(s.oscRecordLength));
        return status;
    }
};

}  // namespace

const AcquisitionFamily &oscilloscopeAcquisition()
{
    static const OscilloscopeAcquisition family;
    return family;
}
