#include "outputfile.h"

#include "failuredetail.h"

#include <cerrno>

OutputFile::OutputFile(const QString &path, size_t bufferBytes)
    : m_file(path)
    , m_buffer(bufferBytes < 64 ? 64 : bufferBytes)
{
    // Unbuffered: this class buffers itself, and a write error must surface in write(), since
    // a failure in the device's own final flush would go unnoticed by commit().
    m_ok = m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    if (!m_ok)
        failDevice(IqStatusCode::FirstFile, m_file);
}

// Notes the first failure only: what fails after it is its consequence. A write that stops
// short (the disk filled up midway) leaves its reason in errno only.
void OutputFile::failed()
{
    const int error = errno;
    if (m_ok)
        failDevice(IqStatusCode::FirstFile, m_file, error);
    m_ok = false;
}

OutputFile::~OutputFile()
{
    if (m_file.isOpen())
        m_file.cancelWriting();
}

void OutputFile::flushBuffer()
{
    if (m_ok && m_used > 0 && m_file.write(m_buffer.data(), qint64(m_used)) != qint64(m_used))
        failed();
    m_used = 0;
}

void OutputFile::write(const void *data, size_t bytes)
{
    if (bytes >= m_buffer.size()) {
        flushBuffer();
        if (m_ok && m_file.write(static_cast<const char *>(data), qint64(bytes)) != qint64(bytes))
            failed();
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

bool OutputFile::commit()
{
    flushBuffer();
    if (!m_ok) {
        m_file.cancelWriting();
        m_file.commit();
        return false;
    }
    if (m_file.commit())
        return true;
    failDevice(IqStatusCode::FirstFile, m_file);
    return false;
}
