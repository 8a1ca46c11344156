#include "iqblockreader.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace {

const uint64_t kChunkPairs = 3000000;
const uint64_t kTwentyChunkPairs = 125000000;
const int kHeaderBytes = 100;
const int kUpdatesPerRead = 100;

// The body of one block: hands out exactly its bytes and remembers whether the message
// ended with them (END), in which case no terminator follows.
class BlockBody
{
public:
    BlockBody(const ByteReader &read, uint64_t length)
        : read(read)
        , remaining(length)
    {}

    AcquisitionStatus take(unsigned char *buffer, uint64_t count)
    {
        while (count > 0) {
            const ViUInt32 asked = ViUInt32(std::min<uint64_t>(count, 0x7FFFFFFFu));
            ViUInt32 got = 0;
            const ViStatus status = read(buffer, asked, got);
            if (status < VI_SUCCESS)
                return statusFromVisa(status);
            got = std::min(got, asked);
            remaining -= got;
            count -= got;
            buffer += got;
            ended = status == VI_SUCCESS;
            // END (or nothing at all) before the last announced byte: the block is short.
            if ((ended && remaining > 0) || (count > 0 && got == 0))
                return AcquisitionStatus::BadBlock;
        }
        return AcquisitionStatus::Success;
    }

    AcquisitionStatus skip(uint64_t count)
    {
        unsigned char scrap[64];
        while (count > 0) {
            const uint64_t n = std::min<uint64_t>(count, sizeof scrap);
            const AcquisitionStatus status = take(scrap, n);
            if (status != AcquisitionStatus::Success)
                return status;
            count -= n;
        }
        return AcquisitionStatus::Success;
    }

    // The one terminator byte; its status does not matter, the block is complete.
    void finish()
    {
        if (ended)
            return;
        unsigned char terminator[1];
        ViUInt32 ignored = 0;
        read(terminator, 1, ignored);
    }

private:
    const ByteReader &read;
    uint64_t remaining;
    bool ended = false;
};

// Every captured value passes through these loops: on processors with AVX2 a second copy of
// them divides four values at once (the results are the same, bit for bit).
// (Not under ThreadSanitizer: its runtime is not up yet when the loader runs the resolver
// that picks the copy.)
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__SANITIZE_THREAD__)
#define VALUE_LOOP __attribute__((target_clones("avx2", "default")))
#else
#define VALUE_LOOP
#endif

// count little-endian float32 values, stride floats apart, from bytes into dst: divided by
// levelScale (in double, then rounded to float), or copied bit for bit when it is 1.
[[maybe_unused]] VALUE_LOOP void storeValues(const unsigned char *bytes, size_t stride, float *dst,
                                             uint64_t count, double levelScale)
{
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    // The wire order is the machine's: plain loops over floats, which the compiler vectorizes.
    const float *src = reinterpret_cast<const float *>(bytes);  // the scratch buffer holds floats
    if (levelScale == 1.0) {
        for (uint64_t k = 0; k < count; ++k)
            dst[k] = src[k * stride];
        return;
    }
    for (uint64_t k = 0; k < count; ++k)
        dst[k] = float(double(src[k * stride]) / levelScale);
#else
    for (uint64_t k = 0; k < count; ++k) {
        const float v = qFromLittleEndian<float>(bytes + 4 * k * stride);
        dst[k] = levelScale == 1.0 ? v : float(double(v) / levelScale);
    }
#endif
}

// Pairs from bytes into the two arrays in one pass.
VALUE_LOOP void storePairs(const unsigned char *bytes, float *i, float *q, uint64_t count,
                           double levelScale)
{
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    const float *src = reinterpret_cast<const float *>(bytes);
    if (levelScale == 1.0) {
        for (uint64_t k = 0; k < count; ++k) {
            i[k] = src[2 * k];
            q[k] = src[2 * k + 1];
        }
        return;
    }
    for (uint64_t k = 0; k < count; ++k) {
        i[k] = float(double(src[2 * k]) / levelScale);
        q[k] = float(double(src[2 * k + 1]) / levelScale);
    }
#else
    storeValues(bytes, 2, i, count, levelScale);
    storeValues(bytes + 4, 2, q, count, levelScale);
#endif
}

