#include "framecodec.h"
#include "sigmf.h"

#include <cerrno>

namespace {

class SigmfReader : public FrameReader
{
public:
    IqStatus open(const QString &name)
    {
        m_name = name;
        return m_source.open(name);
    }
    int64_t frameCount() const override { return m_source.count(); }
    void describe(IqBuffer &record) const override { m_source.describe(record); }

    IqStatus read(int64_t first, int64_t count, const FrameSpan &out) override
    {
        if (const IqStatus s = checkFrameRange(first, count, m_source.count(), m_name); failed(s))
            return s;
        m_source.seek(first);
        if (m_source.read(out.i, out.q, count, out.stride))
            return IqStatus::Ok;
        return failFile(IqStatus::FirstFile, m_name, QStringLiteral("the data cannot be read"));
    }

private:
    SigmfSource m_source;
    QString m_name;
};

// The sink is made at begin(): an archive's data member states its size before the data.
class SigmfWriter : public FrameWriter
{
public:
    explicit SigmfWriter(const QString &name)
        : m_name(name)
    {}

    IqStatus begin(const IqBuffer &facts, int64_t total, const FrameSummary *) override
    {
        m_facts = facts;
        releaseSamples(m_facts);  // the facts only: the caller's arrays are not held
        m_facts.sampleCount = total;
        m_sink = std::make_unique<SigmfSink>(m_name, total);
        if (!m_sink->isOpen())
            return failFile(IqStatus::FirstFile, m_name, systemErrorText(errno));
        return IqStatus::Ok;
    }

    IqStatus write(int64_t count, const ConstFrameSpan &in) override
    {
        if (!m_sink || count < 0 || count > m_facts.sampleCount - m_written)
            return checkFramesWritten(m_written + count, m_facts.sampleCount, m_name);
        m_sink->write(in.i, in.q, count, in.stride);
        m_written += count;
        return m_sink->ok() ? IqStatus::Ok : IqStatus::FirstFile;
    }

    IqStatus finish() override
    {
        if (!m_sink)
            return failFile(IqStatus::FirstFile, m_name, QStringLiteral("nothing was begun"));
        if (const IqStatus s = checkFramesWritten(m_written, m_facts.sampleCount, m_name);
            failed(s))
            return s;
        return m_sink->finish(m_facts);
    }

private:
    QString m_name;
    IqBuffer m_facts;
    std::unique_ptr<SigmfSink> m_sink;
    int64_t m_written = 0;
};

std::unique_ptr<FrameReader> openSigmfReader(const QString &iFile, const QString &, int,
                                             IqStatus &status)
{
    auto reader = std::make_unique<SigmfReader>();
    status = reader->open(iFile);
    return status == IqStatus::Ok ? std::move(reader) : nullptr;
}

std::unique_ptr<FrameWriter> openSigmfWriter(const QString &iFile, const QString &, int,
                                             IqStatus &status)
{
    status = IqStatus::Ok;
    return std::make_unique<SigmfWriter>(iFile);
}

}  // namespace

const FrameCodec &sigmfFrameCodec()
{
    static const FrameCodec codec{openSigmfReader, openSigmfWriter};
    return codec;
}
