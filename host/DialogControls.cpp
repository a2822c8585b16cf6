#include "host/DialogControls.h"

#include <cctype>

const CRuntimeClass CObject::classCObject = {"CObject", nullptr};
IMPLEMENT_DYNAMIC(CCmdTarget, CObject)
IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

namespace {
bool StartsWithNoCase(const std::string& item, const std::string& prefix)
{
    if (prefix.size() > item.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(item[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}
}  // namespace

int CWnd::EnableWindow(int bEnable)
{
    const int wasDisabled = m_bEnabled ? 0 : 1;
    m_bEnabled = bEnable != 0;
    return wasDisabled;
}

int CComboBox::InsertString(int index, const CString& s)
{
    if (index < 0) return AddString(s);
    if (index > GetCount()) return CB_ERR;
    m_items.insert(m_items.begin() + index, s.str());
    if (m_nCurSel >= index) ++m_nCurSel;
    return index;
}

int CComboBox::SetCurSel(int index)
{
    if (index < 0 || index >= GetCount()) {
        m_nCurSel = CB_ERR;
        return CB_ERR;
    }
    m_nCurSel = index;
    return index;
}

void CComboBox::GetLBText(int index, CString& text) const
{
    text = (index >= 0 && index < GetCount()) ? CString(m_items[static_cast<size_t>(index)]) : CString();
}

int CComboBox::FindStringExact(int indexStart, const CString& s) const
{
    const int n = GetCount();
    const int first = (indexStart < 0 || indexStart >= n) ? 0 : indexStart + 1;
    for (int k = 0; k < n; ++k) {
        const int i = (first + k) % n;
        const std::string& item = m_items[static_cast<size_t>(i)];
        if (item.size() == s.str().size() && StartsWithNoCase(item, s.str())) return i;
    }
    return CB_ERR;
}

int CComboBox::SelectString(int indexStart, const CString& s)
{
    const int n = GetCount();
    const int first = (indexStart < 0 || indexStart >= n) ? 0 : indexStart + 1;
    for (int k = 0; k < n; ++k) {
        const int i = (first + k) % n;
        if (StartsWithNoCase(m_items[static_cast<size_t>(i)], s.str())) {
            m_nCurSel = i;
            return i;
        }
    }
    return CB_ERR;
}

int CListBox::AddString(const CString& s)
{
    m_items.push_back(s.str());
    m_selected.push_back(0);
    return GetCount() - 1;
}

int CListBox::SetSel(int index, int bSelect)
{
    if (index == -1) {
        for (char& sel : m_selected) sel = bSelect ? 1 : 0;
        return 0;
    }
    if (index < 0 || index >= GetCount()) return LB_ERR;
    m_selected[static_cast<size_t>(index)] = bSelect ? 1 : 0;
    return 0;
}

int CListBox::GetSel(int index) const
{
    if (index < 0 || index >= GetCount()) return LB_ERR;
    return m_selected[static_cast<size_t>(index)] ? 1 : 0;
}

int CListBox::GetSelCount() const
{
    int n = 0;
    for (char sel : m_selected) n += sel ? 1 : 0;
    return n;
}

int CListBox::GetSelItems(int maxItems, int* items) const
{
    int n = 0;
    for (int i = 0; i < GetCount() && n < maxItems; ++i)
        if (m_selected[static_cast<size_t>(i)]) items[n++] = i;
    return n;
}

int CSpinButtonCtrl::SetPos(int pos)
{
    const int previous = m_nPos;
    const int lo = m_nLower < m_nUpper ? m_nLower : m_nUpper;
    const int hi = m_nLower < m_nUpper ? m_nUpper : m_nLower;
    m_nPos = pos < lo ? lo : (pos > hi ? hi : pos);
    return previous;
}
