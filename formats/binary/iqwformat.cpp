#include "iqwformat.h"

#include "binaryinput.h"
#include "binaryoutput.h"
#include "filetypes.h"
#include "floatblockswriter.h"
#include "framecodec.h"

#include <algorithm>

namespace {

bool isBlocks(int typeCode)
{
    return typeCode == TypeCode::IqwBlocks;
}

class IqwReader : public FrameReader
{
public:
    IqwReader(const QString &path, bool blocks)
        : m_in(path)
        , m_blocks(blocks)
        , m_count(m_in.size() / 8)
    {}
    bool isOpen() const { return m_in.isOpen(); }
    int64_t frameCount() const override { return m_count; }
    void describe(IqBuffer &) const override {}  // no header: the file says nothing but samples

    IqStatus read(int64_t first, int64_t count, const FrameSpan &out) override
    {
        if (const IqStatus s = checkFrameRange(first, count, m_count, m_in.path()); failed(s))
            return s;
        const bool ok
                = m_blocks ? readChannel(4 * first, count, out.i, out.stride)
                                     && readChannel(4 * (m_count + first), count, out.q, out.stride)
                           : readPairs(first, count, out);
        return ok ? IqStatus::Ok : IqStatus::FirstFile;
    }

private:
    bool readPairs(int64_t first, int64_t count, const FrameSpan &out)
    {
        if (!m_in.seek(8 * first))
            return false;
        if (sampleconvert::kHostLittle && sampleconvert::isInterleaved(out.i, out.q, out.stride))
            return m_in.readExact(out.i, 8 * count);  // the file's bytes are the frames
        return m_in.readItems(count, 8, [&out](const unsigned char *b, int64_t at, int64_t m) {
            const FrameSpan to = out.from(at);
            sampleconvert::splitPairsStrided<float>(to.i, to.q, to.stride, b, m);
        });
    }

    bool readChannel(int64_t offset, int64_t count, float *x, std::ptrdiff_t stride)
    {
        if (!m_in.seek(offset))
            return false;
        if (stride == 1) {
            if (!m_in.readExact(x, 4 * count))
                return false;
            sampleconvert::floatsFromLeInPlace(x, count);
            return true;
        }
        return m_in.readItems(count, 4, [x, stride](const unsigned char *b, int64_t at, int64_t m) {
            sampleconvert::toFloatsStrided<float>(x + at * stride, stride, b, m, 4);
        });
    }

    BinaryInput m_in;
    bool m_blocks;
    int64_t m_count;
};

// Pairs go front to back, so a pipe can take them.
class IqwPairsWriter : public FrameWriter
{
public:
    explicit IqwPairsWriter(const QString &path)
        : m_out(path)
        , m_path(path)
    {}
    bool isOpen() const { return m_out.isOpen(); }

    IqStatus begin(const IqBuffer &, int64_t total, const FrameSummary *) override
    {
        m_total = total;
        return IqStatus::Ok;
    }

    IqStatus write(int64_t count, const ConstFrameSpan &in) override
    {
        if (count < 0 || count > m_total - m_written)
            return checkFramesWritten(m_written + count, m_total, m_path);
        writePairs(in, count);
        m_written += count;
        return m_out.ok() ? IqStatus::Ok : IqStatus::FirstFile;
    }

    IqStatus finish() override
    {
        if (const IqStatus s = checkFramesWritten(m_written, m_total, m_path); failed(s))
            return s;
        return m_out.commit() ? IqStatus::Ok : IqStatus::FirstFile;
    }

private:
    void writePairs(const ConstFrameSpan &in, int64_t count)
    {
        if (sampleconvert::kHostLittle && sampleconvert::isInterleaved(in.i, in.q, in.stride))
            return m_out.write(in.i, size_t(count) * 8);
        for (int64_t k = 0; k < count; k += binaryoutput::kBlockItems) {
            const int64_t m = std::min(binaryoutput::kBlockItems, count - k);
            auto *p = reinterpret_cast<unsigned char *>(m_out.reserve(size_t(m) * 8));
            const ConstFrameSpan from = in.from(k);
            sampleconvert::joinPairsStrided<float>(p, from.i, from.q, from.stride, m);
            m_out.advance(size_t(m) * 8);
        }
    }

    OutputFile m_out;
    QString m_path;
    int64_t m_total = 0;
    int64_t m_written = 0;
};

std::unique_ptr<FrameReader> openIqwReader(const QString &iFile, const QString &, int typeCode,
                                           IqStatus &status)
{
    auto reader = std::make_unique<IqwReader>(iFile, isBlocks(typeCode));
    status = reader->isOpen() ? IqStatus::Ok : IqStatus::FirstFile;
    return status == IqStatus::Ok ? std::move(reader) : nullptr;
}

std::unique_ptr<FrameWriter> openIqwWriter(const QString &iFile, const QString &, int typeCode,
                                           IqStatus &status)
{
    if (isBlocks(typeCode))  // no header: the blocks start at byte 0
        return openedWriter(std::make_unique<FloatBlocksWriter>(iFile), status);
    auto writer = std::make_unique<IqwPairsWriter>(iFile);
    status = writer->isOpen() ? IqStatus::Ok : IqStatus::FirstFile;
    return status == IqStatus::Ok ? std::move(writer) : nullptr;
}

}  // namespace

const FrameCodec &iqwFrameCodec()
{
    static const FrameCodec codec{openIqwReader, openIqwWriter};
    return codec;
}
