// Model-1 device-options page: media and quality lists that follow the host's print method and
// the black-ink mode, plus paper source, direction, duplex, bottom margin, platen gap and weave.
#pragma once
#include <cstdint>

#include "devparms/Head.h"
#include "host/PropertyPage.h"

class CEpsonRPhoto2000Page : public CPrintEnvPropertyPage {
    DECLARE_DYNAMIC(CEpsonRPhoto2000Page)

public:
    static constexpr unsigned int kTemplateId = 22047;

    explicit CEpsonRPhoto2000Page(CPrinterDriverBase* driver);
    ~CEpsonRPhoto2000Page() override = default;

    void DoDataExchange(CDataExchange* pDX) override;
    int OnInitDialog() override;
    int OnSetActive() override;
    int OnKillActive() override;
    void OnOK() override;
    const char* OnQueryMediaName() override;

    // The black-ink kinds a print method is offered with: 0 none, 1 Matte only, 2 Photo only, 3 both.
    static int ClassifyPrintMethod(const CString& printMethod);

    int32_t nPaperTyp = 0;               // position in the media list (1096)
    int32_t nQuality = 0;                // position in the quality list (1000)
    CString strPaperTyp;                 // text of the selected media
    CString strQuality;                  // text of the selected quality
    int32_t nMediaSource = 0;            // 0 ASF, 1 Roll, 2 Rear, 3 Board, 4 CD-R
    int32_t inkMode = 0;                 // black ink: 0 Photo, 1 Matte
    int32_t bBidirectional = 0;
    int32_t bDuplexPrint = 0;
    int32_t nBottomMargin = 0;           // 0 Standard, 1 Max, 2 Borderless
    int32_t nPlateGap = 0;               // platen gap, 0 to 127
    int32_t bPlatenGapBiDirectional = 0;
    int32_t bMoveFullHeadWidth = 1;
    int32_t bEnableWeave = 0;
    int32_t bEnableBrokenNozzles = 0;
    int32_t bBrokenNozzle[kNozzles] = {};     // carried through unchanged; no control
    CPrinterDriverBase* pDriver;         // the driver that saves the page; may be null
    CString strPrintMethod;              // the print method the lists were last filled for

    void FillMediaList();
    void FillQualityList();

    // Message handlers.
    void OnSelChangeMedia();
    void OnSelChangeQuality();
    void OnClickedInkMode();
    void OnKillFocusPlatenGap();
    void OnClickedSimulateBrokenNozzles();
    void OnVScroll(int nSBCode, int nPos, CWnd* pScrollBar) override;
    bool OnNotify(int id, Notify code) override;

private:
    bool RowListed(int row) const;
    void EnableInkModeControls(int bEnable);
    void UpdatePlatenGapDirection();
};
