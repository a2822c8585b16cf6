// Model-2 options to and from the model-2 device-options page. The dot type and the ink
// levels have no control and stay with the parameters.
#include "devparms/CDEFP_2_RPHOTO.h"
#include "pages/CEpsonRPhoto3000Page.h"

CPrintEnvPropertyPage* CDEFP_2_RPHOTO::GetPropertyPage(CPrinterDriverBase* driver)
{
    auto* page = new CEpsonRPhoto3000Page(driver);
    OptionsToPage(kModel2Options, *page, page->bBrokenNozzle);
    return page;
}

void CDEFP_2_RPHOTO::FromPropertyPage(CPrintEnvPropertyPage* base)
{
    auto* page = dynamic_cast<CEpsonRPhoto3000Page*>(base);
    if (!page) return;  // not a page this object created
    OptionsFromPage(kModel2Options, *page, page->bBrokenNozzle);
}
