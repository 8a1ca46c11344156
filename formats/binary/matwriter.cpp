#include "matwriter.h"

#include "binaryoutput.h"
#include "bytes.h"
#include "filetypes.h"
#include "outputfile.h"

#include <limits>

namespace {

constexpr char kHeaderText[] = "MATLAB 5.0 MAT-file, Created by: Trovik";
constexpr int64_t kFileHeaderBytes = 128;
constexpr int64_t kVariableHeaderBytes = 56;  // matrix tag, flags, dimensions, name, data tag

enum : uint32_t { kInt8 = 1, kInt32 = 5, kUInt32 = 6, kSingle = 7, kMatrix = 14 };
constexpr uint32_t kSingleClass = 7;

int64_t padded(int64_t bytes)
{
    return (bytes + 7) / 8 * 8;
}

void putLe32(QByteArray &b, uint32_t v)
{
    unsigned char x[4];
    bytes::putLe32(x, v);
    b.append(reinterpret_cast<const char *>(x), 4);
}

// A level-5 element states its byte size in 32 bits.
bool fitsAVariable(int64_t n)
{
    return n >= 0 && matVariableBytes(n) - 8 <= int64_t(std::numeric_limits<uint32_t>::max());
}

// One variable's data after its header: the samples, then the padding at finish.
class MatVariable
{
public:
    MatVariable(OutputFile &out, char name, int64_t offset)
        : m_out(out)
        , m_name(name)
        , m_offset(offset)
    {}

    void moveTo(int64_t offset) { m_offset = offset; }
    void begin(int64_t total)
    {
        m_total = total;
        m_out.seek(m_offset);
        const QByteArray h = matVariableHeader(m_name, total);
        m_out.write(h.constData(), size_t(h.size()));
    }
    void put(int64_t at, const float *x, std::ptrdiff_t stride, int64_t count)
    {
        binaryoutput::writeFloatsAt(m_out, m_offset + kVariableHeaderBytes + 4 * at, x, stride,
                                    count);
    }
    void end()
    {
        const int64_t data = 4 * m_total;
        static const char zeros[8] = {};
        m_out.seek(m_offset + kVariableHeaderBytes + data);
        m_out.write(zeros, size_t(padded(data) - data));
    }

private:
    OutputFile &m_out;
    char m_name;
    int64_t m_offset;
    int64_t m_total = 0;
};

class MatWriter : public FrameWriter
{
public:
    MatWriter(const QString &iFile, const QString &qFile, bool oneFile)
        : m_iPath(iFile)
        , m_iOut(iFile)
        , m_qOut(oneFile ? nullptr : std::make_unique<OutputFile>(qFile))
        , m_i(m_iOut, 'I', kFileHeaderBytes)
        , m_q(m_qOut ? *m_qOut : m_iOut, 'Q', kFileHeaderBytes)
    {}

    IqStatus openStatus() const
    {
        if (!m_iOut.isOpen())
            return IqStatus::FirstFile;
        return !m_qOut || m_qOut->isOpen() ? IqStatus::Ok : IqStatus::SecondFile;
    }

    IqStatus begin(const IqBuffer &, int64_t total, const FrameSummary *) override
    {
        if (!fitsAVariable(total))
            return failFile(IqStatus::FirstFile, m_iPath,
                            QStringLiteral("%1 samples do not fit in a MAT variable").arg(total));
        m_total = total;
        const QByteArray header = matFileHeader();
        m_iOut.write(header.constData(), size_t(header.size()));
        if (m_qOut)
            m_qOut->write(header.constData(), size_t(header.size()));
        else  // the Q variable follows the whole I variable
            m_q.moveTo(kFileHeaderBytes + matVariableBytes(total));
        m_i.begin(total);
        m_q.begin(total);
        return status();
    }

    IqStatus write(int64_t count, const ConstFrameSpan &in) override
    {
        if (count < 0 || count > m_total - m_written)
            return checkFramesWritten(m_written + count, m_total, m_iPath);
        m_i.put(m_written, in.i, in.stride, count);
        m_q.put(m_written, in.q, in.stride, count);
        m_written += count;
        return status();
    }

    IqStatus finish() override
    {
        if (const IqStatus s = checkFramesWritten(m_written, m_total, m_iPath); failed(s))
            return s;
        m_i.end();
        m_q.end();
        // Both files are complete before either replaces its destination, so a failure never
        // leaves a new I file beside an old Q file.
        if (!m_iOut.flush())
            return IqStatus::FirstFile;
        if (m_qOut && !m_qOut->flush())
            return IqStatus::SecondFile;
        if (!m_iOut.commit())
            return IqStatus::FirstFile;
        return !m_qOut || m_qOut->commit() ? IqStatus::Ok : IqStatus::SecondFile;
    }

private:
    IqStatus status() const
    {
        if (!m_iOut.ok())
            return IqStatus::FirstFile;
        return !m_qOut || m_qOut->ok() ? IqStatus::Ok : IqStatus::SecondFile;
    }

    QString m_iPath;
    OutputFile m_iOut;
    std::unique_ptr<OutputFile> m_qOut;  // none for the one-file type
    MatVariable m_i, m_q;
    int64_t m_total = 0;
    int64_t m_written = 0;
};

}  // namespace

QByteArray matFileHeader()
{
    QByteArray h(kHeaderText, int(sizeof kHeaderText));  // the text and its zero byte
    h.append(QByteArray(116 - h.size(), ' '));
    h.append(QByteArray(8, ' '));  // no subsystem data
    h.append("\0\1IM", 4);         // version 0x0100, little-endian
    return h;
}

QByteArray matVariableHeader(char name, int64_t n)
{
    QByteArray h;
    putLe32(h, kMatrix);
    putLe32(h, uint32_t(matVariableBytes(n) - 8));
    putLe32(h, kUInt32);  // array flags: the class, nothing else set
    putLe32(h, 8);
    putLe32(h, kSingleClass);
    putLe32(h, 0);
    putLe32(h, kInt32);  // dimensions 1 × n
    putLe32(h, 8);
    putLe32(h, 1);
    putLe32(h, uint32_t(n));
    putLe32(h, 1u << 16 | kInt8);  // the one-character name as a small element
    h.append(name);
    h.append(QByteArray(3, '\0'));
    putLe32(h, kSingle);
    putLe32(h, uint32_t(4 * n));
    return h;
}

int64_t matVariableBytes(int64_t n)
{
    return kVariableHeaderBytes + padded(4 * n);
}

std::unique_ptr<FrameWriter> openMatWriter(const QString &iFile, const QString &qFile,
                                           int typeCode, IqStatus &status)
{
    auto writer = std::make_unique<MatWriter>(iFile, qFile,
                                              typeCode != TypeCode::MatlabBinarySingle);
    status = writer->openStatus();
    if (status != IqStatus::Ok)
        return nullptr;
    return writer;
}
