#include "wvformat.h"

#include "channelreader.h"
#include "failuredetail.h"
#include "outputfile.h"
#include "wavpcm.h"

#include <QFile>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMaxHeaderBytes = 4 << 20;  // real headers are a few hundred bytes
constexpr int kReadStep = 4096;

QByteArray fixed3(double v)
{
    return QByteArray::number(v, 'f', 3);
}

int64_t truncatedClock(double rate)
{
    if (!(rate == rate))
        return 0;
    return int64_t(std::clamp(rate, -9.2e18, 9.2e18));
}

}  // namespace

QByteArray wvTagValue(const QByteArray &text, const char *key)
{
    const int start = text.indexOf(key);
    if (start < 0)
        return QByteArray();
    const int from = start + int(qstrlen(key));
    const int end = text.indexOf('}', from);
    if (end < 0)
        return QByteArray();
    QByteArray value = text.mid(from, end - from);
    value.replace(' ', QByteArray()).replace('\t', QByteArray());
    return value;
}

namespace {

// The header text from the start of the device: up to and including the first "#", or the
// second one when that text names an EMPTYTAG.
IqStatus readHeaderText(QIODevice &device, QByteArray &text)
{
    text.clear();
    if (!device.seek(0))
        return failReading(IqStatus::FirstFile, device, QStringLiteral("cannot be read"));
    int hashesWanted = 1, hashesSeen = 0;
    while (text.size() < kMaxHeaderBytes) {
        const QByteArray part = device.read(kReadStep);
        if (part.isEmpty())
            return failReading(IqStatus::FirstFile, device,
                               QStringLiteral("not a WV file: the header (%1 bytes) has no '#' "
                                              "before the samples")
                                       .arg(text.size()));
        for (int k = 0; k < part.size(); ++k) {
            if (part[k] != '#')
                continue;
            ++hashesSeen;
            const QByteArray upTo = text + part.left(k + 1);
            if (hashesSeen == 1 && upTo.contains("EMPTYTAG"))
                hashesWanted = 2;
            if (hashesSeen == hashesWanted) {
                text = upTo;
                return IqStatus::Ok;
            }
        }
        text += part;
    }
    return failOn(IqStatus::FirstFile, device,
                  QStringLiteral("not a WV file: no '#' in the first %1 bytes").arg(text.size()));
}

// WWAVEFORM marks an enciphered file; without a readable SAMPLES tag there is no count.
IqStatus parseHeaderText(const QByteArray &text, WvHeader &header)
{
    if (text.contains("WWAVEFORM"))
        return IqStatus::Scrambled;
    bool ok = false;
    header.count = wvTagValue(text, "SAMPLES:").toULongLong(&ok);
    if (!ok)
        return IqStatus::FirstFile;
    const QByteArray clock = wvTagValue(text, "CLOCK:");
    header.clock = clock.toDouble(&header.hasClock);
    header.dataOffset = text.size();
    return IqStatus::Ok;
}

}  // namespace

IqStatus parseWvHeader(QIODevice &device, WvHeader &header)
{
    QByteArray text;
    if (const IqStatus status = readHeaderText(device, text); failed(status))
        return status;
    if (const IqStatus status = parseHeaderText(text, header); failed(status))
        return failOn(status, device,
                      status == IqStatus::Scrambled
                              ? QStringLiteral("the waveform is scrambled (WWAVEFORM tag)")
                              : QStringLiteral("the header has no SAMPLES tag with a count"));
    const int64_t present = std::max<int64_t>(0, device.size() - header.dataOffset) / 4;
    if (header.count > uint64_t(present))
        return failOn(IqStatus::FirstFile, device,
                      QStringLiteral("header announces %1 samples, the file holds %2")
                              .arg(header.count)
                              .arg(present));
    return IqStatus::Ok;
}

QDateTime headerDate(const IqBuffer &record)
{
    return record.captureTime.isValid() ? record.captureTime.toLocalTime()
                                        : QDateTime::currentDateTime();
}

