// The band engine's behaviours where an off-by-one would hide: feeds, placement of empty
// rows, the first band's passes, trims and rescue passes.
#include <gtest/gtest.h>

#include "engine_support.h"

namespace {
using namespace engine_test;

// Records what each band holds when it is printed and each block the engine sends.
class Recorder : public CEpsonPhotoR3000 {
public:
    using CEpsonPhotoR3000::CEpsonPhotoR3000;
    struct Band {
        int rows, leading, loaded;
    };
    struct Pass {
        int vpass, hpass, color, rows, bytesPerRow, offset;
    };
    std::vector<Band> bands;
    std::vector<Pass> passes;
    int OutputBand() override
    {
        bands.push_back({m_nBandRows, m_nLeadingEmptyRows, m_nLoadedRows});
        return CEpsonPhotoR3000::OutputBand();
    }
    int OutputRasterPass(int v, int h, int c, unsigned char* data, int rows, int bytesPerRow) override
    {
        passes.push_back({v, h, c, rows, bytesPerRow, m_nDataOffset});
        return CEpsonPhotoR3000::OutputRasterPass(v, h, c, data, rows, bytesPerRow);
    }
};

struct RecRig : Rig {
    Recorder* rec;
    RecRig(const JobParams& p, int width, double topOffsetMm = 1.5) : Rig(p, width)
    {
        parms.dTopOffsetMm = topOffsetMm;
        rec = new Recorder(&env, &parms);
        driver.reset(rec);
        Setup(p, width);
    }
};

Page FullPage(int planes, int width, int height, uint8_t value)
{
    Page page(planes, width, height);
    for (auto& plane : page.px)
        for (auto& row : plane) std::fill(row.begin(), row.end(), value);
    return page;
}

// Weave off at vp 1: bands of 180 lines advance 180, 177, 178, 179, 180, ...
TEST(BandEngine, FeedCycleAtOneInterleave)
{
    JobParams p{.resX = 360, .resY = 180, .bits = 1, .colors = {0}};
    RecRig rig(p, 16);
    rig.RunPage(FullPage(1, 16, 1200, 1), 1);
    const Stream s = ReadRaster(rig.sink.bytes);
    ASSERT_TRUE(s.error.empty()) << s.error;
    ASSERT_GE(s.blocks.size(), 6u);
    const int want[] = {0, 180, 177, 178, 179, 180};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(s.blocks[i].vmove, want[i]) << i;
        EXPECT_EQ(s.blocks[i].lines, 180) << i;
    }
    // Every data row printed once: 1200 rows of 16 set pixels.
    long dots = 0;
    for (const Block& b : s.blocks)
        for (uint8_t byte : b.data) dots += __builtin_popcount(byte);
    EXPECT_EQ(dots, 1200L * 16);
}

// A page shorter than a band prints nothing before the output ends.
TEST(BandEngine, ShortPageWaitsForTheEnd)
{
    JobParams p{.resX = 360, .resY = 720, .bits = 2, .colors = {0}};
    RecRig rig(p, 16);
    auto& d = *rig.rec;
    rig.planes[0].rows.assign(100, std::vector<uint8_t>(4, 0xFF));
    d.OutputInit(0, 0);
    for (int y = 0; y < 100; ++y) d.OutputDataRow();
    EXPECT_TRUE(rig.sink.bytes.empty());
    EXPECT_TRUE(d.bands.empty());
    d.OutputExit();
    EXPECT_FALSE(rig.sink.bytes.empty());
    EXPECT_EQ(d.m_nBandRows, 0);
}

// An empty-row run that does not fit is placed in parts, the band filled to one line short.
TEST(BandEngine, EmptyRunFillsOneLineShort)
{
    JobParams p{.resX = 360, .resY = 180, .bits = 1, .colors = {0}};
    RecRig rig(p, 16);
    Page page(1, 16, 420);
    for (int y : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 410, 411, 412, 413, 414, 415, 416, 417, 418, 419})
        std::fill(page.px[0][y].begin(), page.px[0][y].end(), 1);
    rig.RunPage(page, 1);
    auto& d = *rig.rec;
    // 11 top-offset lines + 10 data rows, then 400 empty rows: 179 lines, then 179 with
    // 178 leading (a run that starts a band counts one less), then the last 65 lines.
    ASSERT_GE(d.bands.size(), 3u);
    EXPECT_EQ(d.bands[0].rows, 179);
    EXPECT_EQ(d.bands[0].leading, 11);
    EXPECT_EQ(d.bands[1].rows, 179);
    EXPECT_EQ(d.bands[1].leading, 178);
    EXPECT_EQ(d.bands[1].loaded, 0);
    EXPECT_EQ(d.bands[2].rows, 65);
    const Stream s = ReadRaster(rig.sink.bytes);
    ASSERT_TRUE(s.error.empty()) << s.error;
    ASSERT_EQ(s.blocks.size(), 2u);
    EXPECT_EQ(s.blocks[0].lines, 179);
    EXPECT_EQ(s.blocks[1].vmove, 11 + 10 + 400);  // the second group lands where it belongs
    EXPECT_EQ(s.blocks[1].lines, 10);
}

// The first woven band prints every interleave pass unless it starts with at least
// bandLines x vp / factor leading empty lines (36 at vp 4).
TEST(BandEngine, FirstBandPassCount)
{
    for (int leading : {35, 36}) {
        JobParams p{.resX = 360, .resY = 720, .bits = 1, .weave = 1, .colors = {0}};
        RecRig rig(p, 16, 0.0);
        Page page(1, 16, leading + 800);
        for (int y = leading; y < page.height; ++y) std::fill(page.px[0][y].begin(), page.px[0][y].end(), 1);
        rig.RunPage(page, 1);
        auto& d = *rig.rec;
        ASSERT_FALSE(d.passes.empty());
        int firstBandPasses = 0;
        for (const auto& pass : d.passes)
            if (&pass - d.passes.data() < 4) firstBandPasses = std::max(firstBandPasses, pass.vpass + 1);
        EXPECT_EQ(firstBandPasses, leading < 36 ? 4 : 1) << leading;
    }
}

