#include "rawrecording.h"

#include "channelreader.h"
#include "filefailure.h"
#include "outputfile.h"
#include "wavpcm.h"
#include "wvformat.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace {

constexpr qint64 kMaxHeaderBytes = 1 << 20;  // the recorder writes about 300 bytes

bool takeDouble(const QByteArray &text, const char *key, double &out)
{
    bool ok = false;
    const double v = wvTagValue(text, key).toDouble(&ok);
    if (ok)
        out = v;
    return ok;
}

double rawFactor(float iMin, float iMax, float qMin, float qMax)
{
    const double p = std::max({std::fabs(double(iMin)), std::fabs(double(iMax)),
                               std::fabs(double(qMin)), std::fabs(double(qMax))});
    return p > 0.0 && std::isfinite(p) ? 32767.0 / p : 0.0;
}

}  // namespace

QString rawHeaderPath(const QString &dataPath)
{
    const QFileInfo info(dataPath);
    const QString name = info.fileName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return info.path() + QLatin1Char('/') + (dot < 0 ? name : name.left(dot))
           + QStringLiteral(".wvh");
}

void parseRawHeader(const QByteArray &text, IqBuffer &record)
{
    double refLevel = record.refLevel;
    takeDouble(text, "CLOCK:", record.sampleRate);
    takeDouble(text, "REFLEVEL:", refLevel);
    record.centerFrequencyKnown = takeDouble(text, "FREQUENCY:", record.centerFrequency);
    record.refLevel = float(refLevel);
}

QByteArray rawHeaderText(const IqBuffer &record, const QDateTime &now)
{
    const QDate d = now.date();
    const QTime t = now.time();
    QByteArray h = "{TYPE:RAW16LE}{DATE:";
    h += QByteArray::number(d.year()) + '-' + QByteArray::number(d.month()) + '-'
         + QByteArray::number(d.day());
    h += ';' + QByteArray::number(t.hour()) + ':' + QByteArray::number(t.minute()) + ':'
         + QByteArray::number(t.second()) + '}';
    h += "{COPYRIGHT:2009 Vantorp Recordia}{COMMENT:Trovik                }{FWVERSION:4.10.04}";
    h += "{CLOCK:" + QByteArray::number(record.sampleRate, 'f', 6) + "}{RESOLUTION:16}";
    h += "{SAMPLES:" + QByteArray::number(qlonglong(record.sampleCount)) + "}{COMPONENTS:IQ}";
    h += "{REFLEVEL:" + QByteArray::number(double(record.refLevel), 'f', 3) + '}';
    h += "{FREQUENCY:" + QByteArray::number(record.centerFrequency, 'f', 1) + '}';
    return h;
}

namespace {

std::unique_ptr<FrameReader> openRawReader(const QString &iFile, const QString &, int,
                                           IqStatus &status)
{
    QFile header(rawHeaderPath(iFile));
    if (!header.open(QIODevice::ReadOnly)) {
        status = failFile(IqStatus::FirstFile, header.fileName(),
                          QStringLiteral("header file: ") + header.errorString());
        return nullptr;
    }
    const QByteArray text = header.read(kMaxHeaderBytes);
    QFile data(iFile);
    if (!data.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        status = failFile(IqStatus::FirstFile, iFile, data.errorString());
        return nullptr;
    }
    auto reader = std::make_unique<PairReader>(
            iFile, data.size() / 4, 0, 4,
            [](const unsigned char *src, int64_t n, const FrameSpan &out) {
                decodePcmPairs(src, n, out.i, out.q, out.stride, PcmDecode::RawNormalized);
            },
            [text](IqBuffer &r) { parseRawHeader(text, r); });
    return openedReader(std::move(reader), status);
}

// Codes scaled to the largest channel extreme of the whole record (the summary comes first);
// the header file is put in place only beside a complete data file.
class RawWriter : public FrameWriter
{
public:
    explicit RawWriter(const QString &path)
        : m_path(path)
        , m_header(rawHeaderPath(path), 4096)
        , m_data(path)
    {}
    IqStatus openStatus() const
    {
        return m_header.isOpen() && m_data.isOpen() ? IqStatus::Ok : IqStatus::FirstFile;
    }
    bool needsSummary() const override { return true; }

    IqStatus begin(const IqBuffer &facts, int64_t total, const FrameSummary *summary) override
    {
        if (!summary || total < 0)
            return failFile(IqStatus::FirstFile, m_path,
                            QStringLiteral("the scale needs the record's extremes first"));
        m_total = total;
        m_factor = rawFactor(summary->iMin, summary->iMax, summary->qMin, summary->qMax);
        IqBuffer described = facts;
        described.sampleCount = total;
        m_header.write(rawHeaderText(described, headerDate(facts)));
        return m_header.ok() ? IqStatus::Ok : IqStatus::FirstFile;
    }

    IqStatus write(int64_t count, const ConstFrameSpan &in) override
    {
        if (count < 0 || count > m_total - m_written)
            return checkFramesWritten(m_written + count, m_total, m_path);
        m_written += count;
        writePcmRounded(m_data, in.i, in.q, count, m_factor, in.stride);
        return m_data.ok() ? IqStatus::Ok : IqStatus::FirstFile;
    }

    IqStatus finish() override
    {
        if (const IqStatus s = checkFramesWritten(m_written, m_total, m_path); failed(s))
            return s;
        if (!m_data.commit())
            return IqStatus::FirstFile;
        return m_header.commit() ? IqStatus::Ok : IqStatus::FirstFile;
    }

private:
    QString m_path;
    OutputFile m_header;
    OutputFile m_data;
    double m_factor = 0.0;
    int64_t m_total = 0;
    int64_t m_written = 0;
};

std::unique_ptr<FrameWriter> openRawWriter(const QString &iFile, const QString &, int,
                                           IqStatus &status)
{
    auto writer = std::make_unique<RawWriter>(iFile);
    status = writer->openStatus();
    return status == IqStatus::Ok ? std::move(writer) : nullptr;
}

}  // namespace

const FrameCodec &rawFrameCodec()
{
    static const FrameCodec codec{openRawReader, openRawWriter};
    return codec;
}
