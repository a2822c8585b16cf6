#include "host/DialogTemplate.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

namespace {
using nlohmann::json;

struct KindName {
    ControlKind kind;
    const char* name;
};
const KindName kKindNames[] = {
    {ControlKind::Label, "label"},     {ControlKind::GroupBox, "group"}, {ControlKind::PushButton, "button"},
    {ControlKind::CheckBox, "check"},  {ControlKind::Radio, "radio"},    {ControlKind::ComboBox, "combo"},
    {ControlKind::Edit, "edit"},       {ControlKind::ListBox, "list"},   {ControlKind::UpDown, "updown"},
};

struct TemplateError {
    std::string message;
};

// A text in the template's language: either one text for every language or one per language.
std::string Localised(const json& node, const std::string& language, const std::string& where)
{
    if (node.is_string()) return node.get<std::string>();
    if (!node.is_object()) throw TemplateError{where + ": expected a text or an object of texts by language"};
    auto it = node.find(language);
    if (it == node.end() || !it->is_string()) throw TemplateError{where + ": no \"" + language + "\" text"};
    return it->get<std::string>();
}

std::vector<std::string> LocalisedList(const json& node, const std::string& language, const std::string& where)
{
    const json* list = &node;
    if (node.is_object()) {
        auto it = node.find(language);
        if (it == node.end()) throw TemplateError{where + ": no \"" + language + "\" list"};
        list = &*it;
    }
    if (!list->is_array()) throw TemplateError{where + ": expected a list of texts"};
    std::vector<std::string> items;
    for (size_t i = 0; i < list->size(); ++i) {
        const json& item = (*list)[i];
        if (!item.is_string()) throw TemplateError{where + "[" + std::to_string(i) + "]: expected a text"};
        items.push_back(item.get<std::string>());
    }
    return items;
}

int IntField(const json& node, const char* key, const std::string& where, int fallback)
{
    auto it = node.find(key);
    if (it == node.end()) return fallback;
    if (!it->is_number_integer()) throw TemplateError{where + "." + key + ": expected an integer"};
    return it->get<int>();
}

ControlKind KindFromName(const std::string& name, const std::string& where)
{
    for (const KindName& k : kKindNames)
        if (name == k.name) return k.kind;
    throw TemplateError{where + ".kind: unknown control kind \"" + name + "\""};
}

void ReadTemplate(const json& root, const std::string& language, DialogTemplate* out)
{
    if (!root.is_object()) throw TemplateError{"top level: expected an object"};
    DialogTemplate t;
    t.id = static_cast<unsigned int>(IntField(root, "id", "top level", 0));
    t.language = language;
    if (!root.contains("caption")) throw TemplateError{"caption: missing"};
    t.caption = Localised(root["caption"], language, "caption");
    t.width = IntField(root, "width", "top level", 0);
    t.height = IntField(root, "height", "top level", 0);
    auto controls = root.find("controls");
    if (controls == root.end() || !controls->is_array()) throw TemplateError{"controls: expected a list"};
    for (size_t i = 0; i < controls->size(); ++i) {
        const json& c = (*controls)[i];
        const std::string where = "controls[" + std::to_string(i) + "]";
        if (!c.is_object()) throw TemplateError{where + ": expected an object"};
        DialogControlTemplate ct;
        ct.id = IntField(c, "id", where, 0);
        if (!c.contains("kind") || !c["kind"].is_string()) throw TemplateError{where + ".kind: missing"};
        ct.kind = KindFromName(c["kind"].get<std::string>(), where);
        ct.group = c.value("group", false);
        ct.multiSelect = c.value("multiSelect", false);
        ct.x = IntField(c, "x", where, 0);
        ct.y = IntField(c, "y", where, 0);
        ct.w = IntField(c, "w", where, 0);
        ct.h = IntField(c, "h", where, 0);
        ct.buddy = IntField(c, "buddy", where, 0);
        if (c.contains("text")) ct.text = Localised(c["text"], language, where + ".text");
        if (c.contains("items")) ct.items = LocalisedList(c["items"], language, where + ".items");
        t.controls.push_back(std::move(ct));
    }
    *out = std::move(t);
}
}  // namespace

std::string ResourceDirectory()
{
    if (const char* dir = std::getenv("RPHOTO_RES_DIR"); dir && *dir) return dir;
    return std::string(RPHOTO_SOURCE_DIR) + "/res";
}

const std::vector<std::string>& DialogLanguages()
{
    static const std::vector<std::string> languages = {"en", "de", "fr", "it", "es", "nl",
                                                       "pt", "pl", "sv", "ja", "zh", "ko"};
    return languages;
}

const char* ControlKindName(ControlKind kind)
{
    for (const KindName& k : kKindNames)
        if (k.kind == kind) return k.name;
    return "window";
}

bool LoadDialogTemplateFile(const std::string& path, const std::string& language, DialogTemplate* out,
                            std::string* error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error) *error = path + ": cannot be read";
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    try {
        ReadTemplate(json::parse(text.str()), language, out);
    } catch (const json::exception& e) {
        if (error) *error = path + ": " + e.what();
        return false;
    } catch (const TemplateError& e) {
        if (error) *error = path + ": " + e.message;
        return false;
    }
    return true;
}

bool LoadDialogTemplate(unsigned int id, const std::string& language, DialogTemplate* out, std::string* error)
{
    const std::string path = ResourceDirectory() + "/dialog-" + std::to_string(id) + ".json";
    if (!LoadDialogTemplateFile(path, language, out, error)) return false;
    if (out->id != id) {
        if (error) *error = path + ": id: " + std::to_string(out->id) + " where " + std::to_string(id) + " was expected";
        return false;
    }
    return true;
}
