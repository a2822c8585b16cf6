#include "pages/CEpsonRPhoto3000Page.h"

#include <string>

#include "devparms/DeviceOptions.h"
#include "devparms/Model2MediaTable.h"
#include "host/PrinterDriver.h"
#include "pages/PageControlIds.h"

using namespace Page3000Ids;

IMPLEMENT_DYNAMIC(CEpsonRPhoto3000Page, CPrintEnvPropertyPage)

namespace {

const MessageMapEntry<CEpsonRPhoto3000Page> kMessageMap[] = {
    {Notify::SelChange, kMaterial, kMaterial, &CEpsonRPhoto3000Page::OnSelChangeMaterial},
    {Notify::SelChange, kInkType, kInkType, &CEpsonRPhoto3000Page::OnSelChangeInkType},
    {Notify::Clicked, kSourceAsf, kSourceAsf, &CEpsonRPhoto3000Page::OnClickedSource},
    {Notify::Clicked, kSourceBoard, kSourceBoard, &CEpsonRPhoto3000Page::OnClickedSource},
    {Notify::Clicked, kSourceFineArt, kSourceFineArt, &CEpsonRPhoto3000Page::OnClickedSource},
    {Notify::Clicked, kSourceRoll, kSourceRoll, &CEpsonRPhoto3000Page::OnClickedSource},
    {Notify::KillFocus, kDryTime, kDryTime, &CEpsonRPhoto3000Page::OnKillFocusDryTime},
    {Notify::Clicked, kSimulateBrokenNozzles, kSimulateBrokenNozzles,
     &CEpsonRPhoto3000Page::OnClickedSimulateBrokenNozzles},
};

// The user-medium controls, in the order they are enabled.
const int kUserMediumControls[] = {kPlatenGapLabel, kThicknessLabel, kDryTimeLabel, kPlatenGap,
                                   kThickness,      kDryTime,        kDryTimeUnitLabel};
}  // namespace

CEpsonRPhoto3000Page::CEpsonRPhoto3000Page(CPrinterDriverBase* driver)
    : CPrintEnvPropertyPage(kTemplateId, 0, driver), pDriver(driver)
{
}

void CEpsonRPhoto3000Page::DoDataExchange(CDataExchange* pDX)
{
    CPrintEnvPropertyPage::DoDataExchange(pDX);
    DDX_CBIndex(pDX, kMaterial, nPaperTyp);
    DDX_CBStringExactX(pDX, kMaterial, strPaperTyp);
    DDX_CBIndex(pDX, kPlatenGap, nPlateGap);
    DDX_CBIndex(pDX, kInkType, inkMode);
    DDX_CBIndex(pDX, kThickness, nPaperThickness);
    DDX_CBIndex(pDX, kDirectionalMode, nDirectionalControl);
    DDX_Check(pDX, kDuplexPrint, bDuplexPrint);
    DDX_Check(pDX, kMoveFullHeadWidth, bMoveFullHeadWidth);
    DDX_Radio(pDX, kSourceAsf, nMediaSource);
    DDX_Text(pDX, kDryTime, nDryTimeScan);
    const DeviceOption& dry = *kModel2Options.Find("nDryTimeScan");
    DDV_MinMaxInt(pDX, nDryTimeScan, dry.min, dry.max);
    DDX_Check(pDX, kCutFlag, bCutFlag);
    DDX_Check(pDX, kEnableWeave, bEnableWeave);
    DDX_Check(pDX, kSimulateBrokenNozzles, bEnableBrokenNozzles);
}

void CEpsonRPhoto3000Page::FillMaterialList()
{
    auto* material = dynamic_cast<CComboBox*>(GetDlgItem(kMaterial));
    if (!material) return;
    material->ResetContent();
    material->InsertString(0, "User");
    for (int row = 0; row < kModel2MediaCount; ++row) material->InsertString(row + 1, kModel2Media[row].name);
    if (material->SelectString(0, strPaperTyp) == CComboBox::CB_ERR) material->SelectString(0, "Plain Paper");
}

