// The platform's windows and dialog controls, without a display: each control is an object with
// an id, a text, enabled and visible states and the state its kind keeps (check, list, position).
#pragma once
#include <cstring>
#include <string>
#include <vector>

#include "host/CString.h"

// The framework's run-time class information: a class name and its base.
struct CRuntimeClass {
    const char* m_lpszClassName;
    const CRuntimeClass* m_pBaseClass;
    bool IsDerivedFrom(const CRuntimeClass* base) const
    {
        for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass)
            if (c == base || std::strcmp(c->m_lpszClassName, base->m_lpszClassName) == 0) return true;
        return false;
    }
};

#define DECLARE_DYNAMIC(cls)                                          \
public:                                                               \
    static const CRuntimeClass class##cls;                            \
    const CRuntimeClass* GetRuntimeClass() const override { return &class##cls; }

#define IMPLEMENT_DYNAMIC(cls, base) const CRuntimeClass cls::class##cls = {#cls, &base::class##base};

class CObject {
public:
    static const CRuntimeClass classCObject;
    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const { return &classCObject; }
    bool IsKindOf(const CRuntimeClass* c) const { return GetRuntimeClass()->IsDerivedFrom(c); }
};

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
};

// What kind of control a window is; the dialog template names them.
enum class ControlKind { Window, Label, GroupBox, PushButton, CheckBox, Radio, ComboBox, Edit, ListBox, UpDown };

class CWnd : public CCmdTarget {
    DECLARE_DYNAMIC(CWnd)

public:
    CWnd() = default;
    CWnd(int id, ControlKind kind) : m_nID(id), m_kind(kind) {}

    int GetDlgCtrlID() const { return m_nID; }
    ControlKind GetKind() const { return m_kind; }
    // Returns the previous enabled state, as the platform's EnableWindow does (nonzero: was disabled).
    int EnableWindow(int bEnable = 1);
    int IsWindowEnabled() const { return m_bEnabled ? 1 : 0; }
    void ShowWindow(int bShow) { m_bVisible = bShow != 0; }
    int IsWindowVisible() const { return m_bVisible ? 1 : 0; }
    void SetWindowText(const CString& text) { m_strText = text; }
    CString GetWindowText() const { return m_strText; }
    // Starts a group in the tab order (a radio group runs to the next control that starts one).
    bool StartsGroup() const { return m_bGroup; }
    void SetStartsGroup(bool group) { m_bGroup = group; }

private:
    int m_nID = 0;
    ControlKind m_kind = ControlKind::Window;
    bool m_bEnabled = true;
    bool m_bVisible = true;
    bool m_bGroup = false;
    CString m_strText;
};

class CStatic : public CWnd {
public:
    using CWnd::CWnd;
};

// Push button, check box or radio button.
class CButton : public CWnd {
public:
    using CWnd::CWnd;
    int GetCheck() const { return m_nCheck; }
    void SetCheck(int check) { m_nCheck = check; }

private:
    int m_nCheck = 0;  // 0 unchecked, 1 checked
};

class CEdit : public CWnd {
public:
    using CWnd::CWnd;
};

// Combo box with a drop-down list: the text is the selected entry's.
class CComboBox : public CWnd {
public:
    static constexpr int CB_ERR = -1;
    using CWnd::CWnd;

    void ResetContent() { m_items.clear(); m_nCurSel = CB_ERR; }
    int AddString(const CString& s) { m_items.push_back(s.str()); return GetCount() - 1; }
    // Inserts at `index` (-1: at the end); returns the position or CB_ERR.
    int InsertString(int index, const CString& s);
    int GetCount() const { return static_cast<int>(m_items.size()); }
    int GetCurSel() const { return m_nCurSel; }
    // Selects `index`; an index outside the list clears the selection and returns CB_ERR.
    int SetCurSel(int index);
    void GetLBText(int index, CString& text) const;
    // Position of the first entry equal to `s` (case-insensitive), searching after `indexStart`.
    int FindStringExact(int indexStart, const CString& s) const;
    // The platform's select-string search: the first entry that begins with `s`, ignoring case,
    // searching from the entry after `indexStart` to the end and then from the top round to
    // `indexStart` (-1: the whole list from the top). Selects it and returns its position; when
    // nothing matches the selection stays and CB_ERR is returned.
    int SelectString(int indexStart, const CString& s);
    const std::vector<std::string>& Items() const { return m_items; }

private:
    std::vector<std::string> m_items;
    int m_nCurSel = CB_ERR;
};

// List box; with multiple selection every entry can be selected on its own.
class CListBox : public CWnd {
public:
    static constexpr int LB_ERR = -1;
    using CWnd::CWnd;

    void ResetContent() { m_items.clear(); m_selected.clear(); }
    int AddString(const CString& s);
    int GetCount() const { return static_cast<int>(m_items.size()); }
    int SetSel(int index, int bSelect = 1);
    int GetSel(int index) const;
    int GetSelCount() const;
    // Writes the positions of up to `maxItems` selected entries, in order; returns how many.
    int GetSelItems(int maxItems, int* items) const;
    const std::vector<std::string>& Items() const { return m_items; }

private:
    std::vector<std::string> m_items;
    std::vector<char> m_selected;
};

// Up-down control: a position within a range, attached to a buddy field.
class CSpinButtonCtrl : public CWnd {
public:
    using CWnd::CWnd;
    void SetRange(int lower, int upper) { m_nLower = lower; m_nUpper = upper; }
    void SetRange32(int lower, int upper) { SetRange(lower, upper); }
    void GetRange(int& lower, int& upper) const { lower = m_nLower; upper = m_nUpper; }
    // Sets the position (clamped into the range); returns the previous one.
    int SetPos(int pos);
    int GetPos() const { return m_nPos; }
    int GetBuddyId() const { return m_nBuddy; }
    void SetBuddyId(int id) { m_nBuddy = id; }

private:
    int m_nLower = 0;
    int m_nUpper = 100;
    int m_nPos = 0;
    int m_nBuddy = 0;
};
