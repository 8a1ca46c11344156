#include "matlayout.h"

#include "bytes.h"
#include "inputfile.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

// Level-5 layout: a 128-byte header (text, subsystem offset, version 0x0100 at 124, endian
// mark "IM" or "MI" at 126), then data elements, each an 8-byte tag (type, byte count) and its
// bytes. A variable is an miMATRIX element (type 14), possibly inside an miCOMPRESSED element
// (type 15, a zlib stream). An miMATRIX holds sub-elements: array flags, dimensions, name,
// then the real part. A sub-element with nonzero upper 16 bits in its first word is a small
// element: byte count in those bits, up to 4 bytes of data in the second word.
namespace {

constexpr uint32_t kMatrix = 14;
constexpr uint32_t kCompressed = 15;
constexpr int64_t kHeaderBytes = 128;
constexpr size_t kInflatedPrefix = 64 * 1024;  // room for the sub-element headers

struct Bytes
{
    const unsigned char *p;
    int64_t size;
    bool big;
    bool has(int64_t off, int64_t n) const
    {
        return off >= 0 && n >= 0 && off <= size && n <= size - off;
    }
    uint32_t u32(int64_t off) const { return big ? bytes::be32(p + off) : bytes::le32(p + off); }
};

struct SubElement
{
    uint32_t type = 0;
    int64_t bytes = 0;
    int64_t dataOffset = 0;
    int64_t next = 0;
};

bool subElement(const Bytes &b, int64_t off, SubElement &e)
{
    if (!b.has(off, 8))
        return false;
    const uint32_t w = b.u32(off);
    if (w >> 16) {
        e = {w & 0xffff, int64_t(w >> 16), off + 4, off + 8};
        return e.bytes <= 4;
    }
    e.type = w;
    e.bytes = b.u32(off + 4);
    e.dataOffset = off + 8;
    e.next = off + 8 + ((e.bytes + 7) & ~int64_t(7));
    return true;
}

int64_t storedSize(uint32_t type)
{
    switch (type) {
    case 1:
    case 2: return 1;  // int8, uint8
    case 3:
    case 4: return 2;  // int16, uint16
    case 5:
    case 6:
    case 7: return 4;  // int32, uint32, single
    case 9:
    case 12:
    case 13: return 8;  // double, int64, uint64
    default: return 0;
    }
}

// Bytes of matrix content (after its tag) the real part needs, or -1 when the sub-elements
// do not describe a complete real numeric array. content holds at least the sub-element headers.
int64_t neededContent(const Bytes &content)
{
    SubElement flags, dims, name, data;
    if (!subElement(content, 0, flags) || flags.bytes < 4 || !subElement(content, flags.next, dims)
        || !subElement(content, dims.next, name) || !subElement(content, name.next, data))
        return -1;
    if (dims.type != 5 || dims.bytes % 4 != 0 || !content.has(dims.dataOffset, dims.bytes))
        return -1;
    int64_t elements = 1;
    for (int64_t k = 0; k < dims.bytes; k += 4) {
        const int64_t d = int32_t(content.u32(dims.dataOffset + k));
        if (d < 0 || (d > 0 && elements > std::numeric_limits<int64_t>::max() / 16 / d))
            return -1;
        elements *= d;
    }
    const int64_t size = storedSize(data.type);
    if (size == 0 || data.bytes / size < elements)
        return -1;
    return data.dataOffset + elements * size;
}

// Inflates a compressed element until it has yielded stopAfter bytes or ends, keeping up to
// keep.size() of its first bytes in keep; returns the bytes yielded (-1 when zlib fails to start).
int64_t inflatePrefix(const unsigned char *in, int64_t inBytes, int64_t stopAfter,
                      std::vector<unsigned char> &keep)
{
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        return -1;
    std::vector<unsigned char> out(256 * 1024);
    int64_t total = 0, consumed = 0;
    for (;;) {
        if (z.avail_in == 0 && consumed < inBytes) {
            const int64_t n = std::min<int64_t>(inBytes - consumed, int64_t(1) << 30);
            z.next_in = const_cast<unsigned char *>(in + consumed);
            z.avail_in = uInt(n);
            consumed += n;
        }
        z.next_out = out.data();
        z.avail_out = uInt(out.size());
        const int rc = inflate(&z, Z_NO_FLUSH);
        const int64_t produced = int64_t(out.size()) - int64_t(z.avail_out);
        if (total < int64_t(keep.size()))
            std::copy_n(out.data(), std::min<int64_t>(produced, int64_t(keep.size()) - total),
                        keep.data() + total);
        total += produced;
        const bool stalled = rc == Z_BUF_ERROR && z.avail_in == 0 && consumed >= inBytes;
        if (total >= stopAfter || stalled || (rc != Z_OK && rc != Z_BUF_ERROR))
            break;
    }
    inflateEnd(&z);
    return total;
}

}  // namespace

