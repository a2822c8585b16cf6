// PackBits: count byte c < 0x80 gives c+1 literal bytes, c > 0x80 repeats the next byte 257-c times.
#include "decode/PackBits.h"

#include <algorithm>

UnpackResult UnpackBits(const uint8_t* in, size_t n, size_t want, std::vector<uint8_t>& out)
{
    out.clear();
    // Never reserve more than the input can expand to (128 bytes per 2 input bytes).
    out.reserve(std::min(want, n * 64 + 128));
    size_t pos = 0;
    while (out.size() < want) {
        if (pos >= n) return {UnpackStatus::Truncated, pos};
        const size_t countAt = pos;
        const uint8_t c = in[pos++];
        if (c == 0x80) return {UnpackStatus::Count80, countAt};
        if (c < 0x80) {
            const size_t len = size_t{c} + 1;
            if (out.size() + len > want) return {UnpackStatus::Overflow, countAt};
            if (n - pos < len) return {UnpackStatus::Truncated, countAt};
            out.insert(out.end(), in + pos, in + pos + len);
            pos += len;
        } else {
            const size_t len = 257 - size_t{c};
            if (out.size() + len > want) return {UnpackStatus::Overflow, countAt};
            if (pos >= n) return {UnpackStatus::Truncated, countAt};
            out.insert(out.end(), len, in[pos++]);
        }
    }
    return {UnpackStatus::Ok, pos};
}
