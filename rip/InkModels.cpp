// The two models' separation data. The tone knots are chosen so that a light ink alone
// carries the highlights (light cyan and magenta are about a third of the dark ink's
// strength, light black 40 % and light light black 15 % of black), then cross-fades into the
// next darker ink before it would reach its own most ink, so grain stays low and the dark
// end keeps its density.
#include "rip/InkModels.h"

#include <cctype>

namespace rip {
namespace {
// Tone split for a light/dark pair: {tone, light, dark}.
const std::vector<std::vector<float>> kPairKnots = {
    {0.00f, 0.00f, 0.00f}, {0.12f, 0.38f, 0.00f}, {0.30f, 0.55f, 0.12f},
    {0.55f, 0.25f, 0.45f}, {0.80f, 0.05f, 0.78f}, {1.00f, 0.00f, 1.00f}};
// A single ink: amount follows tone.
const std::vector<std::vector<float>> kSingleKnots = {{0.0f, 0.0f}, {1.0f, 1.0f}};
// Model 2's neutral axis: {tone, LLK, LK, K}.
const std::vector<std::vector<float>> kBlackKnots = {
    {0.00f, 0.00f, 0.00f, 0.00f}, {0.08f, 0.45f, 0.00f, 0.00f}, {0.20f, 0.55f, 0.22f, 0.00f},
    {0.40f, 0.20f, 0.60f, 0.08f}, {0.65f, 0.05f, 0.45f, 0.38f}, {0.85f, 0.00f, 0.15f, 0.75f},
    {1.00f, 0.00f, 0.00f, 1.00f}};

const InkModel kModel1 = {
    1,
    {0, 1, 2, 3, 35, 4, 30},
    {"K", "C", "M", "Y", "R", "O", "GO"},
    {1, 1, 1, 1, 1, 1, 0},
    {{0, -1, -1}, kSingleKnots},
    {{1, -1, -1}, kSingleKnots},
    {{2, -1, -1}, kSingleKnots},
    3,
    4,
    5,
    0.85f,
    0.90f,
    6,
    0.25f,
    {{"Plain Paper", 0.9f},  {"Matte", 1.3f}, {"Archival", 1.3f}, {"Velvet", 1.3f},
     {"Watercolor", 1.2f},   {"Premium", 1.6f}, {"Ultra", 1.6f},  {"", 1.4f}},
    {0.0f, 0.22f, 0.50f, 1.0f},
};

const InkModel kModel2 = {
    2,
    {0, 1, 2, 3, 8, 9, 7, 10},
    {"K", "C", "M", "Y", "LC", "LM", "LK", "LLK"},
    {1, 1, 1, 1, 0.33f, 0.33f, 0.4f, 0.15f},
    {{7, 6, 0}, kBlackKnots},
    {{4, 1, -1}, kPairKnots},
    {{5, 2, -1}, kPairKnots},
    3,
    -1,
    -1,
    0,
    0,
    -1,
    0,
    {{"Plain Paper", 0.9f},  {"Matte", 1.3f}, {"Archival", 1.3f}, {"Velvet", 1.3f},
     {"Watercolor", 1.2f},   {"Premium", 1.7f}, {"Ultra", 1.7f},  {"", 1.5f}},
    {0.0f, 0.22f, 0.50f, 1.0f},
};

bool ContainsNoCase(const std::string& text, const char* part)
{
    const std::string p(part);
    if (p.empty()) return true;
    for (size_t i = 0; i + p.size() <= text.size(); ++i) {
        size_t k = 0;
        while (k < p.size() && std::tolower(static_cast<unsigned char>(text[i + k])) ==
                                   std::tolower(static_cast<unsigned char>(p[k])))
            ++k;
        if (k == p.size()) return true;
    }
    return false;
}
}  // namespace

const InkModel& InkModelFor(int modelId) { return modelId == 1 ? kModel1 : kModel2; }

float InkLimitFor(const InkModel& model, const std::string& media)
{
    for (const MediumLimit& l : model.limits)
        if (ContainsNoCase(media, l.media)) return l.totalInk;
    return 1.0f;
}

}  // namespace rip
