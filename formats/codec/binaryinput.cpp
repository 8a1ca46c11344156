#include "binaryinput.h"

#include "failuredetail.h"

#include <algorithm>

BinaryInput::BinaryInput(const QString &path)
    : m_file(path)
{
    m_open = m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    if (m_open)
        m_size = m_file.size();
    else
        failDevice(IqStatus::FirstFile, m_file);
}

bool BinaryInput::seek(int64_t pos)
{
    if (m_open && pos > m_size)
        fail(IqStatus::FirstFile, endsEarlyReason(m_size, pos));
    if (!m_open || pos < 0 || pos > m_size || !m_file.seek(pos))
        return false;
    m_pos = pos;
    return true;
}

bool BinaryInput::readExact(void *dst, int64_t bytes)
{
    if (!m_open || bytes < 0)
        return false;
    char *out = static_cast<char *>(dst);
    int64_t done = 0;
    while (done < bytes) {
        const qint64 got = m_file.read(out + done, bytes - done);
        if (got < 0) {
            failDevice(IqStatus::FirstFile, m_file);
            return false;
        }
        if (got == 0) {
            fail(IqStatus::FirstFile, endsEarlyReason(m_size, m_pos + bytes));
            return false;
        }
        done += got;
    }
    m_pos += bytes;
    return true;
}
