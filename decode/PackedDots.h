// Dot values packed 2 bits a position, 4 positions a byte, the first in the top bits: the layout
// of the host's 2-bit rows, so that a decoded row and an input row compare byte for byte.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace packed {
// The low bit of every position of a word.
constexpr uint64_t kLowBits = 0x5555555555555555ull;

inline uint8_t ValueAt(const uint8_t* bytes, size_t i) { return (bytes[i >> 2] >> (6 - 2 * (i & 3))) & 3; }

inline void SetValue(uint8_t* bytes, size_t i, unsigned v)
{
    const int shift = 6 - 2 * static_cast<int>(i & 3);
    bytes[i >> 2] = static_cast<uint8_t>((bytes[i >> 2] & ~(3u << shift)) | (v << shift));
}

// The low bit of each position that holds a dot.
inline uint64_t Occupied(uint64_t x) { return (x | x >> 1) & kLowBits; }

// Eight bytes as one word in position order: the first position in the top bits.
inline uint64_t LoadWord(const uint8_t* p)
{
    uint64_t v;
    std::memcpy(&v, p, 8);
    return __builtin_bswap64(v);
}

inline void StoreWord(uint8_t* p, uint64_t v)
{
    v = __builtin_bswap64(v);
    std::memcpy(p, &v, 8);
}

// Index of the first non-zero byte of p[0, n), or n.
inline size_t FirstNonZero(const uint8_t* p, size_t n)
{
    size_t i = 0;
    for (uint64_t w; i + 8 <= n; i += 8) {
        std::memcpy(&w, p + i, 8);
        if (w) break;
    }
    while (i < n && !p[i]) ++i;
    return i;
}
}  // namespace packed
