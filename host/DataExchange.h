// The platform's dialog data exchange and validation: moving member values to and from controls,
// and the range check that keeps a dialog open with the platform's message.
#pragma once
#include "host/CString.h"

class CDialog;

// Thrown by a failed validation; the dialog's UpdateData catches it and answers 0.
struct CUserException {};

class CDataExchange {
public:
    CDataExchange(CDialog* dialog, int bSaveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(bSaveAndValidate) {}

    // Looks up a control for the exchange; remembers it as the one a failure puts the focus on.
    class CWnd* PrepareCtrl(int nIDC);
    class CWnd* PrepareEditCtrl(int nIDC);
    // Shows nothing itself: puts the focus back on the last field exchanged and aborts the exchange.
    [[noreturn]] void Fail();

    CDialog* m_pDlgWnd;
    int m_bSaveAndValidate;  // 1: controls to members (with validation), 0: members to controls
    int m_idLastControl = 0;
    bool m_bEditLastControl = false;
    int m_idLastEditControl = 0;  // a failed range check puts the focus back on this field
    // Set when the last integer field held no integer; the range check that follows fails then.
    bool m_bLastIntUnreadable = false;
};

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
// Checks the last exchanged integer against [minVal, maxVal]: on failure shows "Please enter an
// integer between MIN and MAX." and aborts the exchange.
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
// The host's exact combo-text exchange: reading gives the selected entry's text ("" without a
// selection); writing selects the entry equal to the text and leaves the selection otherwise.
void DDX_CBStringExactX(CDataExchange* pDX, int nIDC, CString& value);

// Reads a whole decimal integer as the platform's integer fields do (blanks around it allowed).
bool ParseDialogInt(const CString& text, int* value);
