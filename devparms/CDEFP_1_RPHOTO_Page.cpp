// Model-1 options to and from the model-1 device-options page.
#include "devparms/CDEFP_1_RPHOTO.h"
#include "pages/CEpsonRPhoto2000Page.h"

CPrintEnvPropertyPage* CDEFP_1_RPHOTO::GetPropertyPage(CPrinterDriverBase* driver)
{
    auto* page = new CEpsonRPhoto2000Page(driver);
    OptionsToPage(kModel1Options, *page, page->bBrokenNozzle);
    return page;
}

void CDEFP_1_RPHOTO::FromPropertyPage(CPrintEnvPropertyPage* base)
{
    auto* page = dynamic_cast<CEpsonRPhoto2000Page*>(base);
    if (!page) return;  // not a page this object created
    OptionsFromPage(kModel1Options, *page, page->bBrokenNozzle);
}
