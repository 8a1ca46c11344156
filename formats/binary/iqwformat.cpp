#include "iqwformat.h"

#include "binaryinput.h"
#include "filetypes.h"
#include "framewriters.h"
#include "sampleconvert.h"
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
        return openedWriter(std::make_unique<FloatBlocksWriter>(iFile, WriterHeader()), status);
    return openedWriter(std::make_unique<PairsWriter<float>>(iFile, WriterHeader()), status);
}

}  // namespace

const FrameCodec &iqwFrameCodec()
{
    static const FrameCodec codec{openIqwReader, openIqwWriter};
    return codec;
}
