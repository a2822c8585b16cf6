#include "host/PropertyPage.h"

#include "host/PrintEnv.h"
#include "host/PrinterDriver.h"

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)
IMPLEMENT_DYNAMIC(CBCGPPropertyPage, CPropertyPage)
IMPLEMENT_DYNAMIC(CNVUIPropertyPage, CBCGPPropertyPage)
IMPLEMENT_DYNAMIC(CPrintEnvPropertyPage, CNVUIPropertyPage)

bool CPropertyPage::CreatePage(const std::string& language, std::string* error)
{
    if (IsCreated()) return true;
    DialogTemplate tmpl;
    if (!LoadDialogTemplate(GetTemplateId(), language, &tmpl, error)) return false;
    m_bFirstSetActive = true;
    CreateFromTemplate(tmpl);
    return true;
}

int CPropertyPage::OnSetActive()
{
    if (m_bFirstSetActive)
        m_bFirstSetActive = false;
    else
        UpdateData(0);
    return 1;
}

int CPropertyPage::OnKillActive() { return UpdateData(1); }

int CPropertyPage::OnApply()
{
    OnOK();
    return 1;
}

CPrintEnvPropertyPage::CPrintEnvPropertyPage(unsigned int nIDTemplate, unsigned int, CPrinterDriverBase* driver)
    : CNVUIPropertyPage(nIDTemplate), m_pDriver(driver)
{
}

CString CPrintEnvPropertyPage::QueryPrintMethod() const
{
    if (m_bHostMethodSet) return m_strHostPrintMethod;
    if (m_pDriver && m_pDriver->m_pPrintEnv) return m_pDriver->m_pPrintEnv->GetString(PrEnv_PrintMethod);
    return CString();
}
