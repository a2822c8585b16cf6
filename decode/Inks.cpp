// The ink table: one row per colour byte that the R2000/R3000 know.
#include "decode/Inks.h"

#include <cstdio>
#include <iterator>

namespace {
// Display order; rgb is the colour a solid area of large dots gives on white paper.
constexpr InkInfo kInks[] = {
    {0x00, "K", "black (matte or photo)", {40, 40, 40}},
    {0x40, "PK", "photo black", {20, 20, 25}},
    {0x10, "LK", "light black", {120, 120, 120}},
    {0x30, "LLK", "light light black", {185, 185, 185}},
    {0x02, "C", "cyan", {0, 170, 235}},
    {0x12, "LC", "light cyan", {130, 210, 245}},
    {0x01, "M", "magenta", {230, 0, 135}},
    {0x11, "LM", "light magenta", {245, 140, 200}},
    {0x04, "Y", "yellow", {255, 230, 0}},
    {0x07, "R", "red", {225, 30, 40}},
    {0x0A, "O", "orange", {245, 140, 30}},
    {0x09, "GO", "gloss optimizer", {225, 225, 240}},
};
}  // namespace

InkInfo LookupInk(uint8_t code)
{
    for (const InkInfo& ink : kInks)
        if (ink.code == code) return ink;
    return InkInfo{code, nullptr, "unknown ink", {90, 90, 90}};
}

std::string InkName(uint8_t code)
{
    InkInfo ink = LookupInk(code);
    if (ink.name) return ink.name;
    char buf[8];
    std::snprintf(buf, sizeof buf, "X%02X", code);
    return buf;
}

int InkOrder(uint8_t code)
{
    for (size_t i = 0; i < std::size(kInks); ++i)
        if (kInks[i].code == code) return static_cast<int>(i);
    return static_cast<int>(std::size(kInks)) + code;
}
