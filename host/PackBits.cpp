// PackBits from a bitmask of the places where three equal bytes start, built 64 bytes at a
// time by wide compares (SSE2, else eight bytes a word); the repeats and literals follow from
// the edges of that mask, found by bit scans rather than byte by byte.
#include "host/PackBits.h"

#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {
constexpr size_t kMaxToken = 128;  // bytes of one repeat or one literal at most
constexpr size_t kChunk = 16;      // literals are copied in chunks of this size where there is room

#ifdef __SSE2__
// Bit j: byte j of p equals byte j + 1, for sixteen bytes.
uint64_t SameNext16(const uint8_t* p)
{
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(a, b)));
}
#else
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

// Bit j: three equal bytes start at base + j (and base + j + 2 < n), that is byte j equals
// byte j + 1 and byte j + 1 equals byte j + 2.
uint64_t TripleStarts(const uint8_t* src, size_t base, size_t n)
{
    const uint8_t* p = src + base;
    uint64_t same = 0;  // bit j: byte j equals byte j + 1
    if (base + 66 <= n) {
#ifdef __SSE2__
        same = SameNext16(p) | SameNext16(p + 16) << 16 | SameNext16(p + 32) << 32 | SameNext16(p + 48) << 48;
#else
        for (int k = 0; k < 64; k += 8) same |= static_cast<uint64_t>(ZeroBytes(Load(p + k) ^ Load(p + k + 1))) << k;
#endif
        return same & ((same >> 1) | (static_cast<uint64_t>(p[64] == p[65]) << 63));
    }
#ifdef __SSE2__
    if (n >= 17) {
        // The last block: whole steps while they stay inside, then one step ending at the
        // last byte (overlapping ones already done); no bit is set past byte n - 2.
        int k = 0;
        for (; k < 64 && base + k + 17 <= n; k += 16) same |= SameNext16(p + k) << k;
        const uint64_t last = SameNext16(src + n - 17);
        same |= n - 17 >= base ? last << (n - 17 - base) : last >> (base - (n - 17));
        return same & (same >> 1);
    }
#endif
    uint64_t mask = 0;
    for (size_t j = 0; j < 64 && base + j + 2 < n; ++j)
        if (p[j] == p[j + 1] && p[j] == p[j + 2]) mask |= uint64_t{1} << j;
    return mask;
}

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

// The bytes from..to-1 (no three equal bytes start among them) as literals of at most
// kMaxToken bytes.
uint8_t* EmitLongLiterals(uint8_t* out, const uint8_t* src, size_t from, size_t to, size_t n, const uint8_t* room)
{
    while (from < to) {
        const size_t len = to - from < kMaxToken ? to - from : kMaxToken;
        *out++ = static_cast<uint8_t>(len - 1);
        out = CopyLiteral(out, src + from, len, n - from, room);
        from += len;
    }
    return out;
}

// As EmitLongLiterals, in line where the source and the room allow copying whole pairs of
// chunks past the end (diffused rasters have many literals longer than one token).
inline uint8_t* EmitLiterals(uint8_t* out, const uint8_t* src, size_t from, size_t to, size_t n, const uint8_t* room)
{
    constexpr size_t kPair = 2 * kChunk;
    size_t len = to - from;
    if (len == 0) return out;  // one repeat right after another
    if ((len + kPair - 1) / kPair * kPair > n - from || out + len + len / kMaxToken + 1 + kPair > room)
        return EmitLongLiterals(out, src, from, to, n, room);
    do {
        const size_t run = len < kMaxToken ? len : kMaxToken;
        *out = static_cast<uint8_t>(run - 1);
        for (size_t k = 0; k < run; k += kPair) {
            std::memcpy(out + 1 + k, src + from + k, kChunk);
            std::memcpy(out + 1 + k + kChunk, src + from + k + kChunk, kChunk);
        }
        out += 1 + run;
        from += run;
        len -= run;
    } while (len);
    return out;
}

