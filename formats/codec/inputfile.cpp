#include "inputfile.h"

#include "failuredetail.h"

static const unsigned char kEmpty[1] = {0};

InputFile::InputFile(const QString &path)
    : m_file(path)
{
    if (!m_file.open(QIODevice::ReadOnly)) {
        failDevice(IqStatus::FirstFile, m_file);
        return;
    }
    m_open = true;
    const qint64 size = m_file.size();
    if (size > 0) {
        if (uchar *mapped = m_file.map(0, size)) {
            m_data = mapped;
            m_size = size;
            return;
        }
    }
    m_fallback = m_file.readAll();
    m_data = m_fallback.isEmpty() ? kEmpty
                                  : reinterpret_cast<const unsigned char *>(m_fallback.constData());
    m_size = m_fallback.size();
}

InputFile::~InputFile() = default;
