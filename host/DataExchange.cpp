#include "host/DataExchange.h"

#include <cctype>
#include <climits>
#include <cstdio>

#include "host/Dialog.h"

CWnd* CDataExchange::PrepareCtrl(int nIDC)
{
    m_idLastControl = nIDC;
    m_bEditLastControl = false;
    return m_pDlgWnd->GetDlgItem(nIDC);
}

CWnd* CDataExchange::PrepareEditCtrl(int nIDC)
{
    CWnd* w = PrepareCtrl(nIDC);
    m_bEditLastControl = true;
    m_idLastEditControl = nIDC;
    return w;
}

void CDataExchange::Fail()
{
    const int focus = m_idLastEditControl ? m_idLastEditControl : m_idLastControl;
    if (m_bSaveAndValidate && focus) m_pDlgWnd->GotoDlgCtrl(focus);
    throw CUserException{};
}

bool ParseDialogInt(const CString& text, int* value)
{
    const std::string& s = text.str();
    size_t i = 0;
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
    const size_t digits = i;
    long long v = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
        v = v * 10 + (s[i++] - '0');
        if (v > static_cast<long long>(INT_MAX) + 1) return false;
    }
    if (i == digits) return false;
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    if (i != s.size()) return false;
    if (negative) v = -v;
    if (v > INT_MAX || v < INT_MIN) return false;
    *value = static_cast<int>(v);
    return true;
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    auto* combo = dynamic_cast<CComboBox*>(pDX->PrepareCtrl(nIDC));
    if (!combo) return;
    if (pDX->m_bSaveAndValidate)
        index = combo->GetCurSel();
    else
        combo->SetCurSel(index);
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value)
{
    CWnd* first = pDX->PrepareCtrl(nIDC);
    if (!first) return;
    if (pDX->m_bSaveAndValidate) value = -1;
    // The group runs from the first radio to the next control that starts a group or is no radio.
    int position = 0;
    bool inGroup = false;
    for (const auto& w : pDX->m_pDlgWnd->Controls()) {
        if (w.get() == first) inGroup = true;
        else if (inGroup && (w->StartsGroup() || w->GetKind() != ControlKind::Radio)) break;
        if (!inGroup) continue;
        auto* radio = static_cast<CButton*>(w.get());
        if (pDX->m_bSaveAndValidate) {
            if (radio->GetCheck()) value = position;
        } else {
            radio->SetCheck(position == value ? 1 : 0);
        }
        ++position;
    }
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    auto* button = dynamic_cast<CButton*>(pDX->PrepareCtrl(nIDC));
    if (!button) return;
    if (pDX->m_bSaveAndValidate)
        value = button->GetCheck();
    else
        button->SetCheck(value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    CWnd* field = pDX->PrepareEditCtrl(nIDC);
    if (!field) return;
    if (pDX->m_bSaveAndValidate) {
        int parsed = 0;
        pDX->m_bLastIntUnreadable = !ParseDialogInt(field->GetWindowText(), &parsed);
        if (!pDX->m_bLastIntUnreadable) value = parsed;
    } else {
        CString text;
        text.Format("%d", value);
        field->SetWindowText(text);
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    CWnd* field = pDX->PrepareEditCtrl(nIDC);
    if (!field) return;
    if (pDX->m_bSaveAndValidate)
        value = field->GetWindowText();
    else
        field->SetWindowText(value);
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal)
{
    if (!pDX->m_bSaveAndValidate) return;
    const bool unreadable = pDX->m_bLastIntUnreadable;
    pDX->m_bLastIntUnreadable = false;
    if (!unreadable && value >= minVal && value <= maxVal) return;
    char text[96];
    std::snprintf(text, sizeof text, "Please enter an integer between %d and %d.", minVal, maxVal);
    pDX->m_pDlgWnd->MessageBox(text);
    pDX->Fail();
}

void DDX_CBStringExactX(CDataExchange* pDX, int nIDC, CString& value)
{
    auto* combo = dynamic_cast<CComboBox*>(pDX->PrepareCtrl(nIDC));
    if (!combo) return;
    if (pDX->m_bSaveAndValidate) {
        combo->GetLBText(combo->GetCurSel(), value);
        return;
    }
    const auto& items = combo->Items();
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i] == value.str()) {
            combo->SetCurSel(static_cast<int>(i));
            return;
        }
}
