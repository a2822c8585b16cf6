#include "pages/CEpsonRPhoto2000Page.h"

#include "devparms/DeviceOptions.h"
#include "devparms/Model1PrintModes.h"
#include "host/PrinterDriver.h"
#include "pages/PageControlIds.h"

using namespace Page2000Ids;

IMPLEMENT_DYNAMIC(CEpsonRPhoto2000Page, CPrintEnvPropertyPage)

namespace {
const MessageMapEntry<CEpsonRPhoto2000Page> kMessageMap[] = {
    {Notify::SelChange, kMedia, kMedia, &CEpsonRPhoto2000Page::OnSelChangeMedia},
    {Notify::SelChange, kQuality, kQuality, &CEpsonRPhoto2000Page::OnSelChangeQuality},
    {Notify::Clicked, kInkPhoto, kInkPhoto, &CEpsonRPhoto2000Page::OnClickedInkMode},
    {Notify::Clicked, kInkMatte, kInkMatte, &CEpsonRPhoto2000Page::OnClickedInkMode},
    {Notify::KillFocus, kPlatenGap, kPlatenGapSpin, &CEpsonRPhoto2000Page::OnKillFocusPlatenGap},
    {Notify::Clicked, kSimulateBrokenNozzles, kSimulateBrokenNozzles,
     &CEpsonRPhoto2000Page::OnClickedSimulateBrokenNozzles},
};

const char* QualityName(int level)
{
    switch (level) {
    case 1: return "Economy";
    case 2: return "Fine";
    case 3: return "Photo";
    case 4: return "Super Photo";
    default: return "";
    }
}

CComboBox* Combo(CDialog* dialog, int id) { return dynamic_cast<CComboBox*>(dialog->GetDlgItem(id)); }
}  // namespace

CEpsonRPhoto2000Page::CEpsonRPhoto2000Page(CPrinterDriverBase* driver)
    : CPrintEnvPropertyPage(kTemplateId, 0, driver), pDriver(driver)
{
}

void CEpsonRPhoto2000Page::DoDataExchange(CDataExchange* pDX)
{
    CPrintEnvPropertyPage::DoDataExchange(pDX);
    DDX_CBIndex(pDX, kMedia, nPaperTyp);
    DDX_CBStringExactX(pDX, kMedia, strPaperTyp);
    DDX_CBIndex(pDX, kQuality, nQuality);
    DDX_CBStringExactX(pDX, kQuality, strQuality);
    DDX_Radio(pDX, kSourceAsf, nMediaSource);
    DDX_Radio(pDX, kInkPhoto, inkMode);
    DDX_Check(pDX, kBidirectional, bBidirectional);
    DDX_Check(pDX, kDuplexPrint, bDuplexPrint);
    DDX_Check(pDX, kMoveFullHeadWidth, bMoveFullHeadWidth);
    DDX_Text(pDX, kPlatenGap, nPlateGap);
    DDX_CBIndex(pDX, kBottomMargin, nBottomMargin);
    DDX_Check(pDX, kPlatenGapBidirectional, bPlatenGapBiDirectional);
    DDX_Check(pDX, kEnableWeave, bEnableWeave);
    DDX_Check(pDX, kSimulateBrokenNozzles, bEnableBrokenNozzles);
    const DeviceOption& gap = *kModel1Options.Find("nPlateGap");
    DDV_MinMaxInt(pDX, nPlateGap, gap.min, gap.max);
}

bool CEpsonRPhoto2000Page::RowListed(int row) const
{
    return ServesInkAndMethod(kModel1PrintModes[row], inkMode, strPrintMethod.GetString());
}

void CEpsonRPhoto2000Page::FillMediaList()
{
    CComboBox* media = Combo(this, kMedia);
    if (!media) return;
    media->ResetContent();
    CString first;
    bool any = false;
    for (int row = 0; row < kModel1PrintModeCount; ++row) {
        if (!RowListed(row)) continue;
        media->InsertString(-1, kModel1PrintModes[row].media);
        if (!any) first = kModel1PrintModes[row].media;
        any = true;
    }
    if (!any || media->SelectString(0, first) == CComboBox::CB_ERR) media->SelectString(0, "Plain Paper");
}

void CEpsonRPhoto2000Page::FillQualityList()
{
    CComboBox* quality = Combo(this, kQuality);
    if (!quality) return;
    quality->ResetContent();
    CString first;
    bool any = false;
    for (int row = 0; row < kModel1PrintModeCount; ++row) {
        if (!RowListed(row) || strPaperTyp != CString(kModel1PrintModes[row].media)) continue;
        const char* name = QualityName(kModel1PrintModes[row].quality);
        quality->InsertString(-1, name);
        if (!any) first = name;
        any = true;
    }
    if (!any || quality->SelectString(0, first) == CComboBox::CB_ERR) quality->SelectString(0, "Fine");
}

