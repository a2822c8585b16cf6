// The pages carry the stored options through unchanged: taking a page and reading it back, and
// showing, leaving and confirming it without edits, leave both parameter sets as they were.
#include "tests/pages_support.h"

namespace {
using pages_test::PageRig;
using pages_test::Saved;

const int kFlagged[] = {0, 1, 17, 90, 178, 179};

void StoreCommon(CPrintEnv& env, const char* prefix)
{
    env.PutInt((std::string(prefix) + "bEnableWeave").c_str(), 0);
    env.PutInt((std::string(prefix) + "bEnableBrokenNozzles").c_str(), 1);
    for (int n : kFlagged) env.PutInt((std::string(prefix) + "bBrokenNozzle_" + std::to_string(n)).c_str(), 1);
}

// Model 1 with options the page keeps when shown: the stored media is the first the print
// method lists for the stored ink mode, and the platen gap is not 0.
void StoreModel1(CPrintEnv& env)
{
    env.PutString(PrEnv_PrintMethod.pszKey, "1440x720");
    env.PutInt("DP1_nPaperTyp", 0);
    env.PutString("DP1_strPaperTyp", "Photo Quality InkJet Paper");
    env.PutInt("DP1_nMediaSource", 4);
    env.PutInt("DP1_bBidirectional", 0);
    env.PutInt("DP1_bDuplexPrint", 1);
    env.PutInt("DP1_nBottomMargin", 2);
    env.PutInt("DP1_nPlateGap", 77);
    env.PutInt("DP1_bPlatenGapBiDirectional", 1);
    env.PutInt("DP1_inkMode", 1);
    env.PutInt("DP1_bMoveFullHeadWidth", 0);
    StoreCommon(env, "DP1_");
}

void StoreModel2(CPrintEnv& env)
{
    env.PutString(PrEnv_PrintMethod.pszKey, "1440x720");
    env.PutInt("DP2_nPaperTyp", 10);
    env.PutString("DP2_strPaperTyp", "Velvet Fine Art Paper");
    env.PutInt("DP2_nMediaSource", 3);
    env.PutInt("DP2_nDirectionalControl", 2);
    env.PutInt("DP2_bCutFlag", 1);
    env.PutInt("DP2_bDuplexPrint", 1);
    env.PutInt("DP2_nPlateGap", 3);
    env.PutInt("DP2_nPaperThickness", 17);
    env.PutInt("DP2_nDryTimeScan", 1234);
    env.PutInt("DP2_inkMode", 2);
    env.PutInt("DP2_bMoveFullHeadWidth", 0);
    StoreCommon(env, "DP2_");
}

class RoundTrip : public ::testing::TestWithParam<int> {
protected:
    void Store(PageRig& rig) { GetParam() == 1 ? StoreModel1(rig.env) : StoreModel2(rig.env); }
};

TEST_P(RoundTrip, PageTakenAndReadBackWithoutBeingShown)
{
    PageRig rig;
    Store(rig);
    rig.Build(GetParam());
    const auto before = Saved(rig.driver->m_pDevParms, rig.env);
    rig.driver->m_pDevParms->FromPropertyPage(rig.page.get());
    EXPECT_EQ(Saved(rig.driver->m_pDevParms, rig.env), before);
}

TEST_P(RoundTrip, PageShownLeftAndConfirmedWithoutEdits)
{
    PageRig rig;
    Store(rig);
    rig.Build(GetParam());
    const auto before = Saved(rig.driver->m_pDevParms, rig.env);
    rig.Show();
    ASSERT_TRUE(rig.sheet.Deactivate());
    ASSERT_TRUE(rig.sheet.SetActivePage(0));
    ASSERT_TRUE(rig.sheet.PressOK());
    const auto after = Saved(rig.driver->m_pDevParms, rig.env);
    EXPECT_EQ(after, before);
    const std::string prefix = GetParam() == 1 ? "DP1_" : "DP2_";
    for (int n : kFlagged) EXPECT_EQ(after.at(prefix + "bBrokenNozzle_" + std::to_string(n)), "1") << n;
    EXPECT_EQ(after.at(prefix + "bBrokenNozzle_2"), "0");
}

INSTANTIATE_TEST_SUITE_P(BothModels, RoundTrip, ::testing::Values(1, 2));

TEST(RoundTripEdits, ConfirmedEditsReachTheParameters)
{
    PageRig rig;
    StoreModel2(rig.env);
    rig.Build(2);
    rig.Show();
    rig.page->UserSelect(1096, 3);    // Premium Glossy Photo Paper: the matte ink turns to photo
    rig.page->UserClick(1097);        // ASF
    rig.page->UserClick(1005);        // weave back on
    ASSERT_TRUE(rig.sheet.PressOK());
    const auto* parms = static_cast<CDEFP_2_RPHOTO*>(rig.driver->m_pDevParms);
    EXPECT_EQ(parms->nPaperTyp, 3);
    EXPECT_EQ(parms->strPaperTyp, "Premium Glossy Photo Paper");
    EXPECT_EQ(parms->inkMode, 1);
    EXPECT_EQ(parms->nMediaSource, 0);
    EXPECT_EQ(parms->bEnableWeave, 1);
    EXPECT_EQ(parms->bBrokenNozzle[17], 1) << "the nozzle flags still as they came in";
    EXPECT_EQ(parms->bBrokenNozzle[18], 0);
}

}  // namespace
