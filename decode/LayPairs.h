// Laying a 2-bit raster line whose pixels are two columns apart (the weave's two horizontal
// passes at 1440 dpi, the most common case) sixteen raster bytes at a time with SSE2: each
// raster nibble spreads to one row byte, so the row is written byte by byte in place, and the
// dots of each value are counted on the raster bytes.
#pragma once
#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#define RPHOTO_LAY_PAIRS 1

namespace lay_pairs {
// Per nibble, how many of its two pixel pairs have the bit of `bits` (only the low bit of each
// pair may be set): 0 to 2.
inline __m128i NibbleCounts(__m128i bits)
{
    const __m128i m33 = _mm_set1_epi8(0x33);
    return _mm_add_epi8(_mm_and_si128(bits, m33), _mm_and_si128(_mm_srli_epi16(bits, 2), m33));
}

// Nibble counts (up to 15 each) added into the two 64-bit lanes of `sum`.
inline __m128i AddNibbles(__m128i sum, __m128i nibbles)
{
    const __m128i m0f = _mm_set1_epi8(0x0F);
    const __m128i bytes = _mm_add_epi8(_mm_and_si128(nibbles, m0f), _mm_and_si128(_mm_srli_epi16(nibbles, 4), m0f));
    return _mm_add_epi64(sum, _mm_sad_epu8(bytes, _mm_setzero_si128()));
}

inline uint64_t Lanes(__m128i v)
{
    alignas(16) uint64_t l[2];
    _mm_store_si128(reinterpret_cast<__m128i*>(l), v);
    return l[0] + l[1];
}

// The low bit of each occupied position of 16 row bytes.
inline __m128i Occupied(__m128i x)
{
    return _mm_and_si128(_mm_or_si128(x, _mm_srli_epi16(x, 1)), _mm_set1_epi8(0x55));
}

// Merges 16 spread bytes into the row at `out`; a position already holding a dot goes to
// clash(byte index from out, clashing bits of that byte in position order). `mine` has both
// bits of every position the line can print: where the row holds nothing there, nothing clashes.
template <typename Clash>
inline void Merge(uint8_t* out, __m128i put, __m128i mine, size_t at, Clash& clash)
{
    const __m128i had = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out));
    const __m128i zero = _mm_setzero_si128();
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(had, mine), zero)) == 0xFFFF ||
        _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(Occupied(had), Occupied(put)), zero)) == 0xFFFF) [[likely]] {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_or_si128(had, put));
        return;
    }
    alignas(16) uint8_t p[16];
    _mm_store_si128(reinterpret_cast<__m128i*>(p), put);
    for (int k = 0; k < 16; ++k) {
        const unsigned o = out[k], q = p[k];
        const unsigned c = ((o | o >> 1) & (q | q >> 1) & 0x55) * 3;
        out[k] = static_cast<uint8_t>(o | (q & ~c));
        if (c) clash(at + static_cast<size_t>(k), static_cast<uint8_t>(q & c));
    }
}

// Lays raster bytes [0, n) (n a multiple of 16) at row bytes out[0, 2n), each raster byte's
// pixels `shift` (0 or 2) bits into its two row bytes; `at` is out's byte index in the row.
// Returns the dots of each value in 21-bit fields (value 1 in the lowest).
template <typename Clash>
uint64_t Lay(uint8_t* out, size_t at, const uint8_t* line, int n, int shift, Clash& clash)
{
    const __m128i nib = _mm_set1_epi8(0x0F), top = _mm_set1_epi8(0x0C), bottom = _mm_set1_epi8(0x03);
    const __m128i low = _mm_set1_epi8(0x55);
    const __m128i shiftTop = _mm_cvtsi32_si128(4 - shift), shiftBottom = _mm_cvtsi32_si128(2 - shift);
    const __m128i mine = _mm_set1_epi8(static_cast<char>(shift ? 0x33 : 0xCC));
    // A nibble's two pixels a b become the row byte a 0 b 0 (shifted right by `shift` bits).
    auto spread = [&](__m128i v) {
        return _mm_or_si128(_mm_sll_epi16(_mm_and_si128(v, top), shiftTop),
                            _mm_sll_epi16(_mm_and_si128(v, bottom), shiftBottom));
    };
    // Pixels with the low bit, the high bit and both, counted per nibble for up to 7 rounds
    // (2 a round), then summed.
    __m128i lowCount = _mm_setzero_si128(), highCount = _mm_setzero_si128(), bothCount = _mm_setzero_si128();
    __m128i lowN = _mm_setzero_si128(), highN = _mm_setzero_si128(), bothN = _mm_setzero_si128();
    auto flush = [&] {
        lowCount = AddNibbles(lowCount, lowN);
        highCount = AddNibbles(highCount, highN);
        bothCount = AddNibbles(bothCount, bothN);
        lowN = highN = bothN = _mm_setzero_si128();
    };
    for (int j = 0, round = 1; j < n; j += 16, out += 32, at += 32, ++round) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line + j));
        const __m128i hi = spread(_mm_and_si128(_mm_srli_epi16(x, 4), nib)), lo = spread(_mm_and_si128(x, nib));
        Merge(out, _mm_unpacklo_epi8(hi, lo), mine, at, clash);
        Merge(out + 16, _mm_unpackhi_epi8(hi, lo), mine, at + 16, clash);
        const __m128i l = _mm_and_si128(x, low), h = _mm_and_si128(_mm_srli_epi16(x, 1), low);
        lowN = _mm_add_epi8(lowN, NibbleCounts(l));
        highN = _mm_add_epi8(highN, NibbleCounts(h));
        bothN = _mm_add_epi8(bothN, NibbleCounts(_mm_and_si128(l, h)));
        if (round % 7 == 0) flush();
    }
    flush();
    const uint64_t three = Lanes(bothCount);
    return (Lanes(lowCount) - three) | (Lanes(highCount) - three) << 21 | three << 42;
}
}  // namespace lay_pairs
#endif
