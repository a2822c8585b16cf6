// Every dot printed exactly once with the weave on, over the ratios the driver accepts, on
// pages whose ink starts right below the top offset: the printed dots are placed back on the
// page from the raster blocks alone. Where the weave alone already prints every dot (the
// plain model of weave_model.h says so), no rescue pass is sent and the bytes are the weave's.
#include <gtest/gtest.h>

#include <cstdlib>

#include "driver/WeavePlan.h"
#include "weave_model.h"

namespace {
using namespace engine_test;

const int kUnset = -1000;  // "WeaveRatio" left out of the store

// Ink from the first line, then an empty run longer than a band, then ink to the end.
Page LongGapPage(int lines, int width)
{
    Page page(1, width, lines + 450);
    for (int y = 0; y < page.height; ++y) {
        if (y >= 100 && y < 100 + lines + 50) continue;
        for (int x = y % 3; x < width; x += 2) page.px[0][y][x] = static_cast<uint8_t>(1 + (x * 7 + y) % 3);
    }
    return page;
}

// One inked line at the top, an empty run of exactly a band, a few lines, an empty run one
// line short of a band, and a last line.
Page BandGapPage(int lines, int width)
{
    Page page(1, width, 2 * lines + 8);
    for (int y : {0, lines + 1, lines + 2, lines + 3, 2 * lines + 7})
        for (int x = (y * 5) % 4; x < width; x += 3) page.px[0][y][x] = static_cast<uint8_t>(1 + (x + y) % 3);
    return page;
}

// The ratios tried at interleave vp: the substituted ones, every ratio up to 3 x vp, a stride
// of vp up to 40 x vp (where the first bands' 9-line feeds outrun the rows that print whole),
// then a wider stride up to 180 x vp and beyond. RPHOTO_FULL_GRID=1 tries every ratio.
std::vector<int> Ratios(int vp)
{
    std::vector<int> r = {kUnset, 0, -3, 180 * vp + 1, 100000};
    const bool full = std::getenv("RPHOTO_FULL_GRID") && std::atoi(std::getenv("RPHOTO_FULL_GRID")) != 0;
    for (int w = 1; w <= 3 * vp; ++w) r.push_back(w);
    for (int w = 3 * vp + 1; w < 40 * vp; w += full ? 1 : vp) r.push_back(w);
    for (int w = 40 * vp; w < 180 * vp; w += full ? 1 : 11 * vp + 1) r.push_back(w);
    r.push_back(180 * vp);
    return r;
}

void CheckPage(int vp, int ratio, const Page& page, const char* shape)
{
    const int width = page.width;
    SCOPED_TRACE(std::string(shape) + " vp " + std::to_string(vp) + " ratio " + std::to_string(ratio) + " (effective " +
                 std::to_string(weave::EffectiveWeaveRatio(ratio == kUnset ? 6 : ratio, vp)) + ")");
    JobParams p;
    p.resX = 720;  // two horizontal passes
    p.resY = 180.0 * vp;
    p.bits = 2;
    p.weave = 1;
    p.colors = {0};
    Rig rig(p, width);
    if (ratio != kUnset) rig.env.PutInt("WeaveRatio", ratio);
    ASSERT_EQ(rig.RunPage(page, 2), 1);
    const Stream s = ReadRaster(rig.sink.bytes);
    ASSERT_TRUE(s.error.empty()) << s.error;

    const int top = static_cast<int>(1.5 * p.resY / 25.4 + 0.5);
    const Placed placed = PlaceDots(s, vp, 2, 2, top, page.height, width);
    EXPECT_EQ(placed.outside, 0);
    long lost = 0, twice = 0, wrong = 0;
    for (int y = 0; y < page.height; ++y)
        for (int x = 0; x < width; ++x) {
            const int v = page.px[0][y][x];
            const int n = placed.times[y][x];
            if (v && n == 0) ++lost;
            if (n > 1) ++twice;
            if (n == 1 && placed.value[y][x] != v) ++wrong;
        }
    EXPECT_EQ(lost, 0);
    EXPECT_EQ(twice, 0);
    EXPECT_EQ(wrong, 0);

    // Until its first rescue the driver prints exactly what the weave alone prints, so the
    // model is needed where rescues were sent (did the weave alone really drop dots?) and, for
    // the bytes, at the small ratios the trace tests do not cover.
    if (rig.driver->m_nRescueBlocks == 0 && ratio > 3 * vp) return;
    Config c;
    c.resX = p.resX;
    c.resY = p.resY;
    c.bits = 2;
    c.weave = 1;
    c.ratio = ratio == kUnset ? 6 : ratio == 0 ? -1 : ratio;  // the model reads 0 as "not set"
    c.width = width;
    c.colors = p.colors;
    c.rescue = false;
    Model plain(c);
    plain.Run(page);
    if (plain.droppedDots == 0) {
        EXPECT_EQ(rig.driver->m_nRescueBlocks, 0);
        ASSERT_EQ(s.blocks.size(), plain.out.blocks.size());
        for (size_t i = 0; i < s.blocks.size(); ++i) ASSERT_TRUE(s.blocks[i] == plain.out.blocks[i]) << "block " << i;
    } else {
        EXPECT_GT(rig.driver->m_nRescueBlocks, 0) << plain.droppedDots << " dots left the band in the weave alone";
    }
}

TEST(WeaveConservation, EveryDotOnceAtEveryRatio)
{
    for (int vp : {1, 2, 4, 8}) {
        const Page longGap = LongGapPage(180 * vp, 24);
        const Page bandGap = BandGapPage(180 * vp, 21);
        for (int ratio : Ratios(vp)) {
            CheckPage(vp, ratio, longGap, "long gap");
            if (HasFatalFailure()) return;
            CheckPage(vp, ratio, bandGap, "band gap");
            if (HasFatalFailure()) return;
        }
    }
}

}  // namespace
