// The separation's parameters for each model: its inks, how tone is split between light and
// dark inks, how red and orange take over hues, and the total ink limit of each medium. All
// of it is data in one place per model, so a calibration can replace it.
#pragma once
#include <string>
#include <vector>

namespace rip {

// Ink amounts are fractions of the most ink a pixel takes (every pixel a large drop).
constexpr int kMaxChain = 3;

// A chain of inks of one hue from lightest to darkest, e.g. LLK, LK, K. `tone` knots (0..1,
// the darkness asked for) give each ink's amount; amounts between knots are interpolated.
struct InkChain {
    int planes[kMaxChain];                  // plane indices, lightest first; -1 unused
    std::vector<std::vector<float>> knots;  // rows of {tone, amount of planes[0], [1], [2]}
};

struct MediumLimit {
    const char* media;   // medium name as the model's table spells it; "" matches any
    float totalInk;      // total of all inks at one pixel
};

struct InkModel {
    int modelId;
    std::vector<int> colors;             // host colour identifier of each plane
    std::vector<const char*> names;      // ink names, for reports
    std::vector<float> strength;         // darkness of each ink against its dark ink (light inks < 1)
    InkChain black, cyan, magenta;       // tone chains
    int yellow;                          // plane of Y
    int red = -1, orange = -1;           // planes of R and O (model 1)
    float redShare = 0, orangeShare = 0; // how much of the M+Y overlap red and orange take
    int gloss = -1;                      // plane of the gloss optimiser (model 1)
    float glossFill = 0;                 // the optimiser tops the total ink up to this
    std::vector<MediumLimit> limits;     // first match wins
    // Relative ink of each drop level 0..3 when three drop sizes print.
    float drops[4];
};

const InkModel& InkModelFor(int modelId);
float InkLimitFor(const InkModel& model, const std::string& media);

}  // namespace rip
