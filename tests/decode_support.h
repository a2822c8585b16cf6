// Helpers for the decoder tests: byte streams written as hex text.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "decode/Decoder.h"
#include "support/TestSupport.h"

using test_support::HexBytes;

inline std::vector<uint8_t> Concat(std::initializer_list<std::string> parts)
{
    std::vector<uint8_t> out;
    for (const std::string& p : parts) {
        const std::vector<uint8_t> b = HexBytes(p);
        out.insert(out.end(), b.begin(), b.end());
    }
    return out;
}

inline DecodeResult DecodeBytes(const std::vector<uint8_t>& b, const DecodeOptions& o = {})
{
    return Decode(b.data(), b.size(), o);
}

// Units 8/8/4 of 1/5760 inch (720 rows, 1440 columns per inch) and nozzle rows 32/5760 inch apart
// with an 8/5760 inch dot pitch: raster lines 4 rows apart, pixels 2 columns apart.
inline const char* const kSetup1440x720 =
    "1B 28 55 05 00 08 08 04 80 16"
    "1B 28 44 04 00 80 16 20 08";