QByteArray wvHeaderText(int64_t count, double sampleRate, double peak, double rms,
                        const QDateTime &now)
{
    // peak >= rms always; the clamp keeps rounding from printing -0.000 for a constant envelope.
    const double crest
            = peak > 0.0 && rms > 0.0 ? std::max(0.0, 20.0 * std::log10(peak / rms)) : 0.0;
    const QDate d = now.date();
    const QTime t = now.time();
    QByteArray h = "{TYPE:Genova-WV,0}{COPYRIGHT:" + QByteArray::number(d.year())
                   + " Vantorp Genova} {DATE:";
    h += QByteArray::number(d.year()) + '-' + QByteArray::number(d.month()) + '-'
         + QByteArray::number(d.day());
    h += ';' + QByteArray::number(t.hour()) + ':' + QByteArray::number(t.minute()) + ':'
         + QByteArray::number(t.second()) + '}';
    h += "{LEVEL OFFS:" + fixed3(crest) + ',' + fixed3(peak) + '}';
    h += "{SAMPLES:" + QByteArray::number(qlonglong(count))
         + "} {CLOCK:" + QByteArray::number(qlonglong(truncatedClock(sampleRate))) + '}';
    h += "{WAVEFORM-" + QByteArray::number(qlonglong(4 * count + 1)) + ":#";
    return h;
}

namespace {

std::unique_ptr<FrameReader> openWvReader(const QString &iFile, const QString &, int,
                                          IqStatus &status)
{
    QFile file(iFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        status = failDevice(IqStatus::FirstFile, file);
        return nullptr;
    }
    WvHeader h;
    if (failed(status = parseWvHeader(file, h)))
        return nullptr;
    auto reader = std::make_unique<PairReader>(
            iFile, int64_t(h.count), h.dataOffset, 4,
            [](const unsigned char *src, int64_t n, const FrameSpan &out) {
                decodePcmPairs(src, n, out.i, out.q, out.stride, PcmDecode::Int16);
            },
            [h](IqBuffer &r) {
                if (h.hasClock)
                    r.sampleRate = h.clock;
            });
    return openedReader(std::move(reader), status);
}

// The header states the peak and the power of all frames, so the summary comes first; the
// samples are scaled so the peak reaches 32767.
class WvWriter : public FrameWriter
{
public:
    explicit WvWriter(const QString &path)
        : m_path(path)
        , m_out(path)
    {}
    bool isOpen() const { return m_out.isOpen(); }
    bool needsSummary() const override { return true; }

    IqStatus begin(const IqBuffer &facts, int64_t total, const FrameSummary *summary) override
    {
        if (!summary || total < 0)
            return failFile(IqStatus::FirstFile, m_path,
                            QStringLiteral("the header needs the record's peak and power first"));
        m_total = total;
        const double peak = summary->peakMagnitude;
        const double rms = total > 0 ? std::sqrt(summary->powerSum / double(total)) : 0.0;
        m_factor = peak > 0.0 && std::isfinite(peak) ? 32767.0 / peak : 0.0;
        m_out.write(wvHeaderText(total, facts.sampleRate, peak, rms, headerDate(facts)));
        return m_out.ok() ? IqStatus::Ok : IqStatus::FirstFile;
    }

    IqStatus write(int64_t count, const ConstFrameSpan &in) override
    {
        if (count < 0 || count > m_total - m_written)
            return checkFramesWritten(m_written + count, m_total, m_path);
        m_written += count;
        writePcmRounded(m_out, in.i, in.q, count, m_factor, in.stride);
        return m_out.ok() ? IqStatus::Ok : IqStatus::FirstFile;
    }

    IqStatus finish() override
    {
        if (const IqStatus s = checkFramesWritten(m_written, m_total, m_path); failed(s))
            return s;
        m_out.put('}');  // closes the waveform tag
        return m_out.commit() ? IqStatus::Ok : IqStatus::FirstFile;
    }

private:
    QString m_path;
    OutputFile m_out;
    double m_factor = 0.0;
    int64_t m_total = 0;
    int64_t m_written = 0;
};

std::unique_ptr<FrameWriter> openWvWriter(const QString &iFile, const QString &, int,
                                          IqStatus &status)
{
    auto writer = std::make_unique<WvWriter>(iFile);
    status = writer->isOpen() ? IqStatus::Ok : IqStatus::FirstFile;
    return status == IqStatus::Ok ? std::move(writer) : nullptr;
}

}  // namespace

const FrameCodec &wvFrameCodec()
{
    static const FrameCodec codec{openWvReader, openWvWriter};
    return codec;
}
