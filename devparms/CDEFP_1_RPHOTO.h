// Device options of model 1 (R2000): persistence under "DP1_", page transfer, job streams.
#pragma once
#include <cstdint>

#include "devparms/CEpsonRPhotoDevParmsBase.h"

class CDEFP_1_RPHOTO : public CEpsonRPhotoDevParmsBase {
public:
    explicit CDEFP_1_RPHOTO(CPrintEnv* env);
    ~CDEFP_1_RPHOTO() override = default;

    void Load(CPrintEnv* env) override;
    void Save(CPrintEnv* env) override;
    CPrintEnvPropertyPage* GetPropertyPage(CPrinterDriverBase* driver) override;
    void FromPropertyPage(CPrintEnvPropertyPage* page) override;
    CString GetStartString(CPrinterDriverBase* driver) override;
    int OutputEndString(CPrinterDriverBase* driver) override;

    int32_t nPaperTyp = 0;             // position in the page's media list
    int32_t nPaperSizeCode = 99;       // second argument of MI
    CString strPaperTyp;               // media name as in the print-mode table
    int32_t nMediaSource = 0;          // 0 ASF, 1 Roll, 2 Rear, 3 Board, 4 CD-R
    int32_t bBidirectional = 0;
    int32_t bDuplexPrint = 0;
    int32_t nPaperPath = 0;            // PP code, set from nMediaSource by each start stream
    int32_t nMicroWeave = 0;           // argument of ESC ( i
    int32_t nPaperFeedCtl = 0x31;      // argument of ESC EM
    int32_t nColorMode = 2;            // argument of ESC ( K
    int32_t nBottomMargin = 0;         // 0 Standard, 1 Max, 2 Borderless
    int32_t nPlateGap = 0;             // 0 to 127; sent from 1 up
    int32_t bPlatenGapBiDirectional = 0;
    int32_t inkMode = 0;               // 0 photo black, 1 matte black
    int32_t bMoveFullHeadWidth = 1;
};
