// The weave's plan on its own: worked values, the ratio rule, ramp-up, feeds and draws.
#include <gtest/gtest.h>

#include "driver/WeavePlan.h"

namespace {

struct Worked {
    int vp, ratio, bandLines, startFeed, firstBandFactor, fullCopyRows, selectDivisor, rampLines, steadyFeed;
};

// The weave's worked values, taken through the plain formulas (8/6 included, below vp).
TEST(WeavePlan, WorkedValues)
{
    const Worked rows[] = {
        {2, 6, 360, 9, 40, 60, 3, 60, 59},
        {4, 6, 720, 9, 80, 120, 1, 120, 117},
        {8, 6, 1440, 9, 160, 240, 0, 240, 233},
        {1, 6, 180, 9, 20, 30, 6, 30, 30},
    };
    for (const Worked& w : rows) {
        SCOPED_TRACE("vp " + std::to_string(w.vp));
        const weave::Settings s = weave::Start(w.bandLines, w.vp, w.ratio);
        EXPECT_EQ(s.state, weave::kFirstBand);
        EXPECT_EQ(s.feed, w.startFeed);
        EXPECT_EQ(s.firstBandFactor, w.firstBandFactor);
        EXPECT_EQ(s.fullCopyRows, w.fullCopyRows);
        EXPECT_EQ(s.selectDivisor, w.selectDivisor);
        EXPECT_EQ(s.rampLines, w.rampLines);
        EXPECT_EQ(s.weaveRatio, w.ratio);
        EXPECT_EQ(weave::SteadyFeed(w.bandLines, w.ratio, w.vp), w.steadyFeed);
    }
    EXPECT_EQ(weave::StartFeed(3), 10);
    EXPECT_EQ(weave::StartFeed(6), 10);
    EXPECT_EQ(weave::StartFeed(5), 9);
}

TEST(WeavePlan, EffectiveRatio)
{
    struct Case {
        int configured, vp, effective;
    } cases[] = {
        {6, 8, 9},      // the default at 1440 dpi vertical: below vp
        {7, 8, 9},      {8, 8, 8},  // equal to vp is kept
        {9, 8, 9},      {0, 4, 5},   {-3, 1, 2},
        {1, 1, 1},      {6, 4, 6},   {720, 4, 720},
        {721, 4, 720},  // above 180 x vp
        {100000, 1, 180},
    };
    for (const Case& c : cases)
        EXPECT_EQ(weave::EffectiveWeaveRatio(c.configured, c.vp), c.effective) << c.configured << " at vp " << c.vp;
    // Every effective ratio keeps the steady feed at 1 line or more.
    for (int vp : {1, 2, 4, 8}) {
        for (int wr = -1; wr <= 180 * vp + 5; ++wr) {
            const int eff = weave::EffectiveWeaveRatio(wr, vp);
            ASSERT_GE(weave::SteadyFeed(180 * vp, eff, vp), 1) << wr << " at vp " << vp;
            ASSERT_EQ(weave::SteadyFeed(180 * vp, eff, vp) % vp, 1 % vp);
        }
    }
}

// The ramp-up ends after the band whose count times the start feed reaches the ramp lines: at
// vp 4 and ratio 6 fourteen advances of 9 pass 120; where the ramp is a whole number of start
// feeds (90 = 10 x 9, 36 = 4 x 9) it ends exactly at that band, not one later.
TEST(WeavePlan, RampUpEndsWhenTheAdvancesReachTheRamp)
{
    struct Case {
        int vp, ratio, bandLines, startFeedAdvances, steadyFeed;
    } cases[] = {{4, 6, 720, 14, 117}, {4, 8, 720, 10, 89}, {2, 4, 360, 10, 89}, {1, 5, 180, 4, 36}};
    for (const Case& c : cases) {
        SCOPED_TRACE("vp " + std::to_string(c.vp) + " ratio " + std::to_string(c.ratio));
        const weave::Settings s = weave::Start(c.bandLines, c.vp, c.ratio);
        int state = s.state, feed = s.feed, advances = 0;
        for (int bandCount = 1; bandCount <= 30 && state != weave::kSteady; ++bandCount) {
            ASSERT_EQ(feed, 9);
            ++advances;
            const weave::Step step = weave::AfterBand(state, feed, bandCount, s.rampLines, c.bandLines, c.ratio, c.vp);
            state = step.state;
            feed = step.feed;
        }
        EXPECT_EQ(advances, c.startFeedAdvances);
        EXPECT_EQ(feed, c.steadyFeed);
        EXPECT_EQ(weave::AfterBand(weave::kSteady, feed, 99, s.rampLines, c.bandLines, c.ratio, c.vp).feed, feed);
    }
    EXPECT_EQ(weave::AfterBand(weave::kOff, 720, 99, 0, 720, 1, 4).state, weave::kOff);
}

TEST(WeavePlan, PassesPerBand)
{
    // Weave off: every interleave pass.
    EXPECT_EQ(weave::PassesPerBand(0, weave::kOff, 4, 1, 500, 720), 4);
    // First band at vp 4 (factor 80): 36 leading empty lines make one pass, 35 all four.
    EXPECT_EQ(weave::PassesPerBand(1, weave::kFirstBand, 4, 80, 35, 720), 4);
    EXPECT_EQ(weave::PassesPerBand(1, weave::kFirstBand, 4, 80, 36, 720), 1);
    // vp 2 (factor 40): the bound is 18.
    EXPECT_EQ(weave::PassesPerBand(1, weave::kFirstBand, 2, 40, 17, 360), 2);
    EXPECT_EQ(weave::PassesPerBand(1, weave::kFirstBand, 2, 40, 18, 360), 1);
    EXPECT_EQ(weave::PassesPerBand(1, weave::kRampUp, 4, 80, 0, 720), 1);
    EXPECT_EQ(weave::PassesPerBand(1, weave::kSteady, 8, 160, 0, 1440), 1);
}

TEST(WeavePlan, BandFeed)
{
    // vp 1: 180, 177, 178, 179, 180, ... limited by the lines held, at least 1.
    const int want[] = {180, 177, 178, 179, 180, 177};
    for (int count = 0; count < 6; ++count) EXPECT_EQ(weave::BandFeed(180, 1, count, 180), want[count]);
    EXPECT_EQ(weave::BandFeed(2, 1, 1, 180), 1);
    EXPECT_EQ(weave::BandFeed(180, 1, 0, 50), 50);
    // vp above 1: the feed as it is, limited by the lines held.
    EXPECT_EQ(weave::BandFeed(117, 4, 1, 720), 117);
    EXPECT_EQ(weave::BandFeed(117, 4, 3, 100), 100);
}

// Rescue rows: the nozzle rows of interleave pass p whose lines leave with an advance of feed.
TEST(WeavePlan, RescueRows)
{
    struct Case {
        int feed, p, vp, rows;
    } cases[] = {
        {9, 0, 4, 3},  {9, 1, 4, 2},    {9, 3, 4, 2},    // lines 0 4 8 | 1 5 | 3 7
        {3, 2, 8, 1},  {3, 3, 8, 0},    {1, 0, 1, 1},    // fewer lines than the interleave
        {180, 0, 1, 180}, {1440, 7, 8, 180}, {233, 0, 8, 30},  // whole band; steady feed at vp 8
        {0, 0, 2, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(weave::RescueRows(c.feed, c.p, c.vp), c.rows) << c.feed << " " << c.p << " " << c.vp;
}

TEST(WeavePlan, Draws)
{
    // Row divisors at vp 4, ratio 6 (select divisor 1): 1 below row 90, 2 from 90.
    EXPECT_EQ(weave::RowDivisor(0, 1), 1);
    EXPECT_EQ(weave::RowDivisor(89, 1), 1);
    EXPECT_EQ(weave::RowDivisor(90, 1), 2);
    EXPECT_EQ(weave::RowDivisor(179, 1), 2);
    EXPECT_EQ(weave::RowDivisor(0, 6), 6);
    EXPECT_EQ(weave::RowDivisor(179, 6), 12);
    // Seeds: ((h*256 + k)*256 + j)*256 + m, wrapping at 32 bits.
    EXPECT_EQ(weave::PixelSeed(0, 0, 0, 1), 1u);
    EXPECT_EQ(weave::PixelSeed(1, 2, 3, 0x80), 0x01020380u);
    EXPECT_EQ(weave::PixelSeed(0, 179, 300, 0xC0), (179u * 256u + 300u) * 256u + 0xC0u);
    EXPECT_EQ(weave::PixelSeed(300, 0, 0, 0), 300u << 24);
    // Seed 1 gives the generator's 41: taken by N 41 and N 1, not by N 2.
    EXPECT_TRUE(weave::PixelTaken(1, 41));
    EXPECT_FALSE(weave::PixelTaken(1, 2));
    EXPECT_TRUE(weave::PixelTaken(1, 1));
}

}  // namespace
