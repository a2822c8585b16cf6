// PackBits from a bitmask of the places where three equal bytes start, built 64 bytes at a
// time by wide compares (SSE2, else eight bytes a word): a repeat is a stretch of set bits, a
// literal ends at the next set bit, so runs and literals are found by bit scans, not per byte.
#include "host/PackBits.h"

#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {
constexpr size_t kMaxToken = 128;  // bytes of one repeat or one literal at most
constexpr size_t kChunk = 16;      // literals are copied in chunks of this size where there is room

#ifndef __SSE2__
uint64_t Load(const uint8_t* p)
{
    uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

// Bit k set when byte k of w is zero (exact, no carries between bytes).
unsigned ZeroBytes(uint64_t w)
{
    constexpr uint64_t k7F = 0x7F7F7F7F7F7F7F7Full;
    const uint64_t high = ~(((w & k7F) + k7F) | w | k7F);  // 0x80 in each zero byte
    return static_cast<unsigned>(((high >> 7) * 0x0102040810204080ull) >> 56);
}
#endif

// Bit j: three equal bytes start at base + j (and base + j + 2 < n).
uint64_t TripleStarts(const uint8_t* src, size_t base, size_t n)
{
    const uint8_t* p = src + base;
    uint64_t mask = 0;
    if (base + 66 <= n) {
#ifdef __SSE2__
        for (int k = 0; k < 64; k += 16) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k + 1));
            const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k + 2));
            const unsigned m = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, b), _mm_cmpeq_epi8(a, c))));
            mask |= static_cast<uint64_t>(m) << k;
        }
#else
        for (int k = 0; k < 64; k += 8) {
            const uint64_t a = Load(p + k);
            mask |= static_cast<uint64_t>(ZeroBytes((a ^ Load(p + k + 1)) | (a ^ Load(p + k + 2)))) << k;
        }
#endif
        return mask;
    }
    for (size_t j = 0; j < 64 && base + j + 2 < n; ++j)
        if (p[j] == p[j + 1] && p[j] == p[j + 2]) mask |= uint64_t{1} << j;
    return mask;
}

// The triple-start masks of a stretch of the input, from a 64-byte block on, read through a
// 64-bit window at any position.
class TripleMasks {
public:
    static constexpr size_t kWords = 64;  // blocks a stretch holds (4 KB of input)
    static constexpr size_t kAhead = 3;   // blocks a token may look beyond its start: 128 + 2 bytes

    // Masks of the blocks from the one holding `from`; returns where tokens may start and still
    // see every byte they need (n when the stretch reaches the end).
    size_t Fill(const uint8_t* src, size_t from, size_t n)
    {
        m_base = from / 64 * 64;
        const size_t blocks = (n - m_base + 63) / 64;
        const size_t words = blocks < kWords ? blocks : kWords;
        for (size_t w = 0; w < words; ++w) m_masks[w] = TripleStarts(src, m_base + 64 * w, n);
        m_masks[words] = 0;
        return words == blocks ? n : m_base + 64 * (words - kAhead);
    }
    // Bits of positions i..i+63 (i inside the stretch), position i at bit 0.
    uint64_t At(size_t i) const
    {
        const size_t o = i - m_base, w = o / 64, s = o % 64;
        return (m_masks[w] >> s) | ((m_masks[w + 1] << 1) << (63 - s));
    }
    // First set position in [i, limit), else limit (limit <= i + kMaxToken).
    size_t Next(size_t i, size_t limit) const
    {
        for (; i < limit; i += 64)
            if (const uint64_t w = At(i)) {
                const size_t at = i + static_cast<size_t>(__builtin_ctzll(w));
                return at < limit ? at : limit;
            }
        return limit;
    }
    // Bytes equal to the one at i from i on, when three equal bytes start at i: the set bits
    // from i on, plus two; at most kMaxToken.
    size_t Run(size_t i) const
    {
        size_t ones = 0;
        for (;;) {
            const uint64_t w = ~At(i + ones);
            if (w) {
                ones += static_cast<size_t>(__builtin_ctzll(w));
                break;
            }
            ones += 64;
            if (ones + 2 >= kMaxToken) break;
        }
        return ones + 2 < kMaxToken ? ones + 2 : kMaxToken;
    }

private:
    size_t m_base = 0;
    uint64_t m_masks[kWords + 1];
};

// Copies a literal of len bytes; in whole chunks (at least two) where the source and the room
// after it allow, as most literals are short.
uint8_t* CopyLiteral(uint8_t* out, const uint8_t* src, size_t len, size_t left, const uint8_t* room)
{
    size_t wide = (len + kChunk - 1) / kChunk * kChunk;
    if (wide < 2 * kChunk) wide = 2 * kChunk;
    if (wide <= left && out + wide <= room) {
        for (size_t k = 0; k < wide; k += kChunk) std::memcpy(out + k, src + k, kChunk);
    } else {
        std::memcpy(out, src, len);
    }
    return out + len;
}
}  // namespace

size_t PackBitsEncode(uint8_t* dst, const uint8_t* src, size_t n)
{
    uint8_t* out = dst;
    const uint8_t* const room = dst + PackBitsBound(n);  // the caller's room: wide copies stay inside
    TripleMasks triples;
    size_t i = 0;
    while (i < n) {
        const size_t stop = triples.Fill(src, i, n);
        while (i < stop) {
            // A literal ends where three equal bytes start, or after kMaxToken bytes; a repeat
            // follows it unless it was cut at kMaxToken.
            const size_t end = triples.Next(i, n - i < kMaxToken ? n : i + kMaxToken);
            if (end != i) {
                const size_t len = end - i;
                *out++ = static_cast<uint8_t>(len - 1);
                out = CopyLiteral(out, src + i, len, n - i, room);
                i = end;
                if (i >= stop) break;
            }
            if (triples.At(i) & 1) {
                const size_t run = triples.Run(i);
                out[0] = static_cast<uint8_t>(257 - run);
                out[1] = src[i];
                out += 2;
                i += run;
            }
        }
    }
    return static_cast<size_t>(out - dst);
}

size_t PackBitsEncodeLines(uint8_t* dst, const uint8_t* src, size_t lines, size_t bytesPerLine)
{
    size_t length = 0;
    for (size_t k = 0; k < lines; ++k) length += PackBitsEncode(dst + length, src + k * bytesPerLine, bytesPerLine);
    return length;
}
