#pragma once

#include "framecodec.h"
#include "outputfile.h"

#include <QByteArray>

#include <functional>

// Frames as two blocks of little-endian 32-bit floats behind an optional header: all I values,
// then all Q values. The Q block starts behind all I values, so the count must be known at
// begin, and the two blocks are filled side by side in a file that can seek.
class FloatBlocksWriter : public FrameWriter
{
public:
    // The header's bytes for the facts and the count, or a failure (noted) that ends the write.
    using Header = std::function<IqStatus(const IqBuffer &facts, int64_t total, QByteArray &out)>;

    explicit FloatBlocksWriter(const QString &path, Header header = {});
    bool isOpen() const { return m_out.isOpen(); }

    IqStatus begin(const IqBuffer &facts, int64_t total, const FrameSummary *) override;
    IqStatus write(int64_t count, const ConstFrameSpan &in) override;
    IqStatus finish() override;

private:
    void writeChannel(int64_t offset, const float *x, std::ptrdiff_t stride, int64_t count);

    QString m_path;
    OutputFile m_out;
    Header m_header;
    int64_t m_headerBytes = 0;
    int64_t m_total = 0;
    int64_t m_written = 0;
};

// The writer when its file opened, else nothing and FirstFile in status.
std::unique_ptr<FrameWriter> openedWriter(std::unique_ptr<FloatBlocksWriter> writer,
                                          IqStatus &status);
