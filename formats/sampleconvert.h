#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

// Conversions between little-endian file bytes and the record's float arrays. The loops run
// over fixed blocks of kLanes items with restrict pointers so the compiler vectorises them
// even at -O2; a scalar tail handles the rest.
namespace sampleconvert {

constexpr int64_t kLanes = 16;

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
constexpr bool kHostLittle = false;
#else
constexpr bool kHostLittle = true;
#endif

template<typename T>
inline T loadLe(const unsigned char *p)
{
    T v;
    if constexpr (kHostLittle) {
        std::memcpy(&v, p, sizeof(T));
    } else {
        unsigned char b[sizeof(T)];
        for (size_t k = 0; k < sizeof(T); ++k)
            b[k] = p[sizeof(T) - 1 - k];
        std::memcpy(&v, b, sizeof(T));
    }
    return v;
}

template<typename T>
inline void storeLe(unsigned char *p, T v)
{
    if constexpr (kHostLittle) {
        std::memcpy(p, &v, sizeof(T));
    } else {
        unsigned char b[sizeof(T)];
        std::memcpy(b, &v, sizeof(T));
        for (size_t k = 0; k < sizeof(T); ++k)
            p[k] = b[sizeof(T) - 1 - k];
    }
}

// n items of type T, itemBytes apart in src starting at byte offset, converted to float.
template<typename T>
inline void toFloats(float *__restrict dst, const unsigned char *__restrict src, int64_t n,
                     int64_t itemBytes, int64_t offset = 0)
{
    int64_t k = 0;
    for (; k + kLanes <= n; k += kLanes)
        for (int64_t j = 0; j < kLanes; ++j)
            dst[k + j] = static_cast<float>(loadLe<T>(src + (k + j) * itemBytes + offset));
    for (; k < n; ++k)
        dst[k] = static_cast<float>(loadLe<T>(src + k * itemBytes + offset));
}

// n interleaved pairs (I then Q, each a T) split into the two arrays. One pass writing both
// arrays lets the compiler turn each block into vector loads and shuffles.
template<typename T>
inline void splitPairs(float *__restrict i, float *__restrict q,
                       const unsigned char *__restrict src, int64_t n)
{
    constexpr int64_t size = sizeof(T);
    int64_t k = 0;
    for (; k + kLanes <= n; k += kLanes)
        for (int64_t j = 0; j < kLanes; ++j) {
            i[k + j] = static_cast<float>(loadLe<T>(src + (k + j) * 2 * size));
            q[k + j] = static_cast<float>(loadLe<T>(src + (k + j) * 2 * size + size));
        }
    for (; k < n; ++k) {
        i[k] = static_cast<float>(loadLe<T>(src + k * 2 * size));
        q[k] = static_cast<float>(loadLe<T>(src + k * 2 * size + size));
    }
}

// n samples of the two arrays written as interleaved little-endian pairs of T.
template<typename T>
inline void joinPairs(unsigned char *__restrict dst, const float *__restrict i,
                      const float *__restrict q, int64_t n)
{
    int64_t k = 0;
    for (; k + kLanes <= n; k += kLanes)
        for (int64_t j = 0; j < kLanes; ++j) {
            storeLe<T>(dst + (k + j) * 2 * sizeof(T), static_cast<T>(i[k + j]));
            storeLe<T>(dst + (k + j) * 2 * sizeof(T) + sizeof(T), static_cast<T>(q[k + j]));
        }
    for (; k < n; ++k) {
        storeLe<T>(dst + k * 2 * sizeof(T), static_cast<T>(i[k]));
        storeLe<T>(dst + k * 2 * sizeof(T) + sizeof(T), static_cast<T>(q[k]));
    }
}

// Floats read straight from the file into place are fixed up to host order.
inline void floatsFromLeInPlace(float *data, int64_t n)
{
    if constexpr (!kHostLittle) {
        unsigned char *p = reinterpret_cast<unsigned char *>(data);
        for (int64_t k = 0; k < n; ++k)
            data[k] = loadLe<float>(p + 4 * k);
    }
    (void)data;
    (void)n;
}

// Frames stride floats apart (a planar array is stride 1; an interleaved complex buffer is
// i = base, q = base + 1, stride 2): the same conversions for either place.
inline bool isInterleaved(const float *i, const float *q, std::ptrdiff_t stride)
{
    return stride == 2 && q == i + 1;
}

// n interleaved pairs of T split into frames stride apart. Float pairs into an interleaved
// buffer are the file's bytes as they stand.
template<typename T>
inline void splitPairsStrided(float *i, float *q, std::ptrdiff_t stride, const unsigned char *src,
                              int64_t n)
{
    if (stride == 1)
        return splitPairs<T>(i, q, src, n);
    if constexpr (std::is_same_v<T, float> && kHostLittle)
        if (isInterleaved(i, q, stride))
            return void(std::memcpy(i, src, size_t(n) * 2 * sizeof(float)));
    for (int64_t k = 0; k < n; ++k) {
        i[k * stride] = static_cast<float>(loadLe<T>(src + k * 2 * sizeof(T)));
        q[k * stride] = static_cast<float>(loadLe<T>(src + k * 2 * sizeof(T) + sizeof(T)));
    }
}

// n frames stride apart written as interleaved little-endian pairs of T.
template<typename T>
inline void joinPairsStrided(unsigned char *dst, const float *i, const float *q,
                             std::ptrdiff_t stride, int64_t n)
{
    if (stride == 1)
        return joinPairs<T>(dst, i, q, n);
    if constexpr (std::is_same_v<T, float> && kHostLittle)
        if (isInterleaved(i, q, stride))
            return void(std::memcpy(dst, i, size_t(n) * 2 * sizeof(float)));
    for (int64_t k = 0; k < n; ++k) {
        storeLe<T>(dst + k * 2 * sizeof(T), static_cast<T>(i[k * stride]));
        storeLe<T>(dst + k * 2 * sizeof(T) + sizeof(T), static_cast<T>(q[k * stride]));
    }
}

// n little-endian items of T, itemBytes apart, into one channel stride floats apart.
template<typename T>
inline void toFloatsStrided(float *dst, std::ptrdiff_t stride, const unsigned char *src, int64_t n,
                            int64_t itemBytes, int64_t offset = 0)
{
    if (stride == 1)
        return toFloats<T>(dst, src, n, itemBytes, offset);
    for (int64_t k = 0; k < n; ++k)
        dst[k * stride] = static_cast<float>(loadLe<T>(src + k * itemBytes + offset));
}

// n floats of one channel, stride apart, as little-endian float32 items.
inline void floatsToLeStrided(unsigned char *dst, const float *src, std::ptrdiff_t stride,
                              int64_t n)
{
    if (stride == 1 && kHostLittle)
        return void(std::memcpy(dst, src, size_t(n) * sizeof(float)));
    for (int64_t k = 0; k < n; ++k)
        storeLe<float>(dst + 4 * k, src[k * stride]);
}

}  // namespace sampleconvert
