#pragma once

#include "framecodec.h"
#include "outputfile.h"

#include <QByteArray>

#include <functional>

// The writers of the plain binary layouts: a header, then the frames in one of two shapes. A
// format module gives the header; the counting, the checks and the commit are shared here.

// The header's bytes for the facts and the count, or a failure (noted) that ends the write.
using WriterHeader
        = std::function<IqStatus(const IqBuffer &facts, int64_t total, QByteArray &out)>;

// Writes the header at begin and commits at finish when every announced frame came.
class HeaderedWriter : public FrameWriter
{
public:
    HeaderedWriter(const QString &path, WriterHeader header);
    bool isOpen() const { return m_out.isOpen(); }

    IqStatus begin(const IqBuffer &facts, int64_t total, const FrameSummary *) override;
    IqStatus write(int64_t count, const ConstFrameSpan &in) override;
    IqStatus finish() override;

protected:
    // The next count frames; frames before them: written, the header's size: headerBytes.
    virtual void put(int64_t count, const ConstFrameSpan &in) = 0;

    OutputFile m_out;
    int64_t m_headerBytes = 0;
    int64_t m_total = 0;
    int64_t m_written = 0;

private:
    QString m_path;
    WriterHeader m_header;
};

// Two blocks of little-endian 32-bit floats: all I values, then all Q values. The Q block
// starts behind all I values, so the two blocks are filled side by side in a file that seeks.
class FloatBlocksWriter : public HeaderedWriter
{
public:
    using HeaderedWriter::HeaderedWriter;

private:
    void put(int64_t count, const ConstFrameSpan &in) override;
};

// Frame after frame, I then Q, each a little-endian T (float or double): front to back, so a
// pipe can take it.
template<typename T>
class PairsWriter : public HeaderedWriter
{
public:
    using HeaderedWriter::HeaderedWriter;

private:
    void put(int64_t count, const ConstFrameSpan &in) override;
};

// The writer when its file opened, else nothing and FirstFile in status.
std::unique_ptr<FrameWriter> openedWriter(std::unique_ptr<HeaderedWriter> writer,
                                          IqStatus &status);
