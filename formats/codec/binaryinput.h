#pragma once

#include "filefailure.h"

#include <QFile>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <vector>

// Sequential exact reads of a binary input file through large unbuffered reads. Bulk sample
// data is read in blocks into a small reusable buffer (or straight into the destination), so
// a load needs no more memory than the sample arrays themselves, whatever the file's size.
// A file that does not open, and a read that fails or runs past the end, note the file and
// the reason as the file failure.
class BinaryInput
{
public:
    explicit BinaryInput(const QString &path);

    bool isOpen() const { return m_open; }
    int64_t size() const { return m_size; }
    int64_t remaining() const { return m_size - m_pos; }
    QString path() const { return m_file.fileName(); }
    // Notes this file and the format's reason as the detail of status, and returns status.
    IqStatus fail(IqStatus status, const QString &reason) const
    {
        return failFile(status, path(), reason);
    }
    bool seek(int64_t pos);
    // Reads exactly bytes; false (and the position undefined) when the file ends first.
    bool readExact(void *dst, int64_t bytes);

    // Reads count items of itemBytes each in blocks and hands every block to
    // convert(block, firstItem, itemsInBlock). False when the file ends first.
    template<typename Convert>
    bool readItems(int64_t count, int itemBytes, Convert convert)
    {
        const int64_t perBlock
                = std::clamp<int64_t>(kBlockBytes / itemBytes, 1, std::max<int64_t>(count, 1));
        if (m_block.size() < size_t(perBlock * itemBytes))
            m_block.resize(size_t(perBlock * itemBytes));
        for (int64_t done = 0; done < count;) {
            const int64_t n = std::min(perBlock, count - done);
            if (!readExact(m_block.data(), n * itemBytes))
                return false;
            convert(m_block.data(), done, n);
            done += n;
        }
        return true;
    }

private:
    static constexpr int64_t kBlockBytes = int64_t(1) << 20;  // stays in the cache while converted

    QFile m_file;
    std::vector<unsigned char> m_block;
    int64_t m_size = 0;
    int64_t m_pos = 0;
    bool m_open = false;
};
