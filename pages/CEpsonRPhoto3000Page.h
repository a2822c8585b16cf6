// Model-2 device-options page: material, ink type kept consistent with the medium, source with
// cut and duplex, direction, the user-medium settings, head travel and weave.
#pragma once
#include <cstdint>

#include "devparms/Head.h"
#include "host/PropertyPage.h"

class CEpsonRPhoto3000Page : public CPrintEnvPropertyPage {
    DECLARE_DYNAMIC(CEpsonRPhoto3000Page)

public:
    static constexpr unsigned int kTemplateId = 22048;

    explicit CEpsonRPhoto3000Page(CPrinterDriverBase* driver);
    ~CEpsonRPhoto3000Page() override = default;

    void DoDataExchange(CDataExchange* pDX) override;
    int OnInitDialog() override;
    int OnKillActive() override;
    void OnOK() override;
    const char* OnQueryMediaName() override;

    int32_t nPaperTyp = 1;               // material position: 0 "User", 1..14 the media table rows
    CString strPaperTyp;                 // text of the selected material
    int32_t nMediaSource = 0;            // 0 ASF, 1 Board, 2 Fine Art, 3 Roll
    int32_t nDirectionalControl = 0;     // position in the directional-mode list
    int32_t bCutFlag = 0;
    int32_t bDuplexPrint = 0;
    int32_t nPlateGap = 0;               // position in the platen-gap list
    int32_t nPaperThickness = 0;         // position in the thickness list
    int32_t nDryTimeScan = 0;            // ms per scan, 0 to 10000
    int32_t inkMode = 0;                 // 0 Printer Settings, 1 Photo, 2 Matte
    int32_t bMoveFullHeadWidth = 1;
    int32_t bEnableWeave = 1;
    int32_t bEnableBrokenNozzles = 0;
    int32_t bBrokenNozzle[kNozzles] = {};     // rebuilt from the nozzle list when the page is left
    CPrinterDriverBase* pDriver;         // the driver that saves the page; may be null

    void FillMaterialList();
    void UpdateUserMediaControls();
    void ReadBrokenNozzleList();

    // Message handlers.
    void OnSelChangeMaterial();
    void OnSelChangeInkType();
    void OnClickedSource();
    void OnKillFocusDryTime();
    void OnClickedSimulateBrokenNozzles();
    void OnVScroll(int nSBCode, int nPos, CWnd* pScrollBar) override;
    bool OnNotify(int id, Notify code) override;

private:
    void ShowBrokenNozzleList();
    void UpdateCutAndDuplex();
};
