// The model-2 page driven through its controls: the material list, the user-medium controls, the
// ink type kept consistent with the medium, cut and duplex by source, and the drying-time check.
#include "tests/pages_support.h"

#include "pages/CEpsonRPhoto3000Page.h"

namespace {
using pages_test::ExpectRangeMessages;
using pages_test::PageRig;
using Strings = std::vector<std::string>;

constexpr int kMaterial = 1096, kInk = 1105, kAsf = 1097, kBoard = 1098, kFineArt = 1099, kRoll = 1102,
              kCut = 1332, kDuplex = 1103, kDry = 1104, kPlatenGap = 1094, kThickness = 1095, kDirection = 1002;
const int kUserMediumControls[] = {1045, 1055, 1047, 1094, 1095, 1104, 1067};

// The material list as the printer names its media, written out in list order.
const Strings kMaterials = {"User",
                            "Plain Paper",
                            "Matte Paper-Heavyweight",
                            "Premium Glossy Photo Paper",
                            "Premium Semigloss Photo Paper",
                            "Ultra Premium Luster Photo Paper",
                            "Enhanced Matte Paper/Archival Matte Paper",
                            "Watercolor Paper - Radiant White",
                            "Double Sided Matte Paper",
                            "Matte board paper",
                            "Velvet Fine Art Paper",
                            "Photo Quality InkJet Paper",
                            "UltraSmooth Fine Art Paper",
                            "Photo Paper Glossy",
                            "Singleweight Matte Paper"};
// Which black inks each material position accepts (position 0, "User", accepts both).
const bool kTakesPhoto[] = {true, true, false, true, true, true, false, false, false, false, false, true, false, false, false};
const bool kTakesMatte[] = {true, true, true, false, false, false, true, true, true, true, true, true, true, true, true};

struct Model2 : PageRig {
    CEpsonRPhoto3000Page* Page() const { return static_cast<CEpsonRPhoto3000Page*>(page.get()); }
    void Open(const char* material, int position, int inkMode = 0, int source = 0)
    {
        env.PutString("DP2_strPaperTyp", material);
        env.PutInt("DP2_nPaperTyp", position);
        env.PutInt("DP2_inkMode", inkMode);
        env.PutInt("DP2_nMediaSource", source);
        env.PutInt("DP2_nPlateGap", 2);
        env.PutInt("DP2_nPaperThickness", 5);
        env.PutInt("DP2_nDryTimeScan", 250);
        Build(2);
        Show();
    }
};

TEST(Model2Page, MaterialListSelectsTheSavedNameByPrefixSearch)
{
    struct Case {
        const char* saved;
        int position;
    };
    const Case cases[] = {
        {"Velvet Fine Art Paper", 10}, {"User", 0},    {"", 1} /* empty: the first entry after "User" */,
        {"Nonexistent Paper", 1},      {"photo", 11} /* prefix, any case: the first Photo... entry */,
        {"Singleweight Matte Paper", 14},
    };
    for (const Case& c : cases) {
        Model2 rig;
        rig.Open(c.saved, 7);
        EXPECT_EQ(rig.Items(kMaterial), kMaterials);
        EXPECT_EQ(rig.Sel(kMaterial), c.position) << c.saved;
        EXPECT_EQ(rig.Page()->nPaperTyp, c.position) << c.saved;
        EXPECT_EQ(rig.Page()->strPaperTyp, kMaterials[static_cast<size_t>(c.position)]);
        EXPECT_STREQ(rig.Page()->OnQueryMediaName(), kMaterials[static_cast<size_t>(c.position)].c_str());
    }
}

TEST(Model2Page, FixedListsComeFromTheDialog)
{
    Model2 rig;
    rig.Open("Plain Paper", 1);
    EXPECT_EQ(rig.Items(kInk), (Strings{"Printer Settings", "Photo", "Matte"}));
    EXPECT_EQ(rig.Items(kDirection), (Strings{"Bi-directional", "Unidirectional 0 to 80", "Auto directional control",
                                              "Unidirectional 80 to 0"}));
    EXPECT_EQ(rig.Items(kPlatenGap), (Strings{"Default", "Scrape Reduction", "Bi-D Adjust PG--", "Bi-D Adjust PG-",
                                              "Bi-D Adjust PGpty"}));
    EXPECT_EQ(rig.Items(kThickness),
              (Strings{"Default", "0.15 mm", "0.1 mm", "0.2 mm", "0.3 mm", "0.4 mm", "0.5 mm", "0.6 mm", "0.7 mm",
                       "0.8 mm", "0.9 mm", "1.0 mm", "1.1 mm", "1.2 mm", "1.3 mm", "1.4 mm", "1.5 mm", "1.6 mm", ""}));
    EXPECT_EQ(rig.Sel(kPlatenGap), 2);
    EXPECT_EQ(rig.Sel(kThickness), 5);
    EXPECT_EQ(rig.Text(kDry), "250");
    for (int id : {1014, 1004, 1012}) EXPECT_FALSE(rig.Visible(id)) << id;
}

TEST(Model2Page, UserMediumControlsAreEnabledOnlyForUser)
{
    Model2 rig;
    rig.Open("Plain Paper", 1);
    for (int id : kUserMediumControls) EXPECT_FALSE(rig.Enabled(id)) << id;
    ASSERT_TRUE(rig.page->UserSelect(kMaterial, 0));
    for (int id : kUserMediumControls) EXPECT_TRUE(rig.Enabled(id)) << id;
    rig.page->UserSelect(kPlatenGap, 4);
    rig.page->UserSelect(kThickness, 18);
    rig.page->UserSetText(kDry, "9000");
    for (int position = 1; position < 15; ++position) {
        rig.page->UserSelect(kMaterial, position);
        for (int id : kUserMediumControls) EXPECT_FALSE(rig.Enabled(id)) << id << " at " << position;
    }
    EXPECT_EQ(rig.Page()->nPlateGap, 4) << "the members keep their values";
    EXPECT_EQ(rig.Page()->nPaperThickness, 18);
    EXPECT_EQ(rig.Page()->nDryTimeScan, 9000);
    EXPECT_EQ(rig.Text(kDry), "9000");
}

TEST(Model2Page, InkTypeIsCorrectedToWhatTheMediumAccepts)
{
    // For every medium and every ink type chosen before it: the ink type that results.
    for (int startInk = 0; startInk < 3; ++startInk) {
        for (int position = 0; position < 15; ++position) {
            Model2 rig;
            rig.Open("User", 0, startInk);
            rig.page->UserSelect(kMaterial, position);
            int expected = startInk;
            if (startInk == 1 && !kTakesPhoto[position]) expected = 2;
            if (startInk == 2 && !kTakesMatte[position]) expected = 1;
            EXPECT_EQ(rig.Page()->inkMode, expected) << "ink " << startInk << " medium " << kMaterials[position];
            EXPECT_EQ(rig.Sel(kInk), expected);
        }
    }
}

TEST(Model2Page, ChoosingAnInkTheMediumRefusesSwitchesBackAtOnce)
{
    Model2 rig;
    rig.Open("Photo Paper Glossy", 13, 2);
    rig.page->UserSelect(kInk, 1);
    EXPECT_EQ(rig.Sel(kInk), 2);
    EXPECT_EQ(rig.Page()->inkMode, 2);
    rig.page->UserSelect(kInk, 0);
    EXPECT_EQ(rig.Page()->inkMode, 0) << "printer settings suit every medium";

    rig.page->UserSelect(kMaterial, 3);  // Premium Glossy Photo Paper
    rig.page->UserSelect(kInk, 2);
    EXPECT_EQ(rig.Sel(kInk), 1);
    rig.page->UserSelect(kMaterial, 1);  // Plain Paper takes both
    rig.page->UserSelect(kInk, 2);
    EXPECT_EQ(rig.Sel(kInk), 2);
    rig.page->UserSelect(kInk, 1);
    EXPECT_EQ(rig.Sel(kInk), 1);
}

TEST(Model2Page, CutFlagOnlyForRollAndDuplexOnlyForOtherSources)
{
    const std::pair<int, int> sources[] = {{kRoll, 3}, {kAsf, 0}, {kFineArt, 2}, {kRoll, 3}, {kBoard, 1}};
    Model2 rig;
    rig.Open("Plain Paper", 1, 0, 3);
    EXPECT_TRUE(rig.Enabled(kCut)) << "opened with the roll source";
    EXPECT_FALSE(rig.Enabled(kDuplex));
    for (const auto& [radio, source] : sources) {
        ASSERT_TRUE(rig.page->UserClick(radio));
        EXPECT_EQ(rig.Page()->nMediaSource, source);
        EXPECT_EQ(rig.Enabled(kCut), source == 3) << source;
        EXPECT_EQ(rig.Enabled(kDuplex), source != 3) << source;
    }
}

TEST(Model2Page, DryingTimeOutsideTheRangeKeepsThePageOpen)
{
    Model2 rig;
    rig.Open("User", 0);
    auto* parms = static_cast<CDEFP_2_RPHOTO*>(rig.driver->m_pDevParms);
    for (const char* bad : {"10001", "-1", "1e3", ""}) {
        rig.page->UserSetText(kDry, bad);
        rig.page->UserFocus(kAsf);
        EXPECT_EQ(rig.page->TakeMessages(), Strings{"Please enter an integer between 0 and 10000."}) << bad;
        EXPECT_FALSE(rig.sheet.PressOK());
        ExpectRangeMessages(*rig.page, "Please enter an integer between 0 and 10000.");
        EXPECT_EQ(rig.sheet.GetActivePage(), rig.page.get());
        EXPECT_EQ(parms->nDryTimeScan, 250);
    }
    rig.page->UserSetText(kDry, "10000");
    EXPECT_TRUE(rig.sheet.PressOK());
    EXPECT_EQ(parms->nDryTimeScan, 10000);
}

}  // namespace