int CEpsonRPhoto2000Page::ClassifyPrintMethod(const CString& printMethod)
{
    bool photo = false;
    bool matte = false;
    for (int row = 0; row < kModel1PrintModeCount; ++row) {
        const PrintModeRow& r = kModel1PrintModes[row];
        if (printMethod != CString(r.resolution)) continue;
        photo = photo || r.photoBlack == 1;
        matte = matte || r.matteBlack == 1;
    }
    if (matte && !photo) return 1;
    if (photo && !matte) return 2;
    return photo && matte ? 3 : 0;
}

void CEpsonRPhoto2000Page::EnableInkModeControls(int bEnable)
{
    CWnd* photo = GetDlgItem(kInkPhoto);
    // The frame "Black Ink Mode:" has no id of its own: it is the control right before "Photo".
    if (CWnd* frame = GetPrevSibling(photo); frame && frame->GetKind() == ControlKind::GroupBox)
        frame->EnableWindow(bEnable);
    if (CWnd* matte = GetDlgItem(kInkMatte)) matte->EnableWindow(bEnable);
    if (photo) photo->EnableWindow(bEnable);
}

int CEpsonRPhoto2000Page::OnSetActive()
{
    const CString previous = strPrintMethod;
    strPrintMethod = QueryPrintMethod();
    if (!(strPrintMethod == previous)) {
        switch (ClassifyPrintMethod(strPrintMethod)) {
        case 1:
            inkMode = 1;
            EnableInkModeControls(0);
            break;
        case 2:
            inkMode = 0;
            EnableInkModeControls(0);
            break;
        default: EnableInkModeControls(1); break;
        }
        UpdateData(0);
        FillMediaList();
        UpdateData(1);
        FillQualityList();
    }
    return CPrintEnvPropertyPage::OnSetActive();
}

void CEpsonRPhoto2000Page::UpdatePlatenGapDirection()
{
    auto* check = dynamic_cast<CButton*>(GetDlgItem(kPlatenGapBidirectional));
    if (!check) return;
    if (nPlateGap == 0) {
        check->SetCheck(0);
        check->EnableWindow(0);
    } else {
        check->EnableWindow(1);
    }
}

int CEpsonRPhoto2000Page::OnInitDialog()
{
    CPrintEnvPropertyPage::OnInitDialog();
    OnSetActive();
    for (int id : {kBrokenNozzlesFrame, kSimulateBrokenNozzles, kNozzleList})
        if (CWnd* w = GetDlgItem(id)) w->ShowWindow(0);
    UpdateData(1);
    if (auto* spin = dynamic_cast<CSpinButtonCtrl*>(GetDlgItem(kPlatenGapSpin))) {
        const DeviceOption& gap = *kModel1Options.Find("nPlateGap");
        spin->SetRange(gap.min, gap.max);
        spin->SetPos(static_cast<int16_t>(nPlateGap & 0xFFFF));
    }
    UpdatePlatenGapDirection();
    return 1;
}

int CEpsonRPhoto2000Page::OnKillActive()
{
    UpdateData(1);
    return CPrintEnvPropertyPage::OnKillActive();
}

void CEpsonRPhoto2000Page::OnOK()
{
    if (pDriver) pDriver->SaveDevParmsFromPropertyPage(this);
    CPrintEnvPropertyPage::OnOK();
}

const char* CEpsonRPhoto2000Page::OnQueryMediaName() { return strPaperTyp.GetString(); }

bool CEpsonRPhoto2000Page::OnNotify(int id, Notify code) { return DispatchMessageMap(this, kMessageMap, id, code); }

void CEpsonRPhoto2000Page::OnSelChangeMedia()
{
    UpdateData(1);
    FillQualityList();
}

void CEpsonRPhoto2000Page::OnSelChangeQuality() { UpdateData(1); }

void CEpsonRPhoto2000Page::OnClickedInkMode()
{
    UpdateData(1);
    FillMediaList();
    UpdateData(1);
    FillQualityList();
}

void CEpsonRPhoto2000Page::OnKillFocusPlatenGap()
{
    UpdateData(1);
    if (auto* spin = dynamic_cast<CSpinButtonCtrl*>(GetDlgItem(kPlatenGapSpin))) spin->SetPos(nPlateGap);
    UpdatePlatenGapDirection();
}

void CEpsonRPhoto2000Page::OnVScroll(int nSBCode, int nPos, CWnd* pScrollBar)
{
    if (!pScrollBar || pScrollBar->GetDlgCtrlID() != kPlatenGapSpin) return;
    UpdateData(1);
    nPlateGap = nPos;
    UpdateData(0);
}

void CEpsonRPhoto2000Page::OnClickedSimulateBrokenNozzles()
{
    UpdateData(1);
    if (CWnd* list = GetDlgItem(kNozzleList)) list->EnableWindow(bEnableBrokenNozzles == 1 ? 1 : 0);
}
