// The device-parameter base: prefixed settings, page extent, margins, roll widths, output.
#include <gtest/gtest.h>

#include "devparms/CDEFP_1_RPHOTO.h"
#include "devparms/CDEFP_2_RPHOTO.h"
#include "devparms_support.h"

using devparms_test::Job;

TEST(DevParmsBase, PrefixedKeysAreThePrefixFollowedByTheName)
{
    CPrintEnv env;
    CDEFP_1_RPHOTO one(&env);
    CDEFP_2_RPHOTO two(&env);
    one.PutPrefixedInt("nPlateGap", 5);
    two.PutPrefixedString("strPaperTyp", "Plain Paper");
    EXPECT_EQ(env.GetString("DP1_nPlateGap", "absent"), "5");
    EXPECT_EQ(env.GetString("DP2_strPaperTyp", "absent"), "Plain Paper");
    EXPECT_EQ(one.GetPrefixedInt("nPlateGap", 0), 5);
    EXPECT_EQ(two.GetPrefixedInt("nPlateGap", 0), 0) << "the other model's key is not this one's";
    EXPECT_EQ(two.GetPrefixedString("strPaperTyp", "x"), "Plain Paper");
    EXPECT_EQ(one.GetPrefixedString("strPaperTyp", "fallback"), "fallback");
    EXPECT_EQ(two.GetPrefixedInt("nDryTimeScan", 7), 7);
}

TEST(DevParmsBase, WithoutAStoreReadsGiveErrorValuesAndWritesNothing)
{
    CDEFP_1_RPHOTO parms(nullptr);
    EXPECT_EQ(parms.GetPrefixedInt("nPlateGap", 0), -1);
    EXPECT_EQ(parms.GetPrefixedString("strPaperTyp", ""), "***ERROR***");
    parms.PutPrefixedInt("nPlateGap", 3);  // must not crash
    parms.PutPrefixedString("strPaperTyp", "x");
}

TEST(DevParmsBase, PageExtentFromPixelsOrFromTheMediaWidth)
{
    CDEFP_1_RPHOTO parms(nullptr);
    Job job;
    job.SetMedia(210, 297, CDRc{3, 5, 3, 7});
    job.Start(&parms, 360, 360, "360x360", "ISO A4", 2880);
    double top = 0, bottom = 0, width = 0, length = 0;
    EXPECT_EQ(parms.CalcPageExtentMm(job.driver, &top, &bottom, &width, &length, 0, 360), 1);
    EXPECT_NEAR(width, 209.2, 1e-9);  // 2880 px at 360 dpi = 203.2 mm, plus 3 + 3
    EXPECT_EQ(length, 297.0);
    EXPECT_EQ(top, 5.0);
    EXPECT_EQ(bottom, 290.0);
    parms.CalcPageExtentMm(job.driver, &top, &bottom, &width, &length, 1, 360);
    EXPECT_EQ(width, 210.0) << "full width ignores the pixels and the side margins";

    // The driver's resolution is truncated to whole dpi before it is used.
    job.Resolution(360.9, 360, 2880);
    parms.GetPageExtentMm(job.driver, &top, &bottom, &width, &length, 0);
    EXPECT_NEAR(width, 209.2, 1e-9);
}

TEST(DevParmsBase, NonPrintableMarginIsThreeMillimetresOnEverySide)
{
    CDEFP_2_RPHOTO parms(nullptr);
    CQueryNpMargin query;
    query.media.strName = "ISO A2";
    query.media.dWidthMm = 420;
    query.nParam1 = 9;
    const CDRc m = parms.MediaSizeGetNpMargin(query);
    for (double side : {m.left, m.top, m.right, m.bottom}) EXPECT_EQ(side, 3.0);
}

// Roll widths (option kind 1) match within strict bounds; other kinds keep their answer (-1).
TEST(DevParmsBase, RollWidthsMatchWithinStrictBounds)
{
    struct Case {
        int kind;
        double widthMm;
        int available;
    };
    const Case cases[] = {
        {1, 210.05, 1}, {1, 210.1, 0}, {1, 431.75, 1}, {1, 100, 0},  {1, 89, 1},   {1, 88.95, 1}, {1, 88.85, 0},
        {1, 431.8, 1},  {1, 431.95, 0}, {1, 329.0, 1}, {1, 297.09, 1}, {1, 297.2, 0}, {1, 0, 0},  {1, -89, 0},
        {0, 210, -1},   {2, 210, -1},   {7, 210, -1},   {-1, 210, -1},
    };
    CDEFP_1_RPHOTO parms(nullptr);
    for (const Case& c : cases) {
        CJobPrintOptionQuery q;
        q.nOption = c.kind;
        q.nAnswer = -1;
        q.dValue = c.widthMm;
        EXPECT_EQ(parms.JobPrintOptionAvailable(q), 1);
        EXPECT_EQ(q.nAnswer, c.available) << "kind " << c.kind << ", " << c.widthMm << " mm";
    }
}

TEST(DevParmsBase, StartStringOutputReportsTheOutputsSuccess)
{
    CDEFP_1_RPHOTO parms(nullptr);
    Job job;
    job.Start(&parms, 720, 720, "720x720");
    EXPECT_EQ(parms.OutputStartString(job.driver), 1);
    EXPECT_EQ(job.sink.bytes, std::string(parms.GetStartString(job.driver).str()));

    CountingSink failing(0);
    job.driver->SetOutputSink(&failing);
    EXPECT_EQ(parms.OutputStartString(job.driver), 0);
}
