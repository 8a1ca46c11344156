#include "response.h"

#include <algorithm>
#include <cstring>

namespace scpisim {

void Response::addText(const std::string &text)
{
    if (text.empty())
        return;
    if (!segments_.empty() && !segments_.back().signal) {
        segments_.back().text += text;
        segments_.back().size += text.size();
    } else {
        Segment s;
        s.text = text;
        s.size = text.size();
        segments_.push_back(s);
    }
    total_ += text.size();
}

namespace {

// "#", the digit count, the length; blocks of 1e9 bytes or more have more than nine digits
// and are announced as "#(length)".
std::string blockHeader(uint64_t dataBytes, int64_t lengthSkew)
{
    int64_t announced = int64_t(dataBytes) + lengthSkew;
    if (announced < 0)
        announced = 0;
    const std::string digits = std::to_string(announced);
    if (announced >= 1000000000)
        return "#(" + digits + ")";
    return "#" + std::to_string(digits.size()) + digits;
}

}  // namespace

void Response::addBlock(BlockContent content, uint64_t dataBytes, int64_t lengthSkew)
{
    addBlock(std::vector<BlockPart>{{content, dataBytes}}, lengthSkew);
}

void Response::addBlock(const std::vector<BlockPart> &parts, int64_t lengthSkew)
{
    uint64_t dataBytes = 0;
    for (const BlockPart &part : parts)
        dataBytes += part.bytes;
    addText(blockHeader(dataBytes, lengthSkew));
    for (const BlockPart &part : parts) {
        if (part.bytes == 0)
            continue;
        Segment s;
        s.signal = &TestSignal::get(part.content);
        s.size = part.bytes;
        segments_.push_back(s);
        total_ += part.bytes;
    }
}

void Response::addBlock(const std::string &bytes, int64_t lengthSkew)
{
    addText(blockHeader(bytes.size(), lengthSkew) + bytes);
}

void Response::finish()
{
    if (total_ > 0)
        addText("\n");
}

const uint8_t *Response::peek(size_t max, size_t &count) const
{
    count = 0;
    if (segment_ >= segments_.size() || max == 0)
        return nullptr;
    const Segment &s = segments_[segment_];
    const uint64_t left = s.size - segmentPos_;
    count = left < max ? size_t(left) : max;
    if (s.signal)
        return s.signal->at(segmentPos_, count);
    return reinterpret_cast<const uint8_t *>(s.text.data()) + segmentPos_;
}

void Response::advance(size_t count)
{
    position_ += count;
    segmentPos_ += count;
    while (segment_ < segments_.size() && segmentPos_ >= segments_[segment_].size) {
        segmentPos_ -= segments_[segment_].size;
        ++segment_;
    }
}

size_t Response::scan(uint8_t b, size_t max, bool &found) const
{
    found = false;
    size_t done = 0;
    size_t seg = segment_;
    uint64_t pos = segmentPos_;
    while (done < max && seg < segments_.size()) {
        const Segment &s = segments_[seg];
        size_t n = size_t(std::min<uint64_t>(s.size - pos, max - done));
        const uint8_t *p = s.signal ? s.signal->at(pos, n)
                                    : reinterpret_cast<const uint8_t *>(s.text.data()) + pos;
        if (const void *hit = std::memchr(p, b, n)) {
            found = true;
            return done + size_t(static_cast<const uint8_t *>(hit) - p) + 1;
        }
        done += n;
        pos += n;
        if (pos >= s.size) {
            ++seg;
            pos = 0;
        }
    }
    return done;
}

size_t Response::read(uint8_t *dst, size_t max)
{
    size_t done = 0;
    while (done < max) {
        size_t n = 0;
        const uint8_t *p = peek(max - done, n);
        if (!p || n == 0)
            break;
        std::memcpy(dst + done, p, n);
        advance(n);
        done += n;
    }
    return done;
}

}  // namespace scpisim
