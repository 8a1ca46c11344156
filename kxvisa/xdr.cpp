#include "xdr.h"

namespace kxvisa {

void XdrWriter::u32(uint32_t v)
{
    uint8_t b[4];
    writeBe32(b, v);
    out_.insert(out_.end(), b, b + 4);
}

void XdrWriter::opaque(const uint8_t *data, size_t size)
{
    u32(uint32_t(size));
    out_.insert(out_.end(), data, data + size);
    out_.insert(out_.end(), (4 - size % 4) % 4, uint8_t(0));
}

bool XdrReader::u32(uint32_t &v)
{
    if (!ok_ || size_ - pos_ < 4)
        return ok_ = false;
    v = readBe32(data_ + pos_);
    pos_ += 4;
    return true;
}

bool XdrReader::i32(int32_t &v)
{
    uint32_t u = 0;
    if (!u32(u))
        return false;
    v = int32_t(u);
    return true;
}

bool XdrReader::opaque(const uint8_t *&data, uint32_t &size, uint32_t maxSize)
{
    uint32_t n = 0;
    if (!u32(n) || n > maxSize)
        return ok_ = false;
    const size_t padded = size_t(n) + (4 - n % 4) % 4;
    if (size_ - pos_ < padded)
        return ok_ = false;
    data = data_ + pos_;
    size = n;
    pos_ += padded;
    return true;
}

bool XdrReader::skip(size_t bytes)
{
    if (!ok_ || size_ - pos_ < bytes)
        return ok_ = false;
    pos_ += bytes;
    return true;
}

}  // namespace kxvisa
