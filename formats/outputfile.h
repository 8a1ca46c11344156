#pragma once

#include <QFile>
#include <QSaveFile>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

// Whoever shows the progress of a save: every OutputFile written on the thread where a
// WriteProgressScope lives reports the bytes it has handed to its file, and stops (the
// file is then not committed) once the sink is cancelled. Writers need not know about it.
class WriteProgressSink
{
public:
    virtual ~WriteProgressSink() = default;
    // bytes: all written so far by the files of this scope together; path: the file now.
    virtual void written(const QString &path, uint64_t bytes) = 0;
    virtual bool cancelled() const { return false; }
};

class WriteProgressScope
{
public:
    explicit WriteProgressScope(WriteProgressSink &sink);
    ~WriteProgressScope();
    WriteProgressScope(const WriteProgressScope &) = delete;
    WriteProgressScope &operator=(const WriteProgressScope &) = delete;

private:
    WriteProgressSink *previous;
    uint64_t previousBytes;
};

// A destination file written through a large buffer into a temporary file beside it; the
// destination is replaced only by commit(), so a failed write never destroys existing data.
// The first failure (open, write or commit) notes the destination and the system's reason as
// the file failure. The path "-" (kStandardOutput) writes to the standard output instead, front
// to back: it cannot seek, and what was written before a failure has gone down the pipe.
constexpr char kStandardOutput[] = "-";

class OutputFile
{
public:
    explicit OutputFile(const QString &path, size_t bufferBytes = size_t(4) << 20);
    ~OutputFile();  // without commit(): the temporary file is removed, the destination kept

    bool isOpen() const { return m_ok && (m_pipe ? m_pipe->isOpen() : m_file.isOpen()); }
    bool ok() const { return m_ok; }
    void write(const void *data, size_t bytes);
    void write(const char *text) { write(text, std::strlen(text)); }
    void put(char c)
    {
        if (m_used == m_buffer.size())
            flushBuffer();
        m_buffer[m_used++] = c;
    }
    // Room for at least bytes more characters, to format straight into the buffer.
    char *reserve(size_t bytes);
    void advance(size_t bytes) { m_used += bytes; }
    // Hands the buffered bytes to the temporary file; false once any write has failed. Lets a
    // two-file writer find a failure in either file before it replaces any destination.
    bool flush();
    // Hands over the buffer and moves the write position to pos, for layouts that fill two
    // regions of one file side by side. False (noted) where the file cannot seek.
    bool seek(int64_t pos);
    bool commit();  // flushes and renames over the destination; false on any failure

private:
    void flushBuffer();
    void failed();
    void writeFile(const char *data, size_t bytes);

    QFileDevice &device();

    QSaveFile m_file;
    std::unique_ptr<QFile> m_pipe;  // the standard output, for the path "-"
    std::vector<char> m_buffer;
    size_t m_used = 0;
    bool m_ok = false;
};