// Pairs that go through a small buffer of their own at the very end of a block, where the
// unfilled part of the I array has become too small to take them as bytes.
constexpr uint64_t kTailPairs = 4096;
// Pairs moved at a time from a read's bytes into the arrays: a piece that stays in the
// processor's cache.
constexpr uint64_t kPiecePairs = 2048;

// Splits n pairs whose bytes were read into i itself (i[0 .. 2n) as floats) into i[0 .. n)
// and q[0 .. n). Piece by piece through a small copy: the pieces not yet split lie at or
// beyond 2 x the next piece's start, so the I values written never reach them.
void splitPairsInPlace(float *i, float *q, uint64_t n, double levelScale)
{
    alignas(64) float piece[2 * kPiecePairs];
    for (uint64_t k = 0; k < n; k += kPiecePairs) {
        const uint64_t m = std::min(kPiecePairs, n - k);
        std::memcpy(piece, i + 2 * k, size_t(8 * m));
        storePairs(reinterpret_cast<const unsigned char *>(piece), i + k, q + k, m, levelScale);
    }
}

// Reads the pairs straight into the record's arrays, with no buffer the size of a chunk:
// a chunk's bytes land in the part of the I array that is not filled yet (it has room for
// the bytes of half the pairs still to come) and are then split in place. Chunks keep their
// size while they fit, the last ones halve, and the final few pairs use a small buffer.
AcquisitionStatus readPairs(BlockBody &body, uint64_t count, double levelScale, IqBuffer &record,
                            AcquisitionProgress &progress)
{
    const uint64_t chunk = std::max<uint64_t>(1, std::min(pairChunk(count), count));
    float *const i = record.iData.data();
    float *const q = record.qData.data();
    alignas(64) float tail[2 * kTailPairs];
    progress.begin(QStringLiteral("Reading IQ values..."));
    for (uint64_t done = 0; done < count;) {
        const uint64_t room = (count - done) / 2;
        const bool inPlace = room >= kTailPairs;
        const uint64_t n = inPlace ? std::min(chunk, room) : std::min(kTailPairs, count - done);
        float *const landing = inPlace ? i + done : tail;
        const AcquisitionStatus status
                = body.take(reinterpret_cast<unsigned char *>(landing), 8 * n);
        if (status != AcquisitionStatus::Success)
            return status;
        if (inPlace)
            splitPairsInPlace(i + done, q + done, n, levelScale);
        else
            storePairs(reinterpret_cast<const unsigned char *>(tail), i + done, q + done, n,
                       levelScale);
        done += n;
        if (!progress.transferred(done, count, 8 * done) && done < count)
            return AcquisitionStatus::Cancelled;
    }
    return AcquisitionStatus::Success;
}

// Divides count values in place by levelScale (a copy when it is 1: nothing to do).
VALUE_LOOP void scaleInPlace(float *values, uint64_t count, double levelScale)
{
    if (levelScale == 1.0)
        return;
    for (uint64_t k = 0; k < count; ++k)
        values[k] = float(double(values[k]) / levelScale);
}

// One channel of a split block, read straight into its array and scaled there.
AcquisitionStatus readChannel(BlockBody &body, const QString &title, float *dst, uint64_t count,
                              double levelScale, AcquisitionProgress &progress)
{
    const uint64_t piece
            = std::clamp<uint64_t>((count + kUpdatesPerRead - 1) / kUpdatesPerRead, 1, kChunkPairs);
    progress.begin(title);
    for (uint64_t done = 0; done < count;) {
        const uint64_t n = std::min(piece, count - done);
        const AcquisitionStatus status
                = body.take(reinterpret_cast<unsigned char *>(dst + done), 4 * n);
        if (status != AcquisitionStatus::Success)
            return status;
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
        scaleInPlace(dst + done, n, levelScale);
#else
        storeValues(reinterpret_cast<const unsigned char *>(dst + done), 1, dst + done, n,
                    levelScale);
#endif
        done += n;
        if (!progress.transferred(done, count, 4 * done))
            return AcquisitionStatus::Cancelled;
    }
    return AcquisitionStatus::Success;
}

