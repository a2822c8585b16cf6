// PackBits: count byte c < 0x80 gives c+1 literal bytes, c > 0x80 repeats the next byte 257-c times.
#include "decode/PackBits.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr size_t kChunk = 16;
}  // namespace

UnpackResult UnpackBits(const uint8_t* in, size_t n, size_t want, std::vector<uint8_t>& out)
{
    // Never more than the input can expand to (128 bytes per 2 input bytes), and room for runs
    // and literals written in whole chunks.
    out.resize(std::min(want, n * 64 + 128) + kChunk);
    uint8_t* dst = out.data();
    size_t pos = 0, done = 0;
    UnpackResult result{UnpackStatus::Ok, 0};
    while (done < want) {
        if (pos >= n) {
            result = {UnpackStatus::Truncated, pos};
            break;
        }
        const size_t countAt = pos;
        const uint8_t c = in[pos++];
        const size_t len = c < 0x80 ? size_t{c} + 1 : 257 - size_t{c};
        if (c == 0x80) {
            result = {UnpackStatus::Count80, countAt};
            break;
        }
        if (done + len > want) {
            result = {UnpackStatus::Overflow, countAt};
            break;
        }
        if (n - pos < (c < 0x80 ? len : 1)) {
            result = {UnpackStatus::Truncated, countAt};
            break;
        }
        if (c < 0x80) {
            // Whole chunks where the input holds them; the bytes past the literal are written
            // over by what follows, or cut off at the end.
            if (n - pos >= (len + kChunk - 1) / kChunk * kChunk) {
                for (size_t i = 0; i < len; i += kChunk) std::memcpy(dst + done + i, in + pos + i, kChunk);
            } else {
                std::memcpy(dst + done, in + pos, len);
            }
            pos += len;
        } else {
            const uint64_t fill = in[pos++] * 0x0101010101010101ull;
            for (size_t i = 0; i < len; i += 8) std::memcpy(dst + done + i, &fill, 8);
        }
        done += len;
    }
    out.resize(done);
    if (result.status == UnpackStatus::Ok) result.consumed = pos;
    return result;
}
