// A tiny 5x7 bitmap font for the ink names of the preview legend.
#pragma once
#include <cstdint>

// Seven rows of the glyph for c, bit 4 the leftmost column; null for a character without a glyph.
const uint8_t* Glyph5x7(char c);