bool digitsValue(const unsigned char *text, size_t count, uint64_t &value)
{
    value = 0;
    for (size_t i = 0; i < count; ++i) {
        if (text[i] < '0' || text[i] > '9' || value > (UINT64_MAX - 9) / 10)
            return false;
        value = value * 10 + (text[i] - '0');
    }
    return count > 0;
}

// A header read must deliver all it asked for and must not end the message (END, status 0).
// A wait the user cancelled is Cancelled; any other failure is BadBlock.
AcquisitionStatus headerRead(const ByteReader &read, unsigned char *buffer, ViUInt32 count)
{
    ViUInt32 got = 0;
    const ViStatus status = read(buffer, count, got);
    if (status == VI_ERROR_ABORT)
        return AcquisitionStatus::Cancelled;
    return status > VI_SUCCESS && got == count ? AcquisitionStatus::Success
                                               : AcquisitionStatus::BadBlock;
}

}  // namespace

uint64_t pairChunk(uint64_t sampleCount)
{
    return sampleCount < kTwentyChunkPairs ? kChunkPairs : sampleCount / 20;
}

bool hasParenthesisedHeader(uint64_t sampleCount)
{
    return 8 * sampleCount >= 1000000000u;
}

AcquisitionStatus readBlockHeader(const ByteReader &read, bool parenthesised, uint64_t &length)
{
    unsigned char header[kHeaderBytes] = {};
    AcquisitionStatus status = headerRead(read, header, 2);
    if (status != AcquisitionStatus::Success)
        return status;
    if (header[0] != '#')
        return AcquisitionStatus::BadBlock;
    if (!parenthesised) {
        const int digits = header[1] - '0';
        if (digits < 1 || digits > 9)
            return AcquisitionStatus::BadBlock;
        status = headerRead(read, header + 2, ViUInt32(digits));
        if (status != AcquisitionStatus::Success)
            return status;
        return digitsValue(header + 2, size_t(digits), length) ? AcquisitionStatus::Success
                                                               : AcquisitionStatus::BadBlock;
    }
    if (header[1] != '(')
        return AcquisitionStatus::BadBlock;
    for (int used = 2; used < kHeaderBytes; ++used) {
        status = headerRead(read, header + used, 1);
        if (status != AcquisitionStatus::Success)
            return status;
        if (header[used] == ')')
            return digitsValue(header + 2, size_t(used - 2), length) ? AcquisitionStatus::Success
                                                                     : AcquisitionStatus::BadBlock;
    }
    return AcquisitionStatus::BadBlock;  // longer than the header buffer
}

AcquisitionStatus readBlockBody(const ByteReader &read, uint64_t length, BlockLayout layout,
                                double levelScale, IqBuffer &record, AcquisitionProgress &progress)
{
    const uint64_t count = length / 8;
    if (int64_t(count) > std::min(record.iData.size(), record.qData.size()))
        return AcquisitionStatus::BadBlock;
    BlockBody body(read, length);
    AcquisitionStatus status;
    if (layout == BlockLayout::Pairs) {
        status = readPairs(body, count, levelScale, record, progress);
    } else {
        status = readChannel(body, QStringLiteral("Reading I values..."), record.iData.data(),
                             count, levelScale, progress);
        if (status == AcquisitionStatus::Success)
            status = readChannel(body, QStringLiteral("Reading Q values..."), record.qData.data(),
                                 count, levelScale, progress);
    }
    if (status == AcquisitionStatus::Success)
        status = body.skip(length - 8 * count);
    progress.end();
    if (status != AcquisitionStatus::Success)
        return status;
    body.finish();
    record.sampleCount = int64_t(count);
    record.iData.truncate(record.sampleCount);
    record.qData.truncate(record.sampleCount);
    return AcquisitionStatus::Success;
}
