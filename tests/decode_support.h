// Helpers for the decoder tests: byte streams written as hex text.
#pragma once
#include <cctype>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "decode/Decoder.h"

// "1B 28 47 01 00 01" -> bytes; spaces and line breaks are ignored. "'text'" gives ASCII bytes.
inline std::vector<uint8_t> Hex(const std::string& text)
{
    std::vector<uint8_t> out;
    for (size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (c == '\'') {
            const size_t end = text.find('\'', i + 1);
            if (end == std::string::npos) throw std::invalid_argument("unclosed quote");
            out.insert(out.end(), text.begin() + i + 1, text.begin() + end);
            i = end + 1;
        } else {
            if (i + 1 >= text.size()) throw std::invalid_argument("odd hex digit count");
            out.push_back(static_cast<uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
            i += 2;
        }
    }
    return out;
}

inline std::vector<uint8_t> Concat(std::initializer_list<std::string> parts)
{
    std::vector<uint8_t> out;
    for (const std::string& p : parts) {
        const std::vector<uint8_t> b = Hex(p);
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
