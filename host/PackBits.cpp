// PackBits with runs found sixteen (SSE2) or eight bytes at a time: a wide compare finds where
// a run of equal bytes ends, and where the next three equal bytes start a literal's end.
#include "host/PackBits.h"

#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {
constexpr uint64_t kOnes = 0x0101010101010101ull;
constexpr uint64_t kHighs = 0x8080808080808080ull;

uint64_t Load(const uint8_t* p)
{
    uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

// Index of the lowest byte that is zero in w (little-endian order), 8 when none. The classic
// test marks bytes above a zero byte falsely at times, never below it, so the lowest mark holds.
unsigned FirstZeroByte(uint64_t w)
{
    const uint64_t m = (w - kOnes) & ~w & kHighs;
    return m ? static_cast<unsigned>(__builtin_ctzll(m)) / 8 : 8;
}

// Bytes equal to src[i] from i on, at most `limit` (i + limit <= n).
size_t RunLength(const uint8_t* src, size_t i, size_t limit)
{
    // Most runs in noisy rows end at once: no wide compare for them.
    if (limit < 2 || src[i + 1] != src[i]) return 1;
    if (limit < 3 || src[i + 2] != src[i]) return 2;
    const uint64_t pattern = src[i] * kOnes;
    size_t j = 3;
#ifdef __SSE2__
    const __m128i wide = _mm_set1_epi8(static_cast<char>(src[i]));
    for (; j + 16 <= limit; j += 16) {
        const unsigned same = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i + j)), wide)));
        if (same != 0xFFFF) return j + static_cast<size_t>(__builtin_ctz(~same));
    }
#endif
    for (; j + 8 <= limit; j += 8) {
        const uint64_t diff = Load(src + i + j) ^ pattern;
        if (diff) return j + static_cast<size_t>(__builtin_ctzll(diff)) / 8;
    }
    while (j < limit && src[i + j] == src[i]) ++j;
    return j;
}

// First j in [i, end) where three equal bytes start (j + 2 < n), else end.
size_t FindTriple(const uint8_t* src, size_t i, size_t end, size_t n)
{
    size_t j = i;
#ifdef __SSE2__
    for (; j < end && j + 18 <= n; j += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + j));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + j + 1));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + j + 2));
        const unsigned m = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, b), _mm_cmpeq_epi8(a, c))));
        if (m) return j + __builtin_ctz(m) < end ? j + __builtin_ctz(m) : end;
    }
#endif
    for (; j < end && j + 10 <= n; j += 8) {
        const uint64_t a = Load(src + j);
        const unsigned z = FirstZeroByte((a ^ Load(src + j + 1)) | (a ^ Load(src + j + 2)));
        if (z < 8) return j + z < end ? j + z : end;
    }
    for (; j < end; ++j)
        if (j + 2 < n && src[j] == src[j + 1] && src[j] == src[j + 2]) return j;
    return end;
}
}  // namespace

size_t PackBitsEncode(uint8_t* dst, const uint8_t* src, size_t n)
{
    uint8_t* out = dst;
    size_t i = 0;
    while (i < n) {
        const size_t run = RunLength(src, i, n - i < 128 ? n - i : 128);
        if (run >= 3) {
            *out++ = static_cast<uint8_t>(257 - run);
            *out++ = src[i];
            i += run;
            continue;
        }
        // A literal ends where three equal bytes start, or after 128 bytes.
        const size_t end = FindTriple(src, i, n - i < 128 ? n : i + 128, n);
        const size_t len = end - i;
        *out++ = static_cast<uint8_t>(len - 1);
        std::memcpy(out, src + i, len);
        out += len;
        i = end;
    }
    return static_cast<size_t>(out - dst);
}

size_t PackBitsEncodeLines(uint8_t* dst, const uint8_t* src, size_t lines, size_t bytesPerLine)
{
    size_t length = 0;
    for (size_t k = 0; k < lines; ++k) length += PackBitsEncode(dst + length, src + k * bytesPerLine, bytesPerLine);
    return length;
}
