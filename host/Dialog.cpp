#include "host/Dialog.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

CDialog::~CDialog() = default;

namespace {
std::unique_ptr<CWnd> MakeControl(const DialogControlTemplate& t)
{
    std::unique_ptr<CWnd> w;
    switch (t.kind) {
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
    case ControlKind::Radio: w = std::make_unique<CButton>(t.id, t.kind); break;
    case ControlKind::ComboBox: {
        auto combo = std::make_unique<CComboBox>(t.id, t.kind);
        for (const std::string& item : t.items) combo->AddString(item);
        w = std::move(combo);
        break;
    }
    case ControlKind::ListBox: {
        auto list = std::make_unique<CListBox>(t.id, t.kind);
        for (const std::string& item : t.items) list->AddString(item);
        w = std::move(list);
        break;
    }
    case ControlKind::Edit: w = std::make_unique<CEdit>(t.id, t.kind); break;
    case ControlKind::UpDown: {
        auto spin = std::make_unique<CSpinButtonCtrl>(t.id, t.kind);
        spin->SetBuddyId(t.buddy);
        w = std::move(spin);
        break;
    }
    default: w = std::make_unique<CStatic>(t.id, t.kind); break;
    }
    w->SetWindowText(t.text);
    w->SetStartsGroup(t.group);
    return w;
}

bool TakesFocus(ControlKind kind)
{
    return kind != ControlKind::Label && kind != ControlKind::GroupBox && kind != ControlKind::UpDown &&
           kind != ControlKind::Window;
}
}  // namespace

int CDialog::CreateFromTemplate(const DialogTemplate& tmpl)
{
    if (m_bCreated || tmpl.id != m_nIDTemplate) return 0;
    m_template = tmpl;
    m_controls.clear();
    for (const DialogControlTemplate& t : tmpl.controls) m_controls.push_back(MakeControl(t));
    SetWindowText(tmpl.caption);
    m_bCreated = true;
    m_nFocusId = 0;
    if (OnInitDialog()) {
        for (const auto& w : m_controls)
            if (w->GetDlgCtrlID() && TakesFocus(w->GetKind()) && Usable(w.get())) {
                m_nFocusId = w->GetDlgCtrlID();
                break;
            }
    }
    return 1;
}

CWnd* CDialog::GetDlgItem(int nID) const
{
    if (nID == 0) return nullptr;
    for (const auto& w : m_controls)
        if (w->GetDlgCtrlID() == nID) return w.get();
    return nullptr;
}

CWnd* CDialog::GetPrevSibling(const CWnd* wnd) const
{
    for (size_t i = 1; i < m_controls.size(); ++i)
        if (m_controls[i].get() == wnd) return m_controls[i - 1].get();
    return nullptr;
}

int CDialog::UpdateData(int bSaveAndValidate)
{
    if (!m_bCreated) return 0;
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const CUserException&) {
        return 0;
    }
    return 1;
}

int CDialog::OnInitDialog()
{
    UpdateData(0);
    return 1;
}

std::vector<std::string> CDialog::TakeMessages()
{
    std::vector<std::string> out;
    out.swap(m_messages);
    return out;
}

bool CDialog::UserFocus(int id)
{
    CWnd* w = GetDlgItem(id);
    if (!Usable(w) || !TakesFocus(w->GetKind())) return false;
    if (m_nFocusId == id) return true;
    const int previous = m_nFocusId;
    m_nFocusId = id;
    if (previous) OnNotify(previous, Notify::KillFocus);
    return true;
}

bool CDialog::UserSelect(int id, int index)
{
    auto* combo = dynamic_cast<CComboBox*>(GetDlgItem(id));
    if (!Usable(combo) || index < 0 || index >= combo->GetCount()) return false;
    UserFocus(id);
    combo->SetCurSel(index);
    OnNotify(id, Notify::SelChange);
    return true;
}

bool CDialog::UserClick(int id)
{
    auto* button = dynamic_cast<CButton*>(GetDlgItem(id));
    if (!Usable(button)) return false;
    UserFocus(id);
    if (button->GetKind() == ControlKind::CheckBox) {
        button->SetCheck(button->GetCheck() ? 0 : 1);
    } else if (button->GetKind() == ControlKind::Radio) {
        // An automatic radio: checking it unchecks the others of its group.
        size_t at = 0;
        while (m_controls[at].get() != button) ++at;
        size_t first = at;
        while (first > 0 && !m_controls[first]->StartsGroup() && m_controls[first - 1]->GetKind() == ControlKind::Radio)
            --first;
        for (size_t i = first; i < m_controls.size(); ++i) {
            if (i > first && (m_controls[i]->StartsGroup() || m_controls[i]->GetKind() != ControlKind::Radio)) break;
            static_cast<CButton*>(m_controls[i].get())->SetCheck(m_controls[i].get() == button ? 1 : 0);
        }
    }
    OnNotify(id, Notify::Clicked);
    return true;
}

bool CDialog::UserSetText(int id, const CString& text)
{
    CWnd* w = GetDlgItem(id);
    if (!Usable(w) || w->GetKind() != ControlKind::Edit) return false;
    UserFocus(id);
    w->SetWindowText(text);
    return true;
}

bool CDialog::UserSpin(int id, int delta)
{
    auto* spin = dynamic_cast<CSpinButtonCtrl*>(GetDlgItem(id));
    if (!Usable(spin)) return false;
    spin->SetPos(spin->GetPos() + delta);
    OnVScroll(SB_THUMBPOSITION, spin->GetPos(), spin);
    return true;
}

bool CDialog::UserListSelect(int id, int index, bool selected)
{
    auto* list = dynamic_cast<CListBox*>(GetDlgItem(id));
    if (!Usable(list) || index < 0 || index >= list->GetCount()) return false;
    UserFocus(id);
    list->SetSel(index, selected ? 1 : 0);
    OnNotify(id, Notify::SelChange);
    return true;
}
