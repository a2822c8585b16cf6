// The separation: working-space RGB to the model's ink amounts, through one 3D look-up table
// per job (kGrid nodes per axis, 16-bit ink amounts, 65535 = the most ink a pixel takes).
//
// How a colour is separated (at each grid node):
//  1. Darkness of each subtractive primary: c = 1 - R, m = 1 - G, y = 1 - B (working-space
//     values, which are close to perceptually even steps).
//  2. The grey component k = min(c, m, y) goes entirely to the black inks, so a neutral grey
//     takes no colour ink; what is left of c, m, y is the colour.
//  3. Model 1: red takes `redShare` of the part where magenta and yellow overlap; orange takes
//     the part where yellow exceeds magenta, up to the magenta there (hues between red and
//     yellow), so both widen the gamut where they are strongest.
//  4. Each tone goes through its chain: black to LLK/LK/K (model 2), cyan to LC/C, magenta to
//     LM/M, by the model's knots (light ink alone in the highlights, then cross-fading).
//  5. The total of all inks is scaled down to the medium's limit.
//  6. Model 1 with the gloss optimiser: GO fills up to `glossFill` where little ink lands.
// The table is interpolated tetrahedrally, so greys (the cube's diagonal) stay exact.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "rip/InkModels.h"

namespace rip {

struct SeparationOptions {
    std::string media;
    bool glossOptimizer = false;
};

class SeparationTable {
public:
    static constexpr int kGrid = 33;
    SeparationTable(const InkModel& model, const SeparationOptions& options);

    int Inks() const { return m_inks; }
    float InkLimit() const { return m_limit; }
    // Ink amounts of one colour (0..1 each) computed directly, without the table.
    void SeparateExact(float r, float g, float b, float* amounts) const;
    // n pixels of 16-bit RGB to planar ink amounts: out[ink * outStride + i].
    void Apply(const uint16_t* rgb, int n, uint16_t* out, size_t outStride) const;

private:
    const InkModel& m_model;
    SeparationOptions m_options;
    int m_inks;
    float m_limit;
    std::vector<uint16_t> m_table;  // node-major: (r * kGrid + g) * kGrid + b, then ink
};

}  // namespace rip
