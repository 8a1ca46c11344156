#include "framewriters.h"

#include "binaryoutput.h"

HeaderedWriter::HeaderedWriter(const QString &path, WriterHeader header)
    : m_out(path)
    , m_path(path)
    , m_header(std::move(header))
{}

IqStatus HeaderedWriter::begin(const IqBuffer &facts, int64_t total, const FrameSummary *)
{
    QByteArray header;
    if (m_header)
        if (const IqStatus s = m_header(facts, total, header); failed(s))
            return s;
    m_total = total;
    m_headerBytes = header.size();
    m_out.write(header.constData(), size_t(header.size()));
    return m_out.ok() ? IqStatus::Ok : IqStatus::FirstFile;
}

IqStatus HeaderedWriter::write(int64_t count, const ConstFrameSpan &in)
{
    if (count < 0 || count > m_total - m_written)
        return checkFramesWritten(m_written + count, m_total, m_path);
    put(count, in);
    m_written += count;
    return m_out.ok() ? IqStatus::Ok : IqStatus::FirstFile;
}

IqStatus HeaderedWriter::finish()
{
    if (const IqStatus s = checkFramesWritten(m_written, m_total, m_path); failed(s))
        return s;
    return m_out.commit() ? IqStatus::Ok : IqStatus::FirstFile;
}

void FloatBlocksWriter::put(int64_t count, const ConstFrameSpan &in)
{
    binaryoutput::writeFloatsAt(m_out, m_headerBytes + 4 * m_written, in.i, in.stride, count);
    binaryoutput::writeFloatsAt(m_out, m_headerBytes + 4 * (m_total + m_written), in.q, in.stride,
                                count);
}

template<typename T>
void PairsWriter<T>::put(int64_t count, const ConstFrameSpan &in)
{
    constexpr size_t kFrameBytes = 2 * sizeof(T);
    // Interleaved float frames on a little-endian host are the file's bytes already.
    if constexpr (std::is_same_v<T, float> && sampleconvert::kHostLittle)
        if (sampleconvert::isInterleaved(in.i, in.q, in.stride))
            return m_out.write(in.i, size_t(count) * kFrameBytes);
    for (int64_t k = 0; k < count; k += binaryoutput::kBlockItems) {
        const int64_t m = std::min(binaryoutput::kBlockItems, count - k);
        auto *p = reinterpret_cast<unsigned char *>(m_out.reserve(size_t(m) * kFrameBytes));
        const ConstFrameSpan from = in.from(k);
        sampleconvert::joinPairsStrided<T>(p, from.i, from.q, from.stride, m);
        m_out.advance(size_t(m) * kFrameBytes);
    }
}

template class PairsWriter<float>;
template class PairsWriter<double>;

std::unique_ptr<FrameWriter> openedWriter(std::unique_ptr<HeaderedWriter> writer,
                                          IqStatus &status)
{
    status = writer->isOpen() ? IqStatus::Ok : IqStatus::FirstFile;
    if (status != IqStatus::Ok)
        return nullptr;
    return writer;
}
