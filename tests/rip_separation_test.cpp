// The separation's promises (greys on the black inks, the ink limit) and the halftone's mean.
#include <gtest/gtest.h>

#include "rip/Halftone.h"
#include "rip/Separation.h"

namespace {
using rip::SeparationTable;

std::vector<uint16_t> Separate(const SeparationTable& table, uint16_t r, uint16_t g, uint16_t b)
{
    const uint16_t rgb[3] = {r, g, b};
    std::vector<uint16_t> out(static_cast<size_t>(table.Inks()));
    table.Apply(rgb, 1, out.data(), 1);
    return out;
}

TEST(Separation, Model2PrintsNeutralGreysWithBlackInksOnly)
{
    const rip::InkModel& model = rip::InkModelFor(2);
    const SeparationTable table(model, {"Premium Glossy Photo Paper", false});
    for (int v = 0; v < 65536; v += 1009) {
        const std::vector<uint16_t> inks = Separate(table, uint16_t(v), uint16_t(v), uint16_t(v));
        int black = 0;
        for (size_t i = 0; i < inks.size(); ++i) {
            const int color = model.colors[i];
            if (color == 0 || color == 7 || color == 10) black += inks[i];
            else EXPECT_EQ(inks[i], 0) << "grey " << v << ", ink " << model.names[i];
        }
        EXPECT_GT(black, 0) << "grey " << v << " lost its ink";
    }
}

TEST(Separation, TotalInkStaysWithinTheMediumLimit)
{
    struct Case { int model; const char* media; bool gloss; };
    for (const Case c : {Case{1, "Premium Glossy Photo Paper", false}, Case{1, "Plain Paper", false},
                         Case{2, "Enhanced Matte Paper/Archival Matte Paper", false}, Case{2, "Plain Paper", false}}) {
        const SeparationTable table(rip::InkModelFor(c.model), {c.media, c.gloss});
        const int limit = static_cast<int>(table.InkLimit() * 65535) + table.Inks();  // rounding of each ink
        for (int r = 0; r < 65536; r += 8191)
            for (int g = 0; g < 65536; g += 8191)
                for (int b = 0; b < 65536; b += 8191) {
                    int total = 0;
                    for (uint16_t a : Separate(table, uint16_t(r), uint16_t(g), uint16_t(b))) total += a;
                    ASSERT_LE(total, limit) << c.media << " at " << r << "," << g << "," << b;
                }
    }
}

TEST(Halftone, MeanInkMatchesTheTarget)
{
    const float drops[4] = {0, 0.22f, 0.5f, 1.0f};
    constexpr int kSize = 256;
    for (rip::HalftoneMethod method : {rip::HalftoneMethod::kDiffusion, rip::HalftoneMethod::kMask})
        for (int sizes : {3, 1})
            for (double target : {0.02, 0.05, 0.25, 0.5, 0.75, 0.95}) {
                const rip::DropLevels levels = rip::MakeDropLevels(drops, 2, sizes, false);
                rip::InkHalftoner ht(method, levels, kSize, 1, 7);
                const std::vector<uint16_t> amounts(kSize, static_cast<uint16_t>(target * 65535));
                std::vector<uint8_t> out(kSize);
                double sum = 0;
                for (int y = 0; y < kSize; ++y) {
                    ht.Row(y, amounts.data(), out.data());
                    for (uint8_t v : out) sum += (sizes == 3 ? drops[v] : v);
                }
                const double mean = sum / (kSize * kSize);
                EXPECT_NEAR(mean, target, std::max(0.01 * target, 0.002))
                    << (method == rip::HalftoneMethod::kMask ? "mask" : "diffusion") << ", " << sizes << " sizes";
            }
}
}  // namespace
