// Every dot printed exactly once with the weave on, on pages whose ink starts right below
// the top offset and that hold an empty run longer than a band.
#include <gtest/gtest.h>

#include "driver/WeavePlan.h"
#include "engine_support.h"

namespace {
using namespace engine_test;

long Sum(const std::vector<uint8_t>& data, int bits)
{
    long sum = 0;
    for (uint8_t b : data)
        for (int q = 0; q < 8 / bits; ++q) sum += (b >> (8 - (q + 1) * bits)) & ((1 << bits) - 1);
    return sum;
}

// The default ratio, ratios the driver replaces by vp + 1 (below vp), and every ratio from
// vp + 1 to 3 x vp. (Ratios equal to vp lose the lines after a long empty run, and large
// ratios can lose lines at the top of a page, where the first bands advance 9 lines at a
// time while fewer nozzle rows print their lines whole.)
TEST(WeaveConservation, EveryDotOnce)
{
    const int kUnset = -1000;
    for (int vp : {1, 2, 4, 8}) {
        std::vector<int> ratios = {kUnset, 0, -3};
        if (vp > 1) ratios.push_back(vp - 1);
        for (int r = vp + 1; r <= 3 * vp; ++r) ratios.push_back(r);
        for (int ratio : ratios) {
            JobParams p;
            p.resX = 360;
            p.resY = 180.0 * vp;
            p.bits = 2;
            p.weave = 1;
            p.colors = {0};
            Rig rig(p, 24);
            if (ratio != kUnset) rig.env.PutInt("WeaveRatio", ratio);
            const int lines = 180 * vp;
            Page page(1, 24, 2 * lines + 500);
            long want = 0;
            for (int y = 0; y < page.height; ++y) {
                if (y >= 100 && y < 100 + lines + 50) continue;  // an empty run longer than a band
                for (int x = (y % 3); x < 24; x += 2) {
                    page.px[0][y][x] = static_cast<uint8_t>(1 + (x * 7 + y) % 3);
                    want += page.px[0][y][x];
                }
            }
            ASSERT_EQ(rig.RunPage(page, 2), 1);
            const Stream s = ReadRaster(rig.sink.bytes);
            ASSERT_TRUE(s.error.empty()) << s.error;
            long got = 0;
            for (const Block& b : s.blocks) got += Sum(b.data, 2);
            EXPECT_EQ(got, want) << "vp " << vp << " ratio " << ratio << " (effective "
                                 << weave::EffectiveWeaveRatio(ratio == kUnset ? 6 : ratio, vp) << ")";
        }
    }
}

}  // namespace
