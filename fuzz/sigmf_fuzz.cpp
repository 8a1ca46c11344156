// SigMF metadata and archive walk. The input is split in two (containerfuzzinput.h): the
// metadata text and the data part. Both are also walked as a tar archive. Aborts when a
// parse that succeeded lays samples outside the data.
#include "codecfuzz.h"
#include "containerfuzzinput.h"
#include "sigmfarchive.h"
#include "sigmfmeta.h"

#include <cstdlib>

namespace {

void checkLayout(const SigmfMeta &meta, int64_t dataBytes)
{
    int64_t total = 0;
    for (const SigmfSegment &s : meta.segments) {
        if (s.offset < 0 || s.count < 0 || s.offset + s.count * meta.type.sampleBytes() > dataBytes)
            std::abort();
        total += s.count;
    }
    if (total != meta.count)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    quietQt();
    const FuzzParts parts = splitFuzzInput(data, size);
    SigmfMeta meta;
    SigmfProblem problem;  // the failure's reason is worked out too (line and column of bad JSON)
    if (parseSigmfMeta(parts.first, parts.second.size(), meta, &problem) == IqStatus::Ok)
        checkLayout(meta, parts.second.size());
    else if (problem.reason.isEmpty())
        std::abort();  // every refusal says why

    QBuffer tar;
    openBuffer(tar, QByteArray(reinterpret_cast<const char *>(data), int(size)));
    QByteArray text;
    int64_t offset = 0, bytes = 0;
    QString reason, member;
    if (findSigmfInTar(tar, text, offset, bytes, &reason, &member)
        && (offset < 0 || bytes < 0 || offset + bytes > int64_t(size)))
        std::abort();
    codecFuzzFile("x.sigmf-data", parts.second);
    checkCodecOn(codecFuzzFile("x.sigmf-meta", parts.first), QString(), 33);
    return 0;
}