// Left and right trims: only the bytes between the first and last inked byte are sent,
// placed at their pixel column.
TEST(BandEngine, Trims)
{
    JobParams p{.resX = 720, .resY = 180, .bits = 1, .colors = {0, 1}};
    RecRig rig(p, 200);  // 25 bytes per row, 13 per horizontal pass
    Page page(2, 200, 3);
    page.px[0][0][34] = 1;   // pass 0, pass pixel 17: byte 2
    page.px[0][2][86] = 1;   // pass 0, pass pixel 43: byte 5
    page.px[0][1][199] = 1;  // pass 1, pass pixel 99: byte 12, the last of the row
    rig.RunPage(page, 1);
    const Stream s = ReadRaster(rig.sink.bytes);
    ASSERT_TRUE(s.error.empty()) << s.error;
    ASSERT_EQ(s.blocks.size(), 2u);  // plane 1 holds no ink: nothing is sent for it
    // ... but every horizontal pass of every colour still opens its section.
    EXPECT_EQ(rig.rec->JobSectionsCalled(), 2 * 2);
    EXPECT_EQ(s.blocks[0].hpos, 2 * 2 * 8 + 0);
    EXPECT_EQ(s.blocks[0].bytesPerLine, 4);
    EXPECT_EQ(s.blocks[0].lines, 14);  // 11 top-offset lines + 3
    std::vector<uint8_t> want0(4 * 14, 0);
    want0[11 * 4 + 0] = 0x40;  // pass pixel 17: bit 1 of byte 2
    want0[13 * 4 + 3] = 0x10;  // pass pixel 43: bit 3 of byte 5
    EXPECT_EQ(s.blocks[0].data, want0);
    EXPECT_EQ(s.blocks[1].hpos, 12 * 2 * 8 + 1);
    EXPECT_EQ(s.blocks[1].bytesPerLine, 1);
    std::vector<uint8_t> want1(14, 0);
    want1[12] = 0x10;  // pass pixel 99: bit 3 of byte 12
    EXPECT_EQ(s.blocks[1].data, want1);
    auto& d = *rig.rec;
    ASSERT_EQ(d.passes.size(), 2u);
    EXPECT_EQ(d.passes[0].offset, 2);
    EXPECT_EQ(d.passes[1].offset, 12);
}

// Lines about to leave the band with ink are printed by rescue passes before the advance.
// vp 2, feed 3, four lines (0xC0, 0x40, 0x20, 0x10), one woven pass per band, select divisor 2:
// nozzle rows 0 and 1 draw with N = 2. Interleave pass 0 prints lines 0 and 2; its draws take
// pixel 0x80 of line 0 (seed 0x80 gives 456, even), not 0x40 (seed 0x40 gives 247, odd), and
// 0x20 of line 2 (seed 0x10020 gives 17548). Leaving lines 0..2: pass 0 still holds 0x40 on
// line 0, so a rescue block of rows 0 and 1 follows at the same place; pass 1 printed nothing,
// so line 1 gets a rescue block one line lower. Line 3 stays and prints at the end, 3 lines
// below the first block (seed 0x10 gives 90: taken).
TEST(BandEngine, RescueBeforeTheAdvance)
{
    JobParams p{.resX = 360, .resY = 360, .bits = 1, .weave = 1, .colors = {0}};
    RecRig rig(p, 8, 0.0);
    auto& d = *rig.rec;
    rig.planes[0].rows = {{0xC0}, {0x40}, {0x20}, {0x10}};
    d.OutputInit(0, 0);
    d.m_nWeaveState = weave::kSteady;  // one interleave pass per band
    d.m_nFeed = 3;
    d.m_nFullCopyRows = 0;
    d.m_nSelectDivisor = 2;
    for (int y = 0; y < 4; ++y) d.OutputDataRow();
    d.OutputBand();
    EXPECT_EQ(d.m_nBandRows, 1);
    d.OutputExit();
    const Stream s = ReadRaster(rig.sink.bytes);
    ASSERT_TRUE(s.error.empty()) << s.error;
    ASSERT_EQ(s.blocks.size(), 4u);
    const struct {
        int vmove, lines;
        std::vector<uint8_t> data;
    } want[] = {
        {0, 2, {0x80, 0x20}},  // pass 0, woven
        {0, 2, {0x40, 0x00}},  // rescue of pass 0: lines 0 and 2, whole
        {1, 1, {0x40}},        // rescue of pass 1: line 1
        {2, 1, {0x10}},        // the next band: line 3
    };
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(s.blocks[i].vmove, want[i].vmove) << i;
        EXPECT_EQ(s.blocks[i].lines, want[i].lines) << i;
        EXPECT_EQ(s.blocks[i].hpos, -1) << i;
        EXPECT_EQ(s.blocks[i].bytesPerLine, 1) << i;
        EXPECT_EQ(s.blocks[i].data, want[i].data) << i;
    }
    EXPECT_EQ(d.m_nRescueBlocks, 2);
    ASSERT_EQ(d.passes.size(), 4u);
    EXPECT_EQ(d.passes[1].vpass, 0);
    EXPECT_EQ(d.passes[2].vpass, 1);
}

}  // namespace
