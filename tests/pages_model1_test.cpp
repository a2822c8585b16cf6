// The model-1 page driven through its controls: media and quality lists that follow the print
// method and the black-ink mode, forced ink modes, the platen gap with its up-down control, and
// validation that keeps the page open.
#include "tests/pages_support.h"

#include "pages/CEpsonRPhoto2000Page.h"

namespace {
using pages_test::ExpectRangeMessages;
using pages_test::PageRig;
using Strings = std::vector<std::string>;

constexpr int kPhoto = 1107, kMatte = 1108, kMedia = 1096, kQuality = 1000, kGap = 1109, kSpin = 1110,
              kGapBidi = 1106, kBidi = 1100, kBottom = 1003;

struct Model1 : PageRig {
    CEpsonRPhoto2000Page* Page() const { return static_cast<CEpsonRPhoto2000Page*>(page.get()); }
    // The ink-mode frame is the control right before the "Photo" radio.
    CWnd* InkFrame() const { return page->GetPrevSibling(Item(kPhoto)); }
    void Open(const char* method, int inkMode, int plateGap = 0)
    {
        env.PutString(PrEnv_PrintMethod.pszKey, method);
        env.PutInt("DP1_inkMode", inkMode);
        env.PutInt("DP1_nPlateGap", plateGap);
        env.PutInt("DP1_bPlatenGapBiDirectional", 1);
        Build(1);
        Show();
    }
};

const Strings kPhoto5760 = {"Premium Glossy Photo Paper", "Premium Luster Photo Paper",
                            "Premium Semigloss Photo Paper", "Photo Paper Glossy"};
const Strings kMatte5760 = {"Enhanced Matte Paper",  "Matte Paper - Heavyweight",
                            "Double-Sided Matte Paper", "CD/DVD",
                            "CD/DVD Premium Surface", "Velvet Fine Art Paper",
                            "Watercolor Paper - Radiant White", "UltraSmooth Fine Art Paper"};

TEST(Model1Page, PrintMethodsClassifyByTheBlackInksTheyAreOfferedWith)
{
    const std::pair<const char*, int> cases[] = {{"360x180", 1},   {"360x360", 1}, {"720x720", 3},
                                                 {"1440x720", 3},  {"5760x1440", 3}, {"2880x1440", 0},
                                                 {"1440X720", 0},  {"", 0}};
    for (const auto& [method, cls] : cases)
        EXPECT_EQ(CEpsonRPhoto2000Page::ClassifyPrintMethod(method), cls) << method;
}

TEST(Model1Page, MatteOnlyPrintMethodForcesMatteAndDisablesTheInkModeRadios)
{
    for (const char* method : {"360x180", "360x360"}) {
        Model1 rig;
        rig.Open(method, 0);
        EXPECT_EQ(rig.Page()->inkMode, 1) << method;
        EXPECT_EQ(rig.Checked(kMatte), 1);
        EXPECT_EQ(rig.Checked(kPhoto), 0);
        EXPECT_FALSE(rig.Enabled(kPhoto));
        EXPECT_FALSE(rig.Enabled(kMatte));
        ASSERT_NE(rig.InkFrame(), nullptr);
        EXPECT_FALSE(rig.InkFrame()->IsWindowEnabled());
        EXPECT_EQ(rig.Items(kMedia), Strings{"Plain Paper"});
        EXPECT_EQ(rig.Items(kQuality), Strings{"Economy"});
        EXPECT_EQ(rig.Page()->strQuality, "Economy");
        EXPECT_STREQ(rig.Page()->OnQueryMediaName(), "Plain Paper");
    }
}

TEST(Model1Page, ListsFollowTheInkModeRadios)
{
    Model1 rig;
    rig.Open("5760x1440", 0);
    EXPECT_TRUE(rig.Enabled(kPhoto));
    EXPECT_TRUE(rig.Enabled(kMatte));
    EXPECT_TRUE(rig.InkFrame()->IsWindowEnabled());
    EXPECT_EQ(rig.Items(kMedia), kPhoto5760);
    EXPECT_EQ(rig.Sel(kMedia), 0);
    EXPECT_EQ(rig.Items(kQuality), Strings{"Super Photo"});

    rig.page->UserSelect(kMedia, 3);
    EXPECT_EQ(rig.Page()->nPaperTyp, 3);

    // Switching the ink mode selects the first media of the new list and its quality at once.
    ASSERT_TRUE(rig.page->UserClick(kMatte));
    EXPECT_EQ(rig.Page()->inkMode, 1);
    EXPECT_EQ(rig.Items(kMedia), kMatte5760);
    EXPECT_EQ(rig.Sel(kMedia), 0);
    EXPECT_EQ(rig.Page()->nPaperTyp, 0);
    EXPECT_EQ(rig.Page()->strPaperTyp, "Enhanced Matte Paper");

    ASSERT_TRUE(rig.page->UserClick(kPhoto));
    EXPECT_EQ(rig.Items(kMedia), kPhoto5760);
    EXPECT_EQ(rig.Page()->strPaperTyp, "Premium Glossy Photo Paper");
}

TEST(Model1Page, QualityListHoldsTheLevelOfTheChosenMediaAndPrintMethod)
{
    struct Case {
        const char* method;
        int inkMode;
        Strings media;
        int pick;
        const char* quality;
    };
    const Case cases[] = {
        {"720x720", 0,
         {"Plain Paper", "Premium Glossy Photo Paper", "Premium Luster Photo Paper", "Premium Semigloss Photo Paper",
          "Photo Paper Glossy"},
         0, "Fine"},
        {"720x720", 1, {"Plain Paper"}, 0, "Fine"},
        {"1440x720", 0,
         {"Photo Quality InkJet Paper", "Premium Glossy Photo Paper", "Premium Luster Photo Paper",
          "Premium Semigloss Photo Paper", "Photo Paper Glossy"},
         2, "Photo"},
        {"1440x720", 1,
         {"Photo Quality InkJet Paper", "Enhanced Matte Paper", "Matte Paper - Heavyweight",
          "Double-Sided Matte Paper"},
         3, "Photo"},
    };
    for (const Case& c : cases) {
        Model1 rig;
        rig.Open(c.method, c.inkMode);
        EXPECT_EQ(rig.Items(kMedia), c.media) << c.method << " ink " << c.inkMode;
        rig.page->UserSelect(kMedia, c.pick);
        EXPECT_EQ(rig.Items(kQuality), Strings{c.quality}) << c.method;
        EXPECT_EQ(rig.SelText(kQuality), c.quality);
        rig.page->UserSelect(kQuality, 0);
        EXPECT_EQ(rig.Page()->strQuality, c.quality);
        EXPECT_EQ(rig.Page()->strPaperTyp, c.media[static_cast<size_t>(c.pick)]);
    }
}

TEST(Model1Page, ReactivationRefillsOnlyWhenThePrintMethodChanged)
{
    Model1 rig;
    rig.Open("720x720", 0);
    rig.page->UserSelect(kMedia, 4);
    ASSERT_TRUE(rig.sheet.Deactivate());
    ASSERT_TRUE(rig.sheet.SetActivePage(0));
    EXPECT_EQ(rig.SelText(kMedia), "Photo Paper Glossy") << "same print method: the choice stays";

    ASSERT_TRUE(rig.sheet.Deactivate());
    rig.page->SetHostPrintMethod("360x360");  // changed on a sibling page meanwhile
    ASSERT_TRUE(rig.sheet.SetActivePage(0));
    EXPECT_EQ(rig.Items(kMedia), Strings{"Plain Paper"});
    EXPECT_EQ(rig.Page()->inkMode, 1);
    EXPECT_FALSE(rig.Enabled(kPhoto));

    ASSERT_TRUE(rig.sheet.Deactivate());
    rig.page->SetHostPrintMethod("1440x720");
    ASSERT_TRUE(rig.sheet.SetActivePage(0));
    EXPECT_TRUE(rig.Enabled(kPhoto)) << "both inks again: the radios come back";
    EXPECT_EQ(rig.Page()->inkMode, 1) << "and the ink mode stays as it was";
    EXPECT_EQ(rig.SelText(kMedia), "Photo Quality InkJet Paper");
    EXPECT_EQ(rig.SelText(kQuality), "Photo");
}

TEST(Model1Page, UnknownPrintMethodLeavesTheListsEmpty)
{
    Model1 rig;
    rig.Open("2880x2880", 1);
    EXPECT_TRUE(rig.Enabled(kPhoto));
    EXPECT_TRUE(rig.Enabled(kMatte));
    EXPECT_EQ(rig.Page()->inkMode, 1);
    EXPECT_TRUE(rig.Items(kMedia).empty());
    EXPECT_TRUE(rig.Items(kQuality).empty());
    EXPECT_EQ(rig.Page()->nPaperTyp, -1);
    EXPECT_EQ(rig.Page()->strPaperTyp, "");
}

TEST(Model1Page, HiddenBrokenNozzleControlsAndFixedBottomMarginList)
{
    Model1 rig;
    rig.Open("1440x720", 0);
    for (int id : {1014, 1004, 1012}) EXPECT_FALSE(rig.Visible(id)) << id;
    EXPECT_EQ(rig.Items(kBottom), (Strings{"Standard", "Max", "Borderless"}));
}

TEST(Model1Page, PlatenGapFieldUpDownAndItsDirectionCheckBox)
{
    Model1 rig;
    rig.Open("1440x720", 0, 0);
    auto* spin = dynamic_cast<CSpinButtonCtrl*>(rig.Item(kSpin));
    int lo = -1, hi = -1;
    spin->GetRange(lo, hi);
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 127);
    EXPECT_EQ(rig.Text(kGap), "0");
    EXPECT_FALSE(rig.Enabled(kGapBidi)) << "a gap of 0 disables the direction check box";

