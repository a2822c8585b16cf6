// Whole pages through the driver compared, block by block, with the plain per-pixel model of
// the band engine and the weave (weave_model.h), rescue passes included.
#include <gtest/gtest.h>

#include <algorithm>

#include "weave_model.h"

namespace {
using namespace engine_test;

// A page with empty runs at the top, in the middle (longer than a band) and at the end,
// ragged margins and a mix of pixel values.
Page MakePage(const Config& c, int bandLines)
{
    const int top = c.inkFromTop ? 0 : 30, first = 120 + bandLines / 3, middle = bandLines + 37, second = 150, end = 40;
    Page page(static_cast<int>(c.colors.size()), c.width, top + first + middle + second + end);
    uint32_t s = 12345u + static_cast<uint32_t>(c.width * 7 + c.bits);
    const int maxValue = c.bits == 2 ? 3 : 1;
    for (int y = top; y < page.height - end; ++y) {
        if (y >= top + first && y < top + first + middle) continue;
        if (y % 23 == 5) continue;  // single empty rows now and then
        const int from = (y * 5) % 11, to = c.width - (y * 3) % 9;
        for (int pl = 0; pl < page.Planes(); ++pl) {
            if ((y + pl) % 17 == 0) continue;  // a plane without ink on this row
            for (int x = from; x < to; ++x) {
                s = s * 1103515245u + 12345u;
                if ((s >> 16) % 5 < 2) page.px[pl][y][x] = static_cast<uint8_t>(1 + (s >> 8) % maxValue);
            }
        }
    }
    return page;
}

long InkSum(const std::vector<uint8_t>& data, int bits)
{
    long sum = 0;
    for (uint8_t b : data)
        for (int q = 0; q < 8 / bits; ++q) sum += (b >> (8 - (q + 1) * bits)) & ((1 << bits) - 1);
    return sum;
}

// Runs the page through driver and model; `rescues` receives the rescue blocks it needed.
void RunAndCompare(const Config& c, int* rescues = nullptr)
{
    SCOPED_TRACE(c.Name());
    JobParams p;
    p.model = c.model;
    p.inkMode = c.inkMode;
    p.resX = c.resX;
    p.resY = c.resY;
    p.nozzleResH = c.nozzleResH;
    p.bits = c.bits;
    p.compression = c.compression;
    p.weave = c.weave;
    p.colors = c.colors;
    Rig rig(p, c.width);
    if (c.ratio) rig.env.PutInt("WeaveRatio", c.ratio);
    rig.env.PutString(PrEnv_PrintMethod.pszKey, "T");
    rig.env.PutString("$Parms$T", c.singleDot ? "0,0,0,0,0,0,1" : "0,0,0,0,0,0,0");
    if (c.broken) {
        rig.parms.bEnableBrokenNozzles = 1;
        for (int k : kBrokenNozzles) rig.parms.bBrokenNozzle[k] = 1;
    }
    const int vp = static_cast<int>(c.resY / 180 + 0.5);
    const Page page = MakePage(c, 180 * vp);
    ASSERT_EQ(rig.RunPage(page, c.bits), 1);
    const Stream got = ReadRaster(rig.sink.bytes);
    ASSERT_TRUE(got.error.empty()) << got.error;

    Model model(c);
    model.Run(page);
    const Stream& want = model.out;
    ASSERT_EQ(got.blocks.size(), want.blocks.size());
    for (size_t i = 0; i < want.blocks.size(); ++i) {
        const Block& g = got.blocks[i];
        const Block& w = want.blocks[i];
        ASSERT_EQ(g.vmove, w.vmove) << "block " << i;
        ASSERT_EQ(g.hpos, w.hpos) << "block " << i;
        ASSERT_EQ(g.color, w.color) << "block " << i;
        ASSERT_EQ(g.compression, w.compression) << "block " << i;
        ASSERT_EQ(g.bits, w.bits) << "block " << i;
        ASSERT_EQ(g.bytesPerLine, w.bytesPerLine) << "block " << i;
        ASSERT_EQ(g.lines, w.lines) << "block " << i;
        ASSERT_TRUE(g.data == w.data) << "block " << i;
    }
    EXPECT_EQ(got.trailingVmove, want.trailingVmove);

    // Every dot is printed exactly once, unless nozzles are marked broken.
    if (!c.broken) {
        std::string why;
        EXPECT_TRUE(model.EveryDotOnce(page, &why)) << why;
        long pageSum = 0;
        for (const auto& plane : page.px)
            for (const auto& row : plane)
                for (uint8_t v : row) pageSum += c.singleDot && v ? 1 : v;
        long outSum = 0;
        for (const Block& b : got.blocks) outSum += InkSum(b.data, c.bits);
        EXPECT_EQ(outSum, pageSum);
    }
    // The weave alone, dropping what leaves the band: where it prints every dot, the rescue
    // never triggers, so the driver's bytes are the weave's own.
    Config design = c;
    design.rescue = false;
    Model plain(design);
    plain.Run(page);
    if (plain.droppedDots == 0)
        EXPECT_EQ(model.rescueBlocks, 0);
    else
        EXPECT_GT(model.rescueBlocks, 0) << plain.droppedDots << " dots would leave the band unprinted";
    std::string dropped;
    if (plain.droppedDots > 0 && !c.broken) EXPECT_FALSE(plain.EveryDotOnce(page, &dropped));
    // With the weave off every pass takes its lines whole: nothing is left to rescue.
    if (!c.weave) {
        EXPECT_EQ(model.rescueBlocks, 0);
        EXPECT_EQ(rig.driver->m_nRescueBlocks, 0);
    }
    EXPECT_EQ(rig.driver->m_nRescueBlocks, model.rescueBlocks);
    if (rescues) *rescues = model.rescueBlocks;
}

std::vector<int> Colors(int model) { return model == 1 ? std::vector<int>{0, 35, 30} : std::vector<int>{0, 8, 40}; }

// Weave off and on at every interleave, both models, both bit depths, plain and packed.
TEST(WeaveTrace, MatchesModel)
{
    for (int vp : {1, 2, 4, 8})
        for (int weave : {0, 1})
            for (int bits : {1, 2})
                for (int model : {1, 2}) {
                    Config c;
                    c.model = model;
                    c.inkMode = bits == 1 ? 1 : 0;
                    c.resY = 180.0 * vp;
                    c.resX = (vp + bits) % 2 ? 1440 : 720;
                    c.nozzleResH = c.resX == 1440 ? 720 : 360;
                    c.bits = bits;
                    c.compression = (vp + model) % 2;
                    c.weave = weave;
                    c.width = 37 + 64 * ((vp + weave) % 2);
                    c.colors = Colors(model);
                    RunAndCompare(c);
                    if (HasFatalFailure()) return;
                }
}

// Weave ratios at and around the interleave, single-dot loading, broken nozzles, and
// horizontal passes that do not divide the row.
TEST(WeaveTrace, RatiosAndOptions)
{
    struct Case {
        int vp, ratio, single, broken, width;
        double resX, nozzle;
    } cases[] = {
        {1, 1, 0, 0, 50, 360, 360},  {2, 2, 0, 0, 45, 720, 360},  {4, 4, 1, 0, 33, 1440, 720},
        {4, 13, 0, 1, 70, 720, 360}, {2, 7, 1, 1, 29, 2880, 720}, {8, 12, 0, 0, 40, 720, 360},
        {1, 30, 0, 1, 61, 720, 360}, {4, 0, 0, 0, 23, 5760, 360}, {8, 5000, 0, 0, 19, 720, 360},
    };
    for (const Case& k : cases) {
        Config c;
        c.resY = 180.0 * k.vp;
        c.resX = k.resX;
        c.nozzleResH = k.nozzle;
        c.weave = 1;
        c.ratio = k.ratio;
        c.singleDot = k.single;
        c.broken = k.broken;
        c.width = k.width;
        c.compression = 1;
        c.colors = Colors(2);
        RunAndCompare(c);
        if (HasFatalFailure()) return;
    }
}

// Pages on which the weave alone would drop ink: a ratio equal to the interleave with an
// empty run longer than a band (at vp 1 every band prints all its lines: nothing to lose),
// and larger ratios with the ink right under the top offset.
// Rescue passes print what leaves the band, and every dot reaches the paper once.
TEST(WeaveTrace, RescuedPages)
{
    struct Case {
        int vp, ratio, inkFromTop, bits, compression, broken;
        double resX, nozzle;
    } cases[] = {
        {4, 4, 0, 1, 0, 0, 360, 360},  {2, 2, 0, 2, 1, 0, 720, 360},   {4, 4, 1, 2, 0, 0, 1440, 720},
        {8, 8, 0, 1, 1, 0, 720, 360},  {1, 40, 1, 2, 1, 0, 720, 360},  {2, 50, 1, 1, 0, 0, 360, 360},
        {8, 40, 1, 2, 1, 0, 1440, 720}, {2, 50, 1, 2, 1, 1, 720, 360},
    };
    for (const Case& k : cases) {
        Config c;
        c.resY = 180.0 * k.vp;
        c.resX = k.resX;
        c.nozzleResH = k.nozzle;
        c.weave = 1;
        c.ratio = k.ratio;
        c.inkFromTop = k.inkFromTop;
        c.bits = k.bits;
        c.compression = k.compression;
        c.broken = k.broken;
        c.width = 45;
        c.colors = Colors(1);
        int rescues = -1;
        RunAndCompare(c, &rescues);
        if (HasFatalFailure()) return;
        EXPECT_GT(rescues, 0) << c.Name();
    }
}

}  // namespace
