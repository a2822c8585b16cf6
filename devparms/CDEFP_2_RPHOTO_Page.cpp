// Model-2 options to and from the model-2 device-options page. The dot type and the ink
// levels have no control and stay with the parameters.
#include "devparms/CDEFP_2_RPHOTO.h"
#include "pages/CEpsonRPhoto3000Page.h"

CPrintEnvPropertyPage* CDEFP_2_RPHOTO::GetPropertyPage(CPrinterDriverBase* driver)
{
    auto* page = new CEpsonRPhoto3000Page(driver);
    page->nPaperTyp = nPaperTyp;
    page->strPaperTyp = strPaperTyp;
    page->nMediaSource = nMediaSource;
    page->nDirectionalControl = nDirectionalControl;
    page->bCutFlag = bCutFlag;
    page->bDuplexPrint = bDuplexPrint;
    page->nPlateGap = nPlateGap;
    page->nPaperThickness = nPaperThickness;
    page->nDryTimeScan = nDryTimeScan;
    page->inkMode = inkMode;
    page->bMoveFullHeadWidth = bMoveFullHeadWidth;
    page->bEnableWeave = bEnableWeave;
    page->bEnableBrokenNozzles = bEnableBrokenNozzles;
    for (int n = 0; n < kNozzles; ++n) page->bBrokenNozzle[n] = bBrokenNozzle[n];
    return page;
}

void CDEFP_2_RPHOTO::FromPropertyPage(CPrintEnvPropertyPage* base)
{
    auto* page = dynamic_cast<CEpsonRPhoto3000Page*>(base);
    if (!page) return;  // not a page this object created
    nPaperTyp = page->nPaperTyp;
    strPaperTyp = page->strPaperTyp;
    nMediaSource = page->nMediaSource;
    nDirectionalControl = page->nDirectionalControl;
    bCutFlag = page->bCutFlag;
    bDuplexPrint = page->bDuplexPrint;
    nPlateGap = page->nPlateGap;
    nPaperThickness = page->nPaperThickness;
    nDryTimeScan = page->nDryTimeScan;
    inkMode = page->inkMode;
    bEnableWeave = page->bEnableWeave;
    bEnableBrokenNozzles = page->bEnableBrokenNozzles;
    for (int n = 0; n < kNozzles; ++n) bBrokenNozzle[n] = page->bBrokenNozzle[n];
    bMoveFullHeadWidth = page->bMoveFullHeadWidth;
}
