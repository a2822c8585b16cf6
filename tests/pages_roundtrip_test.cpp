// The pages carry the stored options through unchanged: showing, leaving and confirming a page
// without edits leaves both parameter sets as they were (the transfer alone is checked with the
// options), and confirmed edits arrive.
#include "tests/pages_support.h"

namespace {
using pages_test::PageRig;
using pages_test::Saved;

const int kFlagged[] = {0, 1, 17, 90, 178, 179};

// Options the pages keep when shown: model 1's stored media is the first the print method lists
// for the stored ink mode, and its platen gap is not 0.
const char* const kStored[][12] = {
    {"nPaperTyp=0", "strPaperTyp=Photo Quality InkJet Paper", "nMediaSource=4", "bBidirectional=0",
     "bDuplexPrint=1", "nBottomMargin=2", "nPlateGap=77", "bPlatenGapBiDirectional=1", "inkMode=1",
     "bMoveFullHeadWidth=0", nullptr},
    {"nPaperTyp=10", "strPaperTyp=Velvet Fine Art Paper", "nMediaSource=3", "nDirectionalControl=2", "bCutFlag=1",
     "bDuplexPrint=1", "nPlateGap=3", "nPaperThickness=17", "nDryTimeScan=1234", "inkMode=2",
     "bMoveFullHeadWidth=0", nullptr},
};

void StoreOptions(CPrintEnv& env, int model)
{
    const std::string prefix = "DP" + std::to_string(model) + "_";
    env.PutString(PrEnv_PrintMethod.pszKey, "1440x720");
    for (const char* const* kv = kStored[model - 1]; *kv; ++kv) {
        const std::string text = *kv;
        env.PutString((prefix + text.substr(0, text.find('='))).c_str(), text.substr(text.find('=') + 1).c_str());
    }
    env.PutInt((prefix + "bEnableWeave").c_str(), 0);
    env.PutInt((prefix + "bEnableBrokenNozzles").c_str(), 1);
    for (int n : kFlagged) env.PutInt((prefix + "bBrokenNozzle_" + std::to_string(n)).c_str(), 1);
}

class RoundTrip : public ::testing::TestWithParam<int> {
protected:
    void Store(PageRig& rig) { StoreOptions(rig.env, GetParam()); }
};

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
    StoreOptions(rig.env, 2);
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