void CEpsonRPhoto3000Page::UpdateUserMediaControls()
{
    UpdateData(1);
    for (int id : kUserMediumControls)
        if (CWnd* w = GetDlgItem(id)) w->EnableWindow(nPaperTyp == 0 ? 1 : 0);
    if (nPaperTyp < 1 || nPaperTyp > kModel2MediaCount) return;
    const MediaRow& row = kModel2Media[nPaperTyp - 1];
    if (inkMode == 1 && row.photoBlack != 1) {
        inkMode = 2;
        UpdateData(0);
    } else if (inkMode == 2 && row.matteBlack != 1) {
        inkMode = 1;
        UpdateData(0);
    }
}

// The nozzle list holds one entry per nozzle, selected where the flag is set, so rebuilding the
// flags from it when the page is left gives them back as they came in.
void CEpsonRPhoto3000Page::ShowBrokenNozzleList()
{
    auto* list = dynamic_cast<CListBox*>(GetDlgItem(kNozzleList));
    if (!list) return;
    list->ResetContent();
    for (int n = 0; n < kNozzles; ++n) {
        list->AddString(std::to_string(n + 1));
        list->SetSel(n, bBrokenNozzle[n] ? 1 : 0);
    }
}

void CEpsonRPhoto3000Page::ReadBrokenNozzleList()
{
    auto* list = dynamic_cast<CListBox*>(GetDlgItem(kNozzleList));
    if (!list) return;
    int selected[kNozzles];
    const int count = list->GetSelItems(kNozzles, selected);
    for (int n = 0; n < kNozzles; ++n) bBrokenNozzle[n] = 0;
    for (int i = 0; i < count; ++i)
        if (selected[i] >= 0 && selected[i] < kNozzles) bBrokenNozzle[selected[i]] = 1;
}

void CEpsonRPhoto3000Page::UpdateCutAndDuplex()
{
    if (CWnd* cut = GetDlgItem(kCutFlag)) cut->EnableWindow(nMediaSource == kSourceRollPosition ? 1 : 0);
    if (CWnd* duplex = GetDlgItem(kDuplexPrint)) duplex->EnableWindow(nMediaSource != kSourceRollPosition ? 1 : 0);
}

int CEpsonRPhoto3000Page::OnInitDialog()
{
    CPrintEnvPropertyPage::OnInitDialog();
    FillMaterialList();
    ShowBrokenNozzleList();
    UpdateUserMediaControls();
    UpdateData(1);
    UpdateCutAndDuplex();
    for (int id : {kBrokenNozzlesFrame, kSimulateBrokenNozzles, kNozzleList})
        if (CWnd* w = GetDlgItem(id)) w->ShowWindow(0);
    UpdateData(1);
    return 1;
}

int CEpsonRPhoto3000Page::OnKillActive()
{
    UpdateData(1);
    UpdateUserMediaControls();
    ReadBrokenNozzleList();
    return CPrintEnvPropertyPage::OnKillActive();
}

void CEpsonRPhoto3000Page::OnOK()
{
    if (pDriver) pDriver->SaveDevParmsFromPropertyPage(this);
    CPrintEnvPropertyPage::OnOK();
}

const char* CEpsonRPhoto3000Page::OnQueryMediaName() { return strPaperTyp.GetString(); }

bool CEpsonRPhoto3000Page::OnNotify(int id, Notify code) { return DispatchMessageMap(this, kMessageMap, id, code); }

void CEpsonRPhoto3000Page::OnSelChangeMaterial() { UpdateUserMediaControls(); }

void CEpsonRPhoto3000Page::OnSelChangeInkType() { UpdateUserMediaControls(); }

void CEpsonRPhoto3000Page::OnClickedSource()
{
    UpdateData(1);
    UpdateCutAndDuplex();
}

void CEpsonRPhoto3000Page::OnKillFocusDryTime() { UpdateData(1); }

void CEpsonRPhoto3000Page::OnClickedSimulateBrokenNozzles()
{
    UpdateData(1);
    if (CWnd* list = GetDlgItem(kNozzleList)) list->EnableWindow(bEnableBrokenNozzles == 1 ? 1 : 0);
}

void CEpsonRPhoto3000Page::OnVScroll(int nSBCode, int nPos, CWnd* pScrollBar)
{
    UpdateData(1);
    UpdateData(0);
}
