// Broken-nozzle simulation drops exactly the dots of the marked nozzles; the stream's moves
// and positions agree with the driver's own bookkeeping; and the weave ratios outside the
// formulas' range still print every dot once.
#include <gtest/gtest.h>

#include <algorithm>

#include "conservation_support.h"

namespace {
using namespace conservation;

struct NozzleCase {
    int model, method, bits;
    bool weave;
    int ratio;
    bool compress;
    std::vector<int> marked;
};

TEST(BrokenNozzles, ExactlyTheDotsOfMarkedNozzlesGoMissing)
{
    const NozzleCase cases[] = {
        {2, 0, 2, true, 12, true, {0, 1, 37, 179}},     // 360x180, vp 1
        {1, 0, 1, false, 6, false, {5, 90}},             // weave off
        {2, 1, 2, true, 3, false, {0, 100, 178}},        // 360x360, vp 2
        {1, 3, 2, true, 6, true, {0, 1, 37, 90, 179}},   // 1440x720, vp 4, 2 horizontal passes
        {2, 4, 1, false, 6, true, {2, 60, 120}},         // 2880x720, weave off
        {1, 5, 2, true, 20, true, {0, 45, 179}},         // 1440x1440, vp 8
        {2, 6, 2, true, 12, false, {10, 11, 12, 150}},   // 5760x1440, 8 horizontal passes
    };
    for (const NozzleCase& nc : cases) {
        JobConfig c;
        c.model = nc.model, c.method = nc.method, c.bits = nc.bits, c.weave = nc.weave, c.ratio = nc.ratio;
        c.compress = nc.compress, c.brokenNozzles = nc.marked, c.content = Content::Random, c.seed = 4242;
        const Page page = MakePage(c);

        // Marked but not simulated: every dot arrives, and the decoder tells which nozzle laid it.
        c.simulateBroken = false;
        const DecodeResult plain = DecodeRun(RunJob(c, page), true);
        std::vector<VerifyPlane> planes = VerifyPlanes(c, page);
        const VerifyReport all = VerifyDots(plain, planes);
        ASSERT_TRUE(all.Ok()) << c.Name() << "\n" << FormatVerifyReport(all);

        uint64_t marked = 0;
        for (VerifyPlane& p : planes) {
            const InkPlane* out = plain.pages.at(0).Plane(p.ink);
            ASSERT_NE(out, nullptr);
            p.expectMissing.assign(p.values.size(), 0);
            for (int y = 0; y < p.height; ++y)
                for (int x = 0; x < p.width; ++x) {
                    const size_t at = static_cast<size_t>(y) * static_cast<size_t>(p.width) + static_cast<size_t>(x);
                    if (!p.values[at]) continue;
                    const std::optional<DotOrigin> o = out->Origin(p.pageRow + y, p.pageColumn + x);
                    ASSERT_TRUE(o.has_value());
                    if (std::find(nc.marked.begin(), nc.marked.end(), o->nozzle) != nc.marked.end()) {
                        p.expectMissing[at] = 1;
                        ++marked;
                    }
                }
        }
        EXPECT_GT(marked, 0u) << c.Name();

        c.simulateBroken = true;
        const VerifyReport broken = VerifyDots(DecodeRun(RunJob(c, page), false), planes);
        EXPECT_TRUE(broken.Ok()) << c.Name() << "\n" << FormatVerifyReport(broken);
        uint64_t gone = 0;
        for (const InkVerdict& v : broken.inks) gone += v.markedMissing;
        EXPECT_EQ(gone, marked) << c.Name();
    }
}

TEST(Bookkeeping, StreamAgreesWithTheDriversCounts)
{
    JobConfig c;
    c.method = 6;  // 5760x1440: 8 horizontal passes, positions of every phase
    c.longGap = true;
    const Page page = MakePage(c);
    const JobRun run = RunJob(c, page);
    const DecodeResult d = DecodeRun(run, false);
    ASSERT_EQ(CheckBookkeeping(c, run, d), "");
    EXPECT_GT(run.advancedRows, page.height);  // the page and its top offset pass under the head

    // A driver count one line off, or a block read at another column, is noticed.
    JobRun miscounted = run;
    miscounted.advancedRows += 1;
    EXPECT_NE(CheckBookkeeping(c, miscounted, d), "");
    DecodeResult moved = d;
    ASSERT_FALSE(moved.blocks.empty());
    moved.blocks.back().column += 1;
    EXPECT_NE(CheckBookkeeping(c, run, moved), "");
}

struct RatioCase {
    int method;
    int ratio;
    int inUse;  // the ratio the weave runs with
};

// Runs each case on pages whose data starts right below the top offset and, unless
// firstRowOnly, 5 rows lower.
void ExpectEveryDotOnce(const RatioCase& rc, bool firstRowOnly = false)
{
    for (uint32_t seed : {8u, 13u}) {  // first data row 0 and 5 rows below the top offset
        if (firstRowOnly && seed != 8u) continue;
        JobConfig c;
        c.method = rc.method;
        c.ratio = rc.ratio;
        c.model = 1 + (rc.ratio & 1);
        c.content = Content::Gradient;
        c.seed = seed;
        int inUse = 0;
        EXPECT_EQ(CheckConservation(c, &inUse), "");
        EXPECT_EQ(inUse, rc.inUse) << c.Name();
    }
}

// Below the interleave (or below 1) the driver weaves with vp + 1.
TEST(WeaveRatioRule, RatiosBelowTheInterleaveWeaveWithOneMore)
{
    const RatioCase cases[] = {
        {0, 0, 2}, {0, -5, 2},                          // vp 1
        {1, 0, 3}, {1, -3, 3}, {1, 1, 3},               // vp 2
        {3, 0, 5}, {3, 3, 5}, {4, 1, 5},                // vp 4
        {5, -1, 9}, {5, 6, 9}, {6, 7, 9}, {6, 0, 9},    // vp 8
    };
    for (const RatioCase& rc : cases) ExpectEveryDotOnce(rc);
}

// From vp + 1 to 180 x vp the formulas hold as they are; above, the ratio is held at 180 x vp.
// Every dot prints once at any of them, including the first lines of the page, which meet
// the weave's 9- or 10-line start feeds while few nozzle rows print their lines whole.
TEST(WeaveRatioRule, LargeRatiosPrintEveryDotOnce)
{
    const RatioCase cases[] = {
        {0, 30, 30}, {0, 31, 31}, {0, 90, 90},                   // vp 1
        {1, 45, 45}, {1, 46, 46}, {1, 72, 72}, {1, 73, 73},      // vp 2
        {3, 80, 80}, {3, 200, 200},                              // vp 4
        {5, 26, 26}, {5, 27, 27}, {5, 84, 84}, {5, 85, 85},      // vp 8
    };
    for (const RatioCase& rc : cases) ExpectEveryDotOnce(rc);
    // At 180 x vp and above the steady feed is 1 line: thousands of bands, so one page each.
    const RatioCase feedOfOne[] = {{0, 180, 180}, {0, 200, 180}, {1, 361, 360}, {3, 5000, 720}, {5, 1441, 1440}};
    for (const RatioCase& rc : feedOfOne) ExpectEveryDotOnce(rc, true);
}

}  // namespace
