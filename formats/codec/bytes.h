#pragma once

#include <cstdint>
#include <cstring>

// Little- and big-endian loads and stores from byte buffers, whatever the host order.
namespace bytes {

inline uint16_t le16(const unsigned char *p)
{
    return uint16_t(p[0] | (p[1] << 8));
}
inline uint32_t le32(const unsigned char *p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline uint64_t le64(const unsigned char *p)
{
    return uint64_t(le32(p)) | (uint64_t(le32(p + 4)) << 32);
}
inline uint16_t be16(const unsigned char *p)
{
    return uint16_t((p[0] << 8) | p[1]);
}
inline uint32_t be32(const unsigned char *p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}
inline uint64_t be64(const unsigned char *p)
{
    return (uint64_t(be32(p)) << 32) | uint64_t(be32(p + 4));
}

inline float leFloat(const unsigned char *p)
{
    const uint32_t u = le32(p);
    float f;
    std::memcpy(&f, &u, 4);
    return f;
}
inline double leDouble(const unsigned char *p)
{
    const uint64_t u = le64(p);
    double d;
    std::memcpy(&d, &u, 8);
    return d;
}
inline float beFloat(const unsigned char *p)
{
    const uint32_t u = be32(p);
    float f;
    std::memcpy(&f, &u, 4);
    return f;
}
inline double beDouble(const unsigned char *p)
{
    const uint64_t u = be64(p);
    double d;
    std::memcpy(&d, &u, 8);
    return d;
}

inline void putLe16(unsigned char *p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline void putLe32(unsigned char *p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}
inline void putLe64(unsigned char *p, uint64_t v)
{
    for (int i = 0; i < 8; ++i)
        p[i] = uint8_t(v >> (8 * i));
}
inline void putBe32(unsigned char *p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (24 - 8 * i));
}

}  // namespace bytes
