// PackBits (TIFF) encoding: runs of 3 to 128 equal bytes become repeats, everything else
// literals of at most 128 bytes; the count byte 0x80 is never written.
#pragma once
#include <cstddef>
#include <cstdint>

// Bytes the encoding of n bytes may take at most.
constexpr size_t PackBitsBound(size_t n) { return n + n / 128 + 1; }

// Encodes n bytes of src into dst (room for PackBitsBound(n)); returns the encoded length.
size_t PackBitsEncode(uint8_t* dst, const uint8_t* src, size_t n);

// Encodes `lines` lines of bytesPerLine bytes each as a stream of their own, so that no run
// crosses the end of a line (room for lines x PackBitsBound(bytesPerLine)).
size_t PackBitsEncodeLines(uint8_t* dst, const uint8_t* src, size_t lines, size_t bytesPerLine);
