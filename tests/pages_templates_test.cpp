// The dialog resources: both templates in every language have the English controls, labels
// translated and media names not, and whole radio groups.
#include <gtest/gtest.h>

#include "host/DialogTemplate.h"

namespace {
using Strings = std::vector<std::string>;

DialogTemplate Load(unsigned id, const std::string& language)
{
    DialogTemplate t;
    std::string error;
    EXPECT_TRUE(LoadDialogTemplate(id, language, &t, &error)) << error;
    return t;
}

// Every language has the English template's controls in the same order, with the same ids,
// kinds and groups, a text where English has one and lists of the same length.
TEST(DialogTemplates, EveryLanguageHasTheEnglishControls)
{
    for (unsigned id : {22047u, 22048u}) {
        const DialogTemplate english = Load(id, "en");
        EXPECT_EQ(english.caption, "Device Options");
        for (const std::string& language : DialogLanguages()) {
            const DialogTemplate t = Load(id, language);
            EXPECT_EQ(t.caption == english.caption, language == "en") << language;
            ASSERT_EQ(t.controls.size(), english.controls.size()) << language;
            for (size_t i = 0; i < t.controls.size(); ++i) {
                const auto& c = t.controls[i];
                const auto& en = english.controls[i];
                const std::string what = language + " " + std::to_string(id) + " control " + std::to_string(c.id);
                EXPECT_EQ(c.id, en.id) << what;
                EXPECT_EQ(c.kind, en.kind) << what;
                EXPECT_EQ(c.group, en.group) << what;
                EXPECT_EQ(c.text.empty(), en.text.empty()) << what;
                EXPECT_EQ(c.items.size(), en.items.size()) << what;
                if (c.id == 1096) {
                    EXPECT_EQ(c.items, en.items) << what << ": media names stay untranslated";
                }
                if (c.id == 1101 && id == 22047u && language != "en") {
                    EXPECT_NE(c.text, en.text) << what << ": labels are translated";
                }
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
