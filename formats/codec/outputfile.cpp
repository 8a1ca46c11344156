#include "outputfile.h"

#include "failuredetail.h"

#include <algorithm>
#include <cerrno>

namespace {

thread_local WriteProgressSink *progressSink = nullptr;
thread_local uint64_t bytesReported = 0;

}  // namespace

WriteProgressScope::WriteProgressScope(WriteProgressSink &sink)
    : previous(progressSink)
    , previousBytes(bytesReported)
{
    progressSink = &sink;
    bytesReported = 0;
}

WriteProgressScope::~WriteProgressScope()
{
    progressSink = previous;
    bytesReported = previousBytes;
}

OutputFile::OutputFile(const QString &path, size_t bufferBytes)
    : m_file(path)
    , m_buffer(bufferBytes < 64 ? 64 : bufferBytes)
{
    // Unbuffered: this class buffers itself, and a write error must surface in write(), since
    // a failure in the device's own final flush would go unnoticed by commit().
    if (path == QLatin1String(kStandardOutput)) {
        m_pipe = std::make_unique<QFile>();
        m_ok = m_pipe->open(1, QIODevice::WriteOnly | QIODevice::Unbuffered);
    } else {
        m_ok = m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }
    if (!m_ok)
        failDevice(IqStatus::FirstFile, device());
}

QFileDevice &OutputFile::device()
{
    if (m_pipe)
        return *m_pipe;
    return m_file;
}

// Notes the first failure only: what fails after it is its consequence. A write that stops
// short (the disk filled up midway) leaves its reason in errno only.
void OutputFile::failed()
{
    const int error = errno;
    if (m_ok)
        failDevice(IqStatus::FirstFile, device(), error);
    m_ok = false;
}

OutputFile::~OutputFile()
{
    if (m_file.isOpen())
        m_file.cancelWriting();
}

// Hands bytes to the file, a buffer's worth at a time while a sink watches, so that even
// one large write reports its progress and can be stopped.
void OutputFile::writeFile(const char *data, size_t bytes)
{
    WriteProgressSink *const sink = progressSink;
    const size_t piece = sink ? m_buffer.size() : bytes;
    for (size_t at = 0; m_ok && at < bytes; at += piece) {
        const size_t n = std::min(piece, bytes - at);
        if (device().write(data + at, qint64(n)) != qint64(n))
            failed();
        if (!sink)
            continue;
        bytesReported += n;
        sink->written(device().fileName(), bytesReported);
        if (sink->cancelled())
            m_ok = false;  // never committed: the destination stays as it was
    }
}

void OutputFile::flushBuffer()
{
    if (m_ok && m_used > 0)
        writeFile(m_buffer.data(), m_used);
    m_used = 0;
}

void OutputFile::write(const void *data, size_t bytes)
{
    if (bytes >= m_buffer.size()) {
        flushBuffer();
        if (m_ok)
            writeFile(static_cast<const char *>(data), bytes);
        return;
    }
    if (m_used + bytes > m_buffer.size())
        flushBuffer();
    std::memcpy(m_buffer.data() + m_used, data, bytes);
    m_used += bytes;
}

char *OutputFile::reserve(size_t bytes)
{
    if (bytes > m_buffer.size())
        m_buffer.resize(bytes);
    if (m_used + bytes > m_buffer.size())
        flushBuffer();
    return m_buffer.data() + m_used;
}

bool OutputFile::flush()
{
    flushBuffer();
    return m_ok;
}

bool OutputFile::seek(int64_t pos)
{
    flushBuffer();
    if (m_ok && m_pipe) {
        failFile(IqStatus::FirstFile, QLatin1String(kStandardOutput),
                 QStringLiteral("this layout fills its file out of order, which a pipe cannot "
                                "take"));
        m_ok = false;
    }
    if (m_ok && !m_file.seek(pos))
        failed();
    return m_ok;
}

bool OutputFile::commit()
{
    flushBuffer();
    if (m_pipe)
        return m_ok;
    if (!m_ok) {
        m_file.cancelWriting();
        m_file.commit();
        return false;
    }
    if (m_file.commit())
        return true;
    failDevice(IqStatus::FirstFile, m_file);
    return false;
}
