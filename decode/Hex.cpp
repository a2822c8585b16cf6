// Hex formatting for listings.
#include "decode/Hex.h"

#include <cstdio>

std::string HexBytes(const uint8_t* p, size_t n, size_t limit)
{
    std::string s;
    char buf[4];
    for (size_t i = 0; i < n && i < limit; ++i) {
        std::snprintf(buf, sizeof buf, "%02X", p[i]);
        if (i) s += ' ';
        s += buf;
    }
    if (n > limit) s += " ...";
    return s;
}

std::string Hex2(unsigned v)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%02X", v & 0xFF);
    return buf;
}

std::string Hex4(unsigned v)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%04X", v & 0xFFFF);
    return buf;
}
