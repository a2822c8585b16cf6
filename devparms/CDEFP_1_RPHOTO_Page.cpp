// Model-1 options to and from the model-1 device-options page.
#include "devparms/CDEFP_1_RPHOTO.h"
#include "pages/CEpsonRPhoto2000Page.h"

CPrintEnvPropertyPage* CDEFP_1_RPHOTO::GetPropertyPage(CPrinterDriverBase* driver)
{
    auto* page = new CEpsonRPhoto2000Page(driver);
    page->nPaperTyp = nPaperTyp;
    page->strPaperTyp = strPaperTyp;
    page->nMediaSource = nMediaSource;
    page->bBidirectional = bBidirectional;
    page->bDuplexPrint = bDuplexPrint;
    page->nBottomMargin = nBottomMargin;
    page->nPlateGap = nPlateGap;
    page->bPlatenGapBiDirectional = bPlatenGapBiDirectional;
    page->inkMode = inkMode;
    page->bMoveFullHeadWidth = bMoveFullHeadWidth;
    page->bEnableWeave = bEnableWeave;
    page->bEnableBrokenNozzles = bEnableBrokenNozzles;
    for (int n = 0; n < kNozzles; ++n) page->bBrokenNozzle[n] = bBrokenNozzle[n];
    return page;
}

void CDEFP_1_RPHOTO::FromPropertyPage(CPrintEnvPropertyPage* base)
{
    auto* page = dynamic_cast<CEpsonRPhoto2000Page*>(base);
    if (!page) return;  // not a page this object created
    nPaperTyp = page->nPaperTyp;
    strPaperTyp = page->strPaperTyp;
    nMediaSource = page->nMediaSource;
    bBidirectional = page->bBidirectional;
    bDuplexPrint = page->bDuplexPrint;
    nBottomMargin = page->nBottomMargin;
    nPlateGap = page->nPlateGap;
    bPlatenGapBiDirectional = page->bPlatenGapBiDirectional;
    inkMode = page->inkMode;
    bMoveFullHeadWidth = page->bMoveFullHeadWidth;
    bEnableWeave = page->bEnableWeave;
    bEnableBrokenNozzles = page->bEnableBrokenNozzles;
    for (int n = 0; n < kNozzles; ++n) bBrokenNozzle[n] = page->bBrokenNozzle[n];
}
