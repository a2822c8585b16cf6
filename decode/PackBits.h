// PackBits decoding of ESC i raster data: one stream for the whole block.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

enum class UnpackStatus {
    Ok,         // exactly `want` bytes produced
    Truncated,  // the input ended before `want` bytes were produced
    Overflow,   // a run or literal goes past `want` bytes
    Count80,    // the count byte 0x80, which the printers do not define
};

struct UnpackResult {
    UnpackStatus status;
    size_t consumed;  // input bytes read (on failure: offset of the offending count byte)
};

// Decodes from `in` (at most n bytes) until exactly `want` bytes are in `out`.
// Runs may cross raster-line boundaries; only the block total counts.
UnpackResult UnpackBits(const uint8_t* in, size_t n, size_t want, std::vector<uint8_t>& out);