    // The arrows change the field and the member; the check box waits for the field to lose the focus.
    rig.page->UserSpin(kSpin, 5);
    EXPECT_EQ(rig.Text(kGap), "5");
    EXPECT_EQ(rig.Page()->nPlateGap, 5);
    EXPECT_FALSE(rig.Enabled(kGapBidi));
    rig.page->UserFocus(kGap);
    rig.page->UserFocus(kBidi);
    EXPECT_TRUE(rig.Enabled(kGapBidi));

    rig.page->UserSpin(kSpin, -10);
    EXPECT_EQ(rig.Text(kGap), "0");
    EXPECT_TRUE(rig.Enabled(kGapBidi)) << "scrolling to 0 leaves the check box as it was";

    // Typing a value moves the up-down control when the field loses the focus.
    rig.page->UserSetText(kGap, "100");
    rig.page->UserFocus(kBidi);
    EXPECT_EQ(spin->GetPos(), 100);
    EXPECT_EQ(rig.Page()->nPlateGap, 100);
    rig.page->UserSpin(kSpin, 50);
    EXPECT_EQ(rig.Text(kGap), "127");

    rig.page->UserSetText(kGap, "0");
    rig.page->UserFocus(kBidi);
    EXPECT_FALSE(rig.Enabled(kGapBidi));
    EXPECT_EQ(rig.Checked(kGapBidi), 0);
}