bool matVariableIsComplete(const QString &path, int index)
{
    InputFile file(path);
    if (!file.isOpen())
        return false;
    // Each refusal notes why, so the user learns what is wrong with the file.
    const int number = index + 1;
    const auto no = [&file](const QString &reason) {
        file.fail(IqStatus::FirstFile, reason);
        return false;
    };
    const auto incomplete = [&]() {
        return no(QStringLiteral("variable %1 is not a complete real numeric array").arg(number));
    };
    if (file.size() < kHeaderBytes)
        return no(QStringLiteral("not a MAT file: %1 bytes, shorter than the %2-byte header")
                          .arg(file.size())
                          .arg(kHeaderBytes));
    const unsigned char *p = file.data();
    const bool big = p[126] == 'M' && p[127] == 'I';
    if (!big && !(p[126] == 'I' && p[127] == 'M'))
        return no(QStringLiteral("not a level 5 MAT file: no endian indicator at byte 126"));
    const Bytes whole{p, file.size(), big};
    if (const int version = big ? bytes::be16(p + 124) : bytes::le16(p + 124); version != 0x0100)
        return no(QStringLiteral("not a level 5 MAT file: version %1").arg(version, 0, 16));

    int64_t pos = kHeaderBytes;
    for (int k = 0; k < index; ++k) {
        if (!whole.has(pos, 8))
            return no(QStringLiteral("the file ends before variable %1").arg(number));
        pos += 8 + int64_t(whole.u32(pos + 4));
    }
    if (!whole.has(pos, 8))
        return no(QStringLiteral("the file ends before variable %1").arg(number));
    const uint32_t type = whole.u32(pos);
    const int64_t bytes = whole.u32(pos + 4);
    if (!whole.has(pos + 8, bytes))
        return no(QStringLiteral("variable %1 announces %2 bytes, the file holds %3")
                          .arg(number)
                          .arg(bytes)
                          .arg(file.size() - pos - 8));
    if (type == kMatrix) {
        const int64_t need = neededContent({p + pos + 8, bytes, big});
        return need >= 0 && need <= bytes ? true : incomplete();
    }
    if (type != kCompressed)
        return no(QStringLiteral("variable %1 is not an array (element type %2)")
                          .arg(number)
                          .arg(type));
    std::vector<unsigned char> prefix(kInflatedPrefix);
    const int64_t got = inflatePrefix(p + pos + 8, bytes, int64_t(kInflatedPrefix), prefix);
    if (got < 8)
        return no(
                QStringLiteral("variable %1: its compressed data cannot be inflated").arg(number));
    prefix.resize(size_t(std::min<int64_t>(got, int64_t(kInflatedPrefix))));
    const Bytes inner{prefix.data(), int64_t(prefix.size()), big};
    if (inner.u32(0) != kMatrix)
        return incomplete();
    const int64_t need = neededContent({prefix.data() + 8, int64_t(prefix.size()) - 8, big});
    if (need < 0 || need > int64_t(inner.u32(4)))
        return incomplete();
    std::vector<unsigned char> none;
    if (inflatePrefix(p + pos + 8, bytes, 8 + need, none) >= 8 + need)
        return true;
    return no(
            QStringLiteral("variable %1: its compressed data end before its elements").arg(number));
}
