// The analyzer's I/Q block reader fed from memory: the first byte chooses the layout, the
// header form and the room in the arrays, the rest is what the instrument sends. A read
// may fail, but never writes past the arrays, and a success holds what the header announced.
#include "iqblockreader.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t choice = data[0];
    const uint8_t *bytes = data + 1;
    const size_t count = size - 1;
    size_t position = 0;
    const ByteReader read = [&](unsigned char *buffer, ViUInt32 asked, ViUInt32 &got) -> ViStatus {
        got = ViUInt32(std::min<size_t>(asked, count - position));
        std::memcpy(buffer, bytes + position, got);
        position += got;
        if (got < asked)
            return (choice & 8) ? VI_ERROR_CONN_LOST : VI_SUCCESS;
        return VI_SUCCESS_MAX_CNT;
    };
    IqBuffer record;
    const int64_t room = (choice >> 4) * 16;
    if (allocateSamples(record, room) != IqStatus::Ok)
        return 0;
    uint64_t length = 0;
    SilentProgress progress;
    if (readBlockHeader(read, choice & 1, length) != AcquisitionStatus::Success)
        return 0;
    const AcquisitionStatus status
            = readBlockBody(read, length, (choice & 2) ? BlockLayout::Split : BlockLayout::Pairs,
                            (choice & 4) ? 0.5 : 1.0, record, progress);
    if (status == AcquisitionStatus::Success
        && (record.sampleCount != int64_t(length / 8) || record.sampleCount > room))
        std::abort();
    return 0;
}
