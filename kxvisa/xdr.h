#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kxvisa {

// Big-endian XDR encoding of the few types ONC RPC and VXI-11 use.
class XdrWriter
{
public:
    explicit XdrWriter(std::vector<uint8_t> &out)
        : out_(out)
    {}
    void u32(uint32_t v);
    void i32(int32_t v) { u32(uint32_t(v)); }
    void boolean(bool v) { u32(v ? 1 : 0); }
    // Variable-length opaque data or string: length, bytes, zero padding to 4.
    void opaque(const uint8_t *data, size_t size);
    void string(const std::string &s)
    {
        opaque(reinterpret_cast<const uint8_t *>(s.data()), s.size());
    }

private:
    std::vector<uint8_t> &out_;
};

// Reads XDR from a byte range; once a read runs past the end every later read fails too.
class XdrReader
{
public:
    XdrReader(const uint8_t *data, size_t size)
        : data_(data)
        , size_(size)
    {}
    bool u32(uint32_t &v);
    bool i32(int32_t &v);
    // Points into the source; the bytes stay owned by the caller.
    bool opaque(const uint8_t *&data, uint32_t &size, uint32_t maxSize);
    bool skip(size_t bytes);
    bool ok() const { return ok_; }
    size_t remaining() const { return size_ - pos_; }

private:
    const uint8_t *data_;
    size_t size_;
    size_t pos_ = 0;
    bool ok_ = true;
};

inline uint32_t readBe32(const uint8_t *p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

inline void writeBe32(uint8_t *p, uint32_t v)
{
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

}  // namespace kxvisa
