#pragma once

// Builders of AWG and scope waveform files for the tests and the fuzz seeds.
#include "awgwaveform.h"
#include "bytes.h"
#include "tdswaveform.h"

#include <QByteArray>

#include <algorithm>
#include <cstring>
#include <vector>

namespace containertest {

inline QByteArray awgFile(uint32_t count, double scale, const std::vector<uint16_t> &codes)
{
    QByteArray b(kAwgHeaderBytes, '\x55');  // unused header bytes are not zero on purpose
    auto *p = reinterpret_cast<unsigned char *>(b.data());
    bytes::putBe32(p, count);
    uint64_t s;
    std::memcpy(&s, &scale, 8);
    bytes::putBe32(p + 4, uint32_t(s >> 32));
    bytes::putBe32(p + 8, uint32_t(s));
    for (uint16_t c : codes) {
        b += char(c >> 8);
        b += char(c & 0xff);
    }
    return b;
}

struct TdsSpec
{
    const char *version = ":WFM#001";
    bool bigEndian = false;
    int bytesPerPoint = 2;
    double scale = 0.5;
    double offset = -1.0;
    int curveOffset = 838;
    int64_t bytesToEndDelta = 0;  // added to the true value
};

inline QByteArray tdsFile(const TdsSpec &s, const std::vector<int> &codes)
{
    const int size = s.curveOffset + int(codes.size()) * s.bytesPerPoint + 8;
    QByteArray b(std::max(size, s.curveOffset), '\0');
    auto *p = reinterpret_cast<unsigned char *>(b.data());
    const auto put32 = [&](int at, uint32_t v) {
        s.bigEndian ? bytes::putBe32(p + at, v) : bytes::putLe32(p + at, v);
    };
    const auto putDouble = [&](int at, double d) {
        uint64_t u;
        std::memcpy(&u, &d, 8);
        if (s.bigEndian) {
            bytes::putBe32(p + at, uint32_t(u >> 32));
            bytes::putBe32(p + at + 4, uint32_t(u));
        } else {
            bytes::putLe64(p + at, u);
        }
    };
    p[0] = p[1] = s.bigEndian ? 0xF0 : 0x0F;
    std::memcpy(p + 2, s.version, 8);
    p[10] = '9';
    put32(11, uint32_t(size - 15 + s.bytesToEndDelta));
    p[15] = uint8_t(s.bytesPerPoint);
    put32(16, uint32_t(s.curveOffset));
    const int shift = std::strcmp(s.version, ":WFM#001") == 0 ? 0 : 2;
    putDouble(166 + shift, s.scale);
    putDouble(174 + shift, s.offset);
    for (size_t k = 0; k < codes.size(); ++k) {
        unsigned char *c = p + s.curveOffset + k * s.bytesPerPoint;
        if (s.bytesPerPoint == 1)
            c[0] = uint8_t(codes[k]);
        else if (s.bigEndian)
            c[0] = uint8_t(codes[k] >> 8), c[1] = uint8_t(codes[k]);
        else
            c[0] = uint8_t(codes[k]), c[1] = uint8_t(codes[k] >> 8);
    }
    return b;
}

}  // namespace containertest
