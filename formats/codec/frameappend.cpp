#include "frameappend.h"

#include "wavpcm.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int64_t kPiece = int64_t(1) << 20;

// The existing frames, a piece at a time, handed to each(span, count).
template<typename Each>
IqStatus eachPiece(FrameReader &reader, std::vector<float> &i, std::vector<float> &q, Each each)
{
    const int64_t n = reader.frameCount();
    for (int64_t done = 0; done < n;) {
        const int64_t m = std::min(kPiece, n - done);
        if (const IqStatus s = reader.read(done, m, FrameSpan{i.data(), q.data(), 1}); failed(s))
            return s;
        if (const IqStatus s = each(ConstFrameSpan{i.data(), q.data(), 1}, m); failed(s))
            return s;
        done += m;
    }
    return IqStatus::Ok;
}

}  // namespace

IqStatus appendFrames(const FrameCodec &codec, int typeCode, const QString &iFile,
                      const QString &qFile, const IqBuffer &facts, const IqBuffer &added,
                      int32_t guardCount, int64_t &total)
{
    IqStatus status = IqStatus::Ok;
    const auto reader = codec.openReader(iFile, qFile, typeCode, status);
    if (!reader)
        return status;
    const auto writer = codec.openWriter(iFile, qFile, typeCode, status);
    if (!writer)
        return status;
    const int64_t n = reader->frameCount();
    const int64_t m = added.heldCount();
    const int64_t g = std::clamp<int64_t>(guardCount, 0, m);
    total = n + g + m;
    std::vector<float> i, q;
    try {
        i.resize(size_t(std::min(n, kPiece)));
        q.resize(i.size());
    } catch (const std::bad_alloc &) {
        return failFile(IqStatus::OutOfMemory, iFile,
                        QStringLiteral("out of memory: no room to read the file in pieces"));
    }
    const ConstFrameSpan add{added.iData.data(), added.qData.data(), 1};
    FrameSummary summary;
    if (writer->needsSummary()) {
        PcmScanner scanner;
        if (const IqStatus s = eachPiece(*reader, i, q,
                                         [&](const ConstFrameSpan &p, int64_t k) {
                                             scanner.add(p.i, p.q, k);
                                             return IqStatus::Ok;
                                         });
            failed(s))
            return s;
        scanner.add(add.i + (m - g), add.q + (m - g), g);
        scanner.add(add.i, add.q, m);
        const PcmScan s = scanner.result();
        summary = {n + g + m, s.iMin, s.iMax, s.qMin, s.qMax, s.powerSum, s.peak};
    }
    if (const IqStatus s
        = writer->begin(facts, n + g + m, writer->needsSummary() ? &summary : nullptr);
        failed(s))
        return s;
    if (const IqStatus s
        = eachPiece(*reader, i, q,
                    [&](const ConstFrameSpan &p, int64_t k) { return writer->write(k, p); });
        failed(s))
        return s;
    if (const IqStatus s = writer->write(g, add.from(m - g)); failed(s))
        return s;
    if (const IqStatus s = writer->write(m, add); failed(s))
        return s;
    return writer->finish();
}
