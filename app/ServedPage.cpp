#include "app/ServedPage.h"

#include "app/Commands.h"
#include "app/SettingsFile.h"
#include "host/DevParms.h"

using nlohmann::json;

ServedPage::ServedPage(CPrintEnv& env, DriverPtr driver, CPrintEnvPropertyPage* page,
                         const std::string& language, const std::string& settingsPath, const std::string& modelName)
    : m_env(env), m_driver(std::move(driver)), m_page(page), m_sheet(language), m_settingsPath(settingsPath),
      m_modelName(modelName)
{
    m_sheet.AddPage(m_page.get());
    if (CPrinterDriverBase* base = AsDriverBase(m_driver.get()); base && base->m_pDevParms)
        base->m_pDevParms->Save(&m_env);
    m_opened = m_env;
}

// The page goes before the driver: the host destroys its pages first.
ServedPage::~ServedPage() { m_page.reset(); }

void ServedPage::Open()
{
    std::string error;
    if (!m_sheet.SetActivePage(0, &error)) throw CommandError{error};
}

namespace {
json ControlState(const CDialog& dialog, const CWnd& w, const DialogControlTemplate& t, size_t index)
{
    json c = {{"index", index},
              {"id", w.GetDlgCtrlID()},
              {"kind", ControlKindName(w.GetKind())},
              {"x", t.x},
              {"y", t.y},
              {"w", t.w},
              {"h", t.h},
              {"text", w.GetWindowText().str()},
              {"enabled", w.IsWindowEnabled() != 0},
              {"visible", w.IsWindowVisible() != 0},
              {"focused", w.GetDlgCtrlID() != 0 && dialog.GetFocusId() == w.GetDlgCtrlID()}};
    if (auto* b = dynamic_cast<const CButton*>(&w)) c["checked"] = b->GetCheck() != 0;
    if (auto* combo = dynamic_cast<const CComboBox*>(&w)) {
        c["items"] = combo->Items();
        c["selected"] = combo->GetCurSel();
    }
    if (auto* list = dynamic_cast<const CListBox*>(&w)) {
        c["items"] = list->Items();
        json selected = json::array();
        for (int i = 0; i < list->GetCount(); ++i)
            if (list->GetSel(i) > 0) selected.push_back(i);
        c["selectedItems"] = selected;
        c["multiSelect"] = t.multiSelect;
    }
    if (auto* spin = dynamic_cast<const CSpinButtonCtrl*>(&w)) {
        int lo = 0, hi = 0;
        spin->GetRange(lo, hi);
        c["pos"] = spin->GetPos();
        c["min"] = lo;
        c["max"] = hi;
        c["buddy"] = spin->GetBuddyId();
    }
    return c;
}

const char* StatusName(ServedPage::Status s)
{
    switch (s) {
    case ServedPage::Status::Saved: return "saved";
    case ServedPage::Status::Cancelled: return "cancelled";
    default: return "open";
    }
}
}  // namespace

json ServedPage::State()
{
    const DialogTemplate& t = m_page->GetTemplate();
    json controls = json::array();
    const auto& wnds = m_page->Controls();
    for (size_t i = 0; i < wnds.size() && i < t.controls.size(); ++i)
        controls.push_back(ControlState(*m_page, *wnds[i], t.controls[i], i));
    return {{"template", t.id},
            {"model", m_modelName},
            {"language", t.language},
            {"caption", t.caption},
            {"width", t.width},
            {"height", t.height},
            {"printMethod", m_page->QueryPrintMethod().str()},
            {"status", StatusName(m_status)},
            {"settingsFile", m_settingsPath},
            {"messages", m_page->TakeMessages()},
            {"controls", controls}};
}

bool ServedPage::Act(const json& action, std::string* error)
{
    if (m_status != Status::Open) {
        *error = "the page is closed";
        return false;
    }
    if (!action.is_object() || !action.contains("id") || !action["id"].is_number_integer() ||
        !action.contains("action") || !action["action"].is_string()) {
        *error = "expected {\"id\": number, \"action\": text}";
        return false;
    }
    const int id = action["id"].get<int>();
    const std::string what = action["action"].get<std::string>();
    auto intField = [&](const char* key, int* out) {
        if (!action.contains(key) || !action[key].is_number_integer()) {
            *error = std::string("action \"") + what + "\" needs an integer \"" + key + "\"";
            return false;
        }
        *out = action[key].get<int>();
        return true;
    };
    bool done = false;
    int n = 0;
    if (what == "select") {
        if (!intField("index", &n)) return false;
        done = m_page->UserSelect(id, n);
    } else if (what == "click") {
        done = m_page->UserClick(id);
    } else if (what == "focus") {
        done = m_page->UserFocus(id);
    } else if (what == "text") {
        if (!action.contains("text") || !action["text"].is_string()) {
            *error = "action \"text\" needs a text \"text\"";
            return false;
        }
        done = m_page->UserSetText(id, action["text"].get<std::string>());
    } else if (what == "spin") {
        if (!intField("delta", &n)) return false;
        done = m_page->UserSpin(id, n);
    } else if (what == "listselect") {
        if (!intField("index", &n)) return false;
        done = m_page->UserListSelect(id, n, action.value("selected", true));
    } else {
        *error = "unknown action \"" + what + "\"";
        return false;
    }
    if (!done) *error = "control " + std::to_string(id) + " does not take \"" + what + "\" now";
    return done;
}

bool ServedPage::Ok()
{
    if (m_status != Status::Open) return m_status == Status::Saved;
    if (!m_sheet.PressOK()) return false;
    CPrinterDriverBase* base = AsDriverBase(m_driver.get());
    if (base && base->m_pDevParms) base->m_pDevParms->Save(&m_env);
    UpdateSettingsOrThrow(m_settingsPath, DiffStores(m_opened, m_env));
    m_status = Status::Saved;
    return true;
}

void ServedPage::Cancel()
{
    if (m_status != Status::Open) return;
    m_sheet.PressCancel();
    m_status = Status::Cancelled;
}
