// The platform's dialog without a display: controls made from a dialog template, looked up by id,
// data exchange, focus, messages shown to the user, and the events a front end feeds in.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "host/DataExchange.h"
#include "host/DialogControls.h"
#include "host/DialogTemplate.h"

// Notifications a control sends to its dialog.
enum class Notify { SelChange, Clicked, KillFocus };

// Scroll codes of a vertical scroll message.
constexpr int SB_THUMBPOSITION = 4;
constexpr int SB_ENDSCROLL = 8;

// One line of a dialog's message map: a notification from a control id range and its handler.
template <class T>
struct MessageMapEntry {
    Notify code;
    int idFirst;
    int idLast;
    void (T::*handler)();
};

// Runs the handler of the first entry that matches; returns whether one did.
template <class T, size_t N>
bool DispatchMessageMap(T* target, const MessageMapEntry<T> (&map)[N], int id, Notify code)
{
    for (const MessageMapEntry<T>& e : map)
        if (e.code == code && id >= e.idFirst && id <= e.idLast) {
            (target->*e.handler)();
            return true;
        }
    return false;
}

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)

public:
    explicit CDialog(unsigned int nIDTemplate = 0) : m_nIDTemplate(nIDTemplate) {}
    ~CDialog() override;

    unsigned int GetTemplateId() const { return m_nIDTemplate; }
    // Makes the controls of `tmpl` (in template order) and runs OnInitDialog. Returns 0 when the
    // dialog already exists or the template is for another dialog.
    int CreateFromTemplate(const DialogTemplate& tmpl);
    bool IsCreated() const { return m_bCreated; }
    const DialogTemplate& GetTemplate() const { return m_template; }

    CWnd* GetDlgItem(int nID) const;
    // The control before `wnd` in template order (the platform's previous-window lookup), or null.
    CWnd* GetPrevSibling(const CWnd* wnd) const;
    // Every control, in template order.
    const std::vector<std::unique_ptr<CWnd>>& Controls() const { return m_controls; }

    // 1: controls to members with validation; 0: members to controls. Answers 0 when validation
    // failed (the message was shown and the focus put on the field).
    int UpdateData(int bSaveAndValidate = 1);
    virtual void DoDataExchange(CDataExchange* pDX) {}
    virtual int OnInitDialog();
    virtual void OnOK() {}
    virtual void OnCancel() {}

    // Notification from control `id`; the page's message map answers it.
    virtual bool OnNotify(int id, Notify code) { return false; }
    virtual void OnVScroll(int nSBCode, int nPos, CWnd* pScrollBar) {}

    // The platform's message box: the front end shows and acknowledges the texts.
    void MessageBox(const std::string& text) { m_messages.push_back(text); }
    std::vector<std::string> TakeMessages();
    const std::vector<std::string>& PendingMessages() const { return m_messages; }

    int GetFocusId() const { return m_nFocusId; }
    // Puts the focus on a control without notifications (as the platform's SetFocus does for the
    // dialog's own code; the control losing it is told only through the user actions below).
    void GotoDlgCtrl(int id) { m_nFocusId = id; }

    // User actions, as a front end reports them. Each answers false when the control does not
    // exist, cannot take that action, or is disabled or hidden. Clicking or choosing moves the
    // focus first, so a field that loses it is told before the new control's notification.
    bool UserFocus(int id);
    bool UserSelect(int id, int index);           // combo box: choose an entry
    bool UserClick(int id);                       // check box toggles; radio checks, group unchecks
    bool UserSetText(int id, const CString& text);// number or text field: typing replaces the text
    bool UserSpin(int id, int delta);             // up-down arrows: moves by delta within the range
    bool UserListSelect(int id, int index, bool selected);

private:
    bool Usable(const CWnd* w) const { return w && w->IsWindowEnabled() && w->IsWindowVisible(); }

    unsigned int m_nIDTemplate;
    bool m_bCreated = false;
    DialogTemplate m_template;
    std::vector<std::unique_ptr<CWnd>> m_controls;
    std::vector<std::string> m_messages;
    int m_nFocusId = 0;
};
