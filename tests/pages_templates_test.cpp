// The dialog resources: both templates in every language have every control of the pages with
// its kind, the English texts and lists exactly, translated texts everywhere, and lists as long
// as the English ones.
#include <map>
#include <set>

#include <gtest/gtest.h>

#include "host/DialogTemplate.h"

namespace {
using Strings = std::vector<std::string>;

struct Expected {
    int id;  // 0: a control without an id, found by its English text
    ControlKind kind;
    const char* text;
};

const Expected k22047[] = {
    {0, ControlKind::GroupBox, "Black Ink Mode:"}, {1107, ControlKind::Radio, "Photo"},
    {1108, ControlKind::Radio, "Matte"},          {0, ControlKind::Label, "Media:"},
    {1096, ControlKind::ComboBox, ""},            {0, ControlKind::Label, "Quality:"},
    {1000, ControlKind::ComboBox, ""},            {0, ControlKind::GroupBox, "Source:"},
    {1097, ControlKind::Radio, "ASF"},            {1104, ControlKind::Radio, "Roll"},
    {1105, ControlKind::Radio, "Rear"},           {1098, ControlKind::Radio, "Board"},
    {1001, ControlKind::Radio, "CD-R"},           {0, ControlKind::GroupBox, "User Media"},
    {1045, ControlKind::Label, "Bottom Margin Setting:"}, {1003, ControlKind::ComboBox, ""},
    {0, ControlKind::Label, "Platen Gap:"},       {1109, ControlKind::Edit, ""},
    {1110, ControlKind::UpDown, ""},              {1106, ControlKind::CheckBox, "Bidirectional"},
    {1100, ControlKind::CheckBox, "Bidirectional"}, {1103, ControlKind::CheckBox, "Duplex Print"},
    {1101, ControlKind::CheckBox, "Move head full media width"}, {1014, ControlKind::GroupBox, "Broken nozzles"},
    {1004, ControlKind::CheckBox, "Simulate broken nozzles"}, {1005, ControlKind::CheckBox, "Enable Weave"},
    {1012, ControlKind::ListBox, ""},
};

const Expected k22048[] = {
    {0, ControlKind::Label, "Material:"},          {1096, ControlKind::ComboBox, ""},
    {1043, ControlKind::Label, "Ink Type:"},       {1105, ControlKind::ComboBox, ""},
    {0, ControlKind::GroupBox, "Source:"},         {1097, ControlKind::Radio, "ASF"},
    {1098, ControlKind::Radio, "Board"},           {1099, ControlKind::Radio, "Fine Art"},
    {1102, ControlKind::Radio, "Roll"},            {1332, ControlKind::CheckBox, "Cut flag"},
    {1103, ControlKind::CheckBox, "Duplex Print"}, {0, ControlKind::Label, "Directional mode"},
    {1002, ControlKind::ComboBox, ""},             {0, ControlKind::GroupBox, "User Media"},
    {1045, ControlKind::Label, "Platen Gap:"},     {1094, ControlKind::ComboBox, ""},
    {1055, ControlKind::Label, "Thickness:"},      {1095, ControlKind::ComboBox, ""},
    {1047, ControlKind::Label, "Dry Time per Scan:"}, {1104, ControlKind::Edit, ""},
    {1067, ControlKind::Label, "mSec 0 - 10000"},  {1101, ControlKind::CheckBox, "Move head full media width"},
    {1014, ControlKind::GroupBox, "Broken nozzles"}, {1004, ControlKind::CheckBox, "Simulate broken nozzles"},
    {1005, ControlKind::CheckBox, "Enable Weave"}, {1012, ControlKind::ListBox, ""},
};


DialogTemplate Load(unsigned id, const std::string& language)
{
    DialogTemplate t;
    std::string error;
    EXPECT_TRUE(LoadDialogTemplate(id, language, &t, &error)) << error;
    return t;
}

const DialogControlTemplate* FindControl(const DialogTemplate& t, const Expected& e, const DialogTemplate& english)
{
    if (e.id) {
        for (const auto& c : t.controls)
            if (c.id == e.id) return &c;
        return nullptr;
    }
    // Controls without an id sit at the same place in every language: find it in English.
    for (size_t i = 0; i < english.controls.size(); ++i)
        if (english.controls[i].id == 0 && english.controls[i].text == e.text && i < t.controls.size())
            return &t.controls[i];
    return nullptr;
}

void CheckTemplate(unsigned id, const Expected* expected, size_t count)
{
    const DialogTemplate english = Load(id, "en");
    EXPECT_EQ(english.caption, "Device Options");
    for (size_t i = 0; i < count; ++i) {
        const DialogControlTemplate* c = FindControl(english, expected[i], english);
        ASSERT_NE(c, nullptr) << id << ": " << expected[i].id << " " << expected[i].text;
        EXPECT_EQ(c->kind, expected[i].kind) << expected[i].id << " " << expected[i].text;
        EXPECT_EQ(c->text, expected[i].text) << expected[i].id;
    }
    ASSERT_EQ(english.controls.size(), count) << "no control beyond those the page uses";

    for (const std::string& language : DialogLanguages()) {
        const DialogTemplate t = Load(id, language);
        EXPECT_EQ(t.id, id);
        EXPECT_FALSE(t.caption.empty()) << language;
        ASSERT_EQ(t.controls.size(), english.controls.size()) << language;
        for (size_t i = 0; i < t.controls.size(); ++i) {
            const auto& c = t.controls[i];
            const auto& en = english.controls[i];
            EXPECT_EQ(c.id, en.id) << language << " control " << i;
            EXPECT_EQ(c.kind, en.kind) << language << " " << c.id;
            EXPECT_EQ(c.group, en.group) << language << " " << c.id;
            EXPECT_EQ(c.text.empty(), en.text.empty()) << language << " " << c.id << " " << en.text;
            EXPECT_EQ(c.items.size(), en.items.size()) << language << " " << c.id;
        }
    }
}

TEST(DialogTemplates, Model1DialogHasEveryControlInEveryLanguage) { CheckTemplate(22047, k22047, std::size(k22047)); }
TEST(DialogTemplates, Model2DialogHasEveryControlInEveryLanguage) { CheckTemplate(22048, k22048, std::size(k22048)); }

TEST(DialogTemplates, EnglishListContents)
{
    auto items = [](const DialogTemplate& t, int id) {
        for (const auto& c : t.controls)
            if (c.id == id) return c.items;
        return Strings{"missing"};
    };
    const DialogTemplate m1 = Load(22047, "en");
    EXPECT_EQ(items(m1, 1003), (Strings{"Standard", "Max", "Borderless"}));
    EXPECT_EQ(items(m1, 1000), (Strings{"Economy", "Normal", "Photo", "Best Photo", "Photo RPM"}));
    EXPECT_EQ(items(m1, 1096).size(), 14u);
    const DialogTemplate m2 = Load(22048, "en");
    EXPECT_TRUE(items(m2, 1096).empty()) << "the page fills the material list";
    EXPECT_EQ(items(m2, 1105), (Strings{"Printer Settings", "Photo", "Matte"}));
    EXPECT_EQ(items(m2, 1002), (Strings{"Bi-directional", "Unidirectional 0 to 80", "Auto directional control",
                                        "Unidirectional 80 to 0"}));
    EXPECT_EQ(items(m2, 1094), (Strings{"Default", "Scrape Reduction", "Bi-D Adjust PG--", "Bi-D Adjust PG-",
                                        "Bi-D Adjust PGpty"}));
    Strings thickness = {"Default", "0.15 mm", "0.1 mm", "0.2 mm"};
    for (int tenths = 3; tenths <= 16; ++tenths)
        thickness.push_back(std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " mm");
    thickness.push_back("");
    EXPECT_EQ(items(m2, 1095), thickness);
    EXPECT_EQ(thickness.size(), 19u);
}

TEST(DialogTemplates, MediaNamesStayUntranslatedAndLabelsAreTranslated)
{
    const DialogTemplate en = Load(22047, "en");
    for (const std::string& language : DialogLanguages()) {
        if (language == "en") continue;
        const DialogTemplate t = Load(22047, language);
        EXPECT_NE(t.caption, en.caption) << language;
        for (size_t i = 0; i < t.controls.size(); ++i) {
            if (t.controls[i].id == 1096) {
                EXPECT_EQ(t.controls[i].items, en.controls[i].items) << language;
            }
            if (t.controls[i].id == 1101) {
                EXPECT_NE(t.controls[i].text, en.controls[i].text) << language;
            }
        }
    }
}

TEST(DialogTemplates, InkModeFrameComesRightBeforeThePhotoRadioAndRadioGroupsAreWhole)
{
    for (const std::string& language : DialogLanguages()) {
        const DialogTemplate t = Load(22047, language);
        for (size_t i = 0; i < t.controls.size(); ++i)
            if (t.controls[i].id == 1107) {
                ASSERT_GT(i, 0u);
                EXPECT_EQ(t.controls[i - 1].kind, ControlKind::GroupBox) << language;
                EXPECT_TRUE(t.controls[i].group);
            }
    }
    // Each source group: its radios follow one another, the first starting the group.
    const std::pair<unsigned, Strings> groups[] = {{22047, {"1097", "1104", "1105", "1098", "1001"}},
                                                   {22048, {"1097", "1098", "1099", "1102"}}};
    for (const auto& [id, radios] : groups) {
        const DialogTemplate t = Load(id, "en");
        Strings found;
        bool in = false;
        for (const auto& c : t.controls) {
            if (c.id == 1097) in = true;
            else if (in && (c.group || c.kind != ControlKind::Radio)) break;
            if (in) found.push_back(std::to_string(c.id));
        }
        EXPECT_EQ(found, radios) << id;
    }
}

TEST(DialogTemplates, UnreadableTemplateGivesAOneLineMessageNamingTheFile)
{
    DialogTemplate t;
    std::string error;
    EXPECT_FALSE(LoadDialogTemplateFile("no-such-dir/dialog-1.json", "en", &t, &error));
    EXPECT_NE(error.find("no-such-dir/dialog-1.json"), std::string::npos) << error;
    EXPECT_FALSE(LoadDialogTemplate(22047, "xx", &t, &error)) << "a language the resource lacks";
    EXPECT_NE(error.find("\"xx\""), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos);
}

}  // namespace
