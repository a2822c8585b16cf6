// The framework's property-page bases that device-options pages derive from, and the host's
// settings-dialog page base with its queries.
#pragma once
#include <string>

#include "host/CString.h"
#include "host/Dialog.h"

class CPrinterDriverBase;

class CPropertyPage : public CDialog {
    DECLARE_DYNAMIC(CPropertyPage)

public:
    explicit CPropertyPage(unsigned int nIDTemplate = 0) : CDialog(nIDTemplate) {}

    // Makes the page's window from its template in `language` (the sheet does this before the
    // page is first shown). Answers false with a one-line message when the template is unusable.
    bool CreatePage(const std::string& language, std::string* error);

    // The first activation (the one right after the window was made) leaves the controls as
    // OnInitDialog set them; later ones move the members to the controls.
    virtual int OnSetActive();
    // Controls to members with validation; 0 keeps the page active.
    virtual int OnKillActive();
    // The sheet's apply: confirms the page through OnOK.
    virtual int OnApply();
    void OnOK() override {}
    void OnCancel() override {}

private:
    bool m_bFirstSetActive = true;
};

class CBCGPPropertyPage : public CPropertyPage {
    DECLARE_DYNAMIC(CBCGPPropertyPage)

public:
    explicit CBCGPPropertyPage(unsigned int nIDTemplate = 0) : CPropertyPage(nIDTemplate) {}
};

class CNVUIPropertyPage : public CBCGPPropertyPage {
    DECLARE_DYNAMIC(CNVUIPropertyPage)

public:
    explicit CNVUIPropertyPage(unsigned int nIDTemplate = 0) : CBCGPPropertyPage(nIDTemplate) {}
};

class CPrintEnvPropertyPage : public CNVUIPropertyPage {
    DECLARE_DYNAMIC(CPrintEnvPropertyPage)

public:
    CPrintEnvPropertyPage(unsigned int nIDTemplate, unsigned int nFlags, CPrinterDriverBase* driver = nullptr);
    ~CPrintEnvPropertyPage() override = default;

    // The queries the host directs at the pages of its settings dialog, in slot order.
    virtual int CheckOnOK() { return 1; }
    virtual void SaveData(class CPrintEnv*) {}
    virtual int OnUpdateResol() { return 0; }
    virtual int OnQueryResolution() { return 0; }
    virtual int OnQueryResolutionVert() { return 0; }
    virtual const char* OnQueryPrintMethod() { return nullptr; }
    virtual int OnQueryModelIndex() { return 0; }
    virtual const char* OnQueryPrinterID() { return nullptr; }
    virtual const char* OnQueryPort() { return nullptr; }
    virtual int OnQueryIsPrintQueue() { return 0; }
    virtual int OnQueryInkLevels() { return 0; }
    virtual int OnQueryDotSize() { return 0; }
    virtual const char* OnQueryDotVolume() { return nullptr; }
    virtual const char* OnQueryMediaName() { return nullptr; }
    virtual const char* OnQueryMediaID() { return nullptr; }
    virtual const char* OnQueryDriverSettings() { return nullptr; }
    virtual const char* OnQueryHeaterSettings() { return nullptr; }
    virtual const char* OnQueryDotSettings() { return nullptr; }
    virtual int OnQueryDirectPrint() { return 0; }
    virtual int OnQueryMaxMediaWidthMm() { return 0; }
    virtual int OnQueryMaxMediaLengthMm() { return 0; }
    virtual int OnQueryMediaWidthMm() { return 0; }
    virtual int OnSiblingSetExternalProfile(const char*) { return 0; }
    virtual const char* OnQuerySlotSetting() { return nullptr; }
    virtual int OnQueryMirrorMode() { return 0; }

    // The print method currently selected in the host's settings dialog.
    CString QueryPrintMethod() const;
    // The host dialog's current print method (what QueryPrintMethod answers); by default the
    // driver store's print method.
    void SetHostPrintMethod(const CString& method) { m_strHostPrintMethod = method; m_bHostMethodSet = true; }
    CPrinterDriverBase* GetDriver() const { return m_pDriver; }

private:
    CPrinterDriverBase* m_pDriver;
    CString m_strHostPrintMethod;
    bool m_bHostMethodSet = false;
};
