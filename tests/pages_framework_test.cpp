// The page framework on its own: the drop-down list's select-string search, the data exchange
// and the range check, radio groups, the up-down control and focus notifications.
#include <gtest/gtest.h>

#include "host/PropertyPage.h"

namespace {

TEST(PageFramework, SelectStringIsACaseInsensitivePrefixSearchThatWrapsAround)
{
    CComboBox combo(1, ControlKind::ComboBox);
    for (const char* s : {"Plain Paper", "Photo Paper Glossy", "Photo Quality", "plain"}) combo.AddString(s);
    struct Case {
        int start;
        const char* text;
        int found;
    };
    const Case cases[] = {
        {0, "plain", 3},            // starts after position 0, so the later "plain" wins
        {-1, "plain", 0},           // -1 searches the whole list from the top
        {1, "PHOTO", 2},            // case does not matter
        {2, "photo", 1},            // wraps round past the end
        {0, "Plain Paper", 0},      // wraps round to the start position itself
        {0, "", 1},                 // an empty text matches the first entry searched
        {0, "Photo Paper Glossy X", CComboBox::CB_ERR},
    };
    for (const Case& c : cases) {
        combo.SetCurSel(2);
        EXPECT_EQ(combo.SelectString(c.start, c.text), c.found) << c.start << " " << c.text;
        EXPECT_EQ(combo.GetCurSel(), c.found == CComboBox::CB_ERR ? 2 : c.found) << "selection stays on a miss";
    }
    CComboBox empty(2, ControlKind::ComboBox);
    EXPECT_EQ(empty.SelectString(0, "Plain Paper"), CComboBox::CB_ERR);
    EXPECT_EQ(empty.GetCurSel(), CComboBox::CB_ERR);
}

TEST(PageFramework, IntegerFieldsReadWholeDecimalNumbers)
{
    struct Case {
        const char* text;
        bool ok;
        int value;
    };
    const Case cases[] = {{" 42 ", true, 42}, {"-5", true, -5},   {"+7", true, 7},
                          {"", false, 0},     {"12a", false, 0}, {"1 2", false, 0}, {"-", false, 0},
                          {"2147483647", true, 2147483647},      {"2147483648", false, 0}};
    for (const Case& c : cases) {
        int v = 0;
        EXPECT_EQ(ParseDialogInt(c.text, &v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
}

// A small dialog: a radio group of three, a check box, a number field validated to 0..50, an
// up-down control, and a drop-down list.
DialogTemplate SmallTemplate()
{
    DialogTemplate t;
    t.id = 500;
    t.caption = "Small";
    auto add = [&t](int id, ControlKind kind, bool group, std::vector<std::string> items = {}) {
        DialogControlTemplate c;
        c.id = id;
        c.kind = kind;
        c.group = group;
        c.items = std::move(items);
        t.controls.push_back(c);
    };
    add(0, ControlKind::GroupBox, false);
    add(10, ControlKind::Radio, true);
    add(11, ControlKind::Radio, false);
    add(12, ControlKind::Radio, false);
    add(20, ControlKind::CheckBox, true);
    add(30, ControlKind::Edit, true);
    add(31, ControlKind::UpDown, false);
    add(40, ControlKind::ComboBox, true, {"one", "two", "three"});
    return t;
}

class SmallDialog : public CPropertyPage {
public:
    SmallDialog() : CPropertyPage(500) {}
    int radio = 1;
    int check = 1;
    int number = 7;
    int pick = 2;
    int afterNumber = 0;  // exchanged after the range check: stays when the check fails
    std::vector<std::string> events;

    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Radio(pDX, 10, radio);
        DDX_Check(pDX, 20, check);
        DDX_Text(pDX, 30, number);
        DDV_MinMaxInt(pDX, number, 0, 50);
        DDX_CBIndex(pDX, 40, pick);
        afterNumber = pDX->m_bSaveAndValidate ? afterNumber + 1 : afterNumber;
    }
    bool OnNotify(int id, Notify code) override
    {
        events.push_back(std::to_string(id) + (code == Notify::KillFocus ? " killfocus" : code == Notify::Clicked ? " clicked" : " selchange"));
        return true;
    }
    void OnVScroll(int code, int pos, CWnd* bar) override { events.push_back("vscroll " + std::to_string(pos)); }
};

TEST(PageFramework, DataExchangeMovesValuesBothWays)
{
    SmallDialog d;
    ASSERT_EQ(d.CreateFromTemplate(SmallTemplate()), 1);
    EXPECT_EQ(static_cast<CButton*>(d.GetDlgItem(10))->GetCheck(), 0);
    EXPECT_EQ(static_cast<CButton*>(d.GetDlgItem(11))->GetCheck(), 1);
    EXPECT_EQ(static_cast<CButton*>(d.GetDlgItem(20))->GetCheck(), 1);
    EXPECT_EQ(d.GetDlgItem(30)->GetWindowText(), "7");
    EXPECT_EQ(static_cast<CComboBox*>(d.GetDlgItem(40))->GetCurSel(), 2);

    EXPECT_TRUE(d.UserClick(12));
    EXPECT_EQ(static_cast<CButton*>(d.GetDlgItem(11))->GetCheck(), 0) << "checking a radio unchecks its group";
    EXPECT_TRUE(d.UserClick(20));
    EXPECT_TRUE(d.UserSetText(30, "33"));
    EXPECT_TRUE(d.UserSelect(40, 0));
    EXPECT_EQ(d.UpdateData(1), 1);
    EXPECT_EQ(d.radio, 2);
    EXPECT_EQ(d.check, 0);
    EXPECT_EQ(d.number, 33);
    EXPECT_EQ(d.pick, 0);
    EXPECT_TRUE(d.TakeMessages().empty());
}

TEST(PageFramework, RangeCheckFailureShowsThePlatformMessageAndStopsTheExchange)
{
    for (const char* bad : {"51", "-1", "abc", ""}) {
        SmallDialog d;
        d.CreateFromTemplate(SmallTemplate());
        d.UserSelect(40, 1);
        d.UserSetText(30, bad);
        d.afterNumber = 0;
        EXPECT_EQ(d.OnKillActive(), 0) << bad << ": the page stays active";
        EXPECT_EQ(d.TakeMessages(), std::vector<std::string>{"Please enter an integer between 0 and 50."}) << bad;
        EXPECT_EQ(d.GetFocusId(), 30) << "the focus goes back to the field";
        EXPECT_EQ(d.afterNumber, 0) << "the exchange stopped at the check";
        EXPECT_EQ(d.pick, 2);
    }
}

TEST(PageFramework, UserActionsNotifyInTheOrderThePlatformSendsThem)
{
    SmallDialog d;
    d.CreateFromTemplate(SmallTemplate());
    d.UserFocus(30);
    d.events.clear();
    d.UserClick(20);  // the field loses the focus before the check box reports its click
    d.UserSpin(31, 5);
    d.GetDlgItem(40)->EnableWindow(0);
    EXPECT_FALSE(d.UserSelect(40, 1)) << "a disabled control takes no action";
    d.GetDlgItem(11)->ShowWindow(0);
    EXPECT_FALSE(d.UserClick(11)) << "a hidden control takes no action";
    EXPECT_EQ(d.events, (std::vector<std::string>{"30 killfocus", "20 clicked", "vscroll 5"}));
    EXPECT_EQ(d.GetFocusId(), 20) << "the up-down control does not take the focus";
}

}  // namespace
