#include "host/PropertyPage.h"

#include "host/PrintEnv.h"
#include "host/PrinterDriver.h"

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
