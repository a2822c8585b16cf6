// Halftoning inks, row by row, to the module's pixel values (0 no dot, 1 small, 2 medium,
// 3 large; with one drop size only 0 and 1).
//
// Error diffusion: serpentine scan with Floyd-Steinberg weights; the threshold is modulated
// by seeded noise (an eighth of the level step either way), which breaks the worms and the
// regular textures of plain Floyd-Steinberg. The drop size follows the tone asked for: a
// pixel chooses between the two levels around its own tone (small drops or none in the
// highlights, small and medium in the mid-tones, medium and large in the shadows), so the
// error only dithers between neighbouring sizes. Where a darker ink of the same hue already
// placed a dot, a light ink's threshold is raised, so the two rarely land on one spot; the
// error still carries the ink there, so the mean is kept. Up to four inks are scanned
// together, pixel by pixel, so the processor overlaps their error chains.
//
// Mask: a 64 x 64 blue-noise threshold array (grown by void filling under a Gaussian
// filter) chooses between the same two levels; no state between pixels.
//
// Everything is integer arithmetic and depends only on the seed, the ink and the position,
// never on threads.
#pragma once
#include <cstdint>
#include <vector>

#include "rip/PageRip.h"

namespace rip {

struct DropLevels {
    int count = 3;          // drop sizes: 3, or 1 (single drop size or 1 bit per pixel)
    int32_t ink[4] = {0, 65535, 65535, 65535};  // ink of each level, 65535 = most ink
};

// The levels for a job: three sizes with the model's drop ink, or one size printing as 1.
DropLevels MakeDropLevels(const float drops[4], int bits, int inkLevels, bool singleDotSize);

// A 64 x 64 blue-noise threshold array, values 0..65535 each used 16 times.
const std::vector<uint16_t>& BlueNoiseMask();

class InkHalftoner;

// Halftones row `y` of n inks at once (at most kMaxInks). amounts[i] is ink i's input row
// (one value per stepX pixels), out[i] gets one value per pixel. Inks of one hue come
// together, darkest first, with the same hues[i]: a lighter ink avoids the pixels where a
// darker one of its hue placed a dot. The inks share method, levels, width and stepX; the
// result does not depend on how inks are grouped into calls, only on each hue's inks.
// Returns the inks without any ink on the row as bits (1 << i); their out[i] is untouched.
constexpr int kMaxInks = 16;
uint32_t HalftoneInks(InkHalftoner* const* halftoners, const int* hues, int n, int y, const uint16_t* const* amounts,
                      uint8_t* const* out);

class InkHalftoner {
public:
    InkHalftoner(HalftoneMethod method, const DropLevels& levels, int width, int stepX, uint32_t seed);
    // One printer row `y` of this ink alone.
    void Row(int y, const uint16_t* amounts, uint8_t* out);

private:
    friend uint32_t HalftoneInks(InkHalftoner* const*, const int*, int, int, const uint16_t* const*, uint8_t* const*);
    static void DiffuseRows(InkHalftoner* const* inks, const int* hues, int n, int y, const uint16_t* const* amounts,
                            uint8_t* const* out);
    static void MaskRows(InkHalftoner* const* inks, const int* hues, int n, int y, const uint16_t* const* amounts,
                         uint8_t* const* out);

    HalftoneMethod m_method;
    DropLevels m_levels;
    int m_width, m_stepX;
    uint32_t m_seed;
    std::vector<int32_t> m_err, m_next;  // this row's and the next row's error, 2 guard pixels
    bool m_errClear = true;              // m_err holds no error
    std::vector<int16_t> m_noise;        // seeded threshold noise, read from a row's offset
};

// Packs values (0..3) at `bits` per pixel, most significant bits first; true when any is set.
bool PackRow(const uint8_t* values, int width, int bits, uint8_t* packed);

}  // namespace rip
