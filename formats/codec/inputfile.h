#pragma once

#include "filefailure.h"

#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>

// A whole input file as read-only bytes (memory-mapped where possible). Readers parse from
// data()..data()+size() and must never read past size(). A file that does not open notes
// its path and the system's reason as the file failure.
class InputFile
{
public:
    explicit InputFile(const QString &path);
    ~InputFile();
    InputFile(const InputFile &) = delete;
    InputFile &operator=(const InputFile &) = delete;

    bool isOpen() const { return m_open; }
    const unsigned char *data() const { return m_data; }
    const char *chars() const { return reinterpret_cast<const char *>(m_data); }
    int64_t size() const { return m_size; }
    QString path() const { return m_file.fileName(); }
    // Notes this file and the format's reason as the detail of status, and returns status.
    IqStatus fail(IqStatus status, const QString &reason) const
    {
        return failFile(status, path(), reason);
    }

private:
    QFile m_file;
    const unsigned char *m_data = nullptr;
    int64_t m_size = 0;
    bool m_open = false;
    QByteArray m_fallback;  // for files that cannot be mapped (pipes, empty files)
};