// The equal bytes from..to-1 (at least three) as repeats of at most kMaxToken bytes; one or
// two bytes left over begin the next literal. Returns where that literal starts.
size_t EmitRun(uint8_t*& out, const uint8_t* src, size_t from, size_t to)
{
    for (size_t len = to - from; len >= 3; len = to - from) {
        const size_t run = len < kMaxToken ? len : kMaxToken;
        out[0] = static_cast<uint8_t>(257 - run);
        out[1] = src[from];
        out += 2;
        from += run;
    }
    return from;
}

// A literal of len bytes (none when len is 0) and the repeat of runLen bytes (3 to kMaxToken)
// after it, with no branch on either length: the literal goes out as a whole window of kWindow
// bytes, of which the next token overwrites what is not its own. Most tokens of a diffused
// raster are this pair; the caller checks that the window lies inside the source and the room.
constexpr size_t kWindow = 4 * kChunk;

inline uint8_t* EmitPair(uint8_t* out, const uint8_t* literal, size_t len, size_t runLen)
{
    out[0] = static_cast<uint8_t>(len - 1);
    std::memcpy(out + 1, literal, kChunk);  // kWindow: four chunks
    std::memcpy(out + 1 + kChunk, literal + kChunk, kChunk);
    std::memcpy(out + 1 + 2 * kChunk, literal + 2 * kChunk, kChunk);
    std::memcpy(out + 1 + 3 * kChunk, literal + 3 * kChunk, kChunk);
    out += len + (len != 0);
    out[0] = static_cast<uint8_t>(257 - runLen);
    out[1] = literal[len];
    return out + 2;
}
}  // namespace

// The places where three equal bytes start come in stretches: each stretch of k places is a
// repeat of k + 2 bytes, and the bytes between the end of one repeat and the next stretch are
// a literal. So the tokens follow from the edges of the mask (where it turns on or off), taken
// in order by bit scans, a block of 64 bytes at a time.
size_t PackBitsEncode(uint8_t* dst, const uint8_t* src, size_t n)
{
    uint8_t* out = dst;
    const uint8_t* const room = dst + PackBitsBound(n);  // the caller's room: wide copies stay inside
    size_t from = 0;     // where the pending literal, or inside a stretch the repeat, starts
    bool inRun = false;  // inside a stretch
    uint64_t carry = 0;  // the mask bit of the previous block's last byte
    for (size_t base = 0; base < n; base += 64) {
        const uint64_t triples = TripleStarts(src, base, n);
        uint64_t edges = triples ^ ((triples << 1) | carry);
        carry = triples >> 63;
        if (inRun && edges) {
            from = EmitRun(out, src, from, base + static_cast<size_t>(__builtin_ctzll(edges)) + 2);
            edges &= edges - 1;
            inRun = false;
        }
        // Edges come in pairs, a stretch's start then its end, so no state is tested per edge.
        while (edges) {
            const size_t at = base + static_cast<size_t>(__builtin_ctzll(edges));
            edges &= edges - 1;
            if (!edges) {
                out = EmitLiterals(out, src, from, at, n, room);
                from = at;
                inRun = true;
                break;
            }
            const size_t to = base + static_cast<size_t>(__builtin_ctzll(edges)) + 2;
            edges &= edges - 1;
            // A stretch that starts and ends in one block makes a repeat of 3 to 65 bytes.
            if (at - from <= kWindow && from + kWindow < n && out + kWindow + 4 <= room) {
                out = EmitPair(out, src + from, at - from, to - at);
                from = to;
            } else {
                out = EmitLiterals(out, src, from, at, n, room);
                from = EmitRun(out, src, at, to);
            }
        }
    }
    return static_cast<size_t>(EmitLiterals(out, src, from, n, n, room) - dst);
}

size_t PackBitsEncodeLines(uint8_t* dst, const uint8_t* src, size_t lines, size_t bytesPerLine)
{
    size_t length = 0;
    for (size_t k = 0; k < lines; ++k) length += PackBitsEncode(dst + length, src + k * bytesPerLine, bytesPerLine);
    return length;
}
