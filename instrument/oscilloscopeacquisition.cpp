// The oscilloscope: I/Q settings of one channel, a single run, then the channel's I/Q block
// (pairs of float32, read through a private temporary file).
#include "acquisitionfamily.h"
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

AcquisitionStatus storeValues(const std::vector<double> &values, IqBuffer &record)
{
    const int64_t count = int64_t(values.size() / 2);
    if (allocateSamples(record, count) != IqStatusCode::Ok) {
        dropSamples(record);
        return AcquisitionStatus::NoMemory;
    }
    for (int64_t k = 0; k < count; ++k) {
        record.iData[k] = float(values[size_t(2 * k)]);
        record.qData[k] = float(values[size_t(2 * k + 1)]);
    }
    record.sampleCount = count;
    return AcquisitionStatus::Success;
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
        std::vector<double> values;
        if (!queryBlock(context.session, channel + QStringLiteral(":IQ:DATA?\n"), values)) {
            dropSamples(record);
            noteAcquisitionFact(
                    QStringLiteral("no complete block in the reply to %1:IQ:DATA?").arg(channel));
            return AcquisitionStatus::BadBlock;
        }
        if (values.size() / 2 < s.oscRecordLength)
            noteAcquisitionWarning(QStringLiteral("received %1 of %2 samples")
                                           .arg(values.size() / 2)
                                           .arg(s.oscRecordLength));
        return storeValues(values, record);
    }
};

}  // namespace

const AcquisitionFamily &oscilloscopeAcquisition()
{
    static const OscilloscopeAcquisition family;
    return family;
}