TEST(Model1Page, PlatenGapOutsideTheRangeKeepsThePageOpenAndSavesNothing)
{
    Model1 rig;
    rig.Open("1440x720", 0, 10);
    auto* parms = static_cast<CDEFP_1_RPHOTO*>(rig.driver->m_pDevParms);
    for (const char* bad : {"128", "-1", "abc"}) {
        rig.page->UserSetText(kGap, bad);
        EXPECT_FALSE(rig.sheet.PressOK()) << bad;
        ExpectRangeMessages(*rig.page, "Please enter an integer between 0 and 127.");
        EXPECT_EQ(rig.sheet.GetActivePage(), rig.page.get());
        EXPECT_EQ(rig.page->GetFocusId(), kGap);
        EXPECT_EQ(parms->nPlateGap, 10) << "nothing reached the parameters";
    }
    // Leaving the field with a bad value shows the message and the handler goes on.
    rig.page->UserSetText(kGap, "300");
    rig.page->UserFocus(kBidi);
    EXPECT_EQ(rig.page->TakeMessages(), Strings{"Please enter an integer between 0 and 127."});
    EXPECT_EQ(dynamic_cast<CSpinButtonCtrl*>(rig.Item(kSpin))->GetPos(), 127);

    rig.page->UserSetText(kGap, "42");
    EXPECT_TRUE(rig.sheet.PressOK());
    EXPECT_TRUE(rig.page->TakeMessages().empty());
    EXPECT_EQ(parms->nPlateGap, 42);
}

TEST(Model1Page, ConfirmingWithoutADriverSavesNothing)
{
    CEpsonRPhoto2000Page page(nullptr);
    page.SetHostPrintMethod("720x720");
    CPropertySheet sheet;
    sheet.AddPage(&page);
    ASSERT_TRUE(sheet.SetActivePage(0));
    EXPECT_TRUE(sheet.PressOK());
    EXPECT_EQ(page.strPaperTyp, "Plain Paper");
}

}  // namespace
