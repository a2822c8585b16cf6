// Device options of model 2 (R3000): persistence under "DP2_", page transfer, job streams.
#pragma once
#include <cstdint>

#include "devparms/CEpsonRPhotoDevParmsBase.h"

class CDEFP_2_RPHOTO : public CEpsonRPhotoDevParmsBase {
public:
    explicit CDEFP_2_RPHOTO(CPrintEnv* env);
    ~CDEFP_2_RPHOTO() override = default;

    void Load(CPrintEnv* env) override;
    void Save(CPrintEnv* env) override;
    CPrintEnvPropertyPage* GetPropertyPage(CPrinterDriverBase* driver) override;
    void FromPropertyPage(CPrintEnvPropertyPage* page) override;
    CString GetStartString(CPrinterDriverBase* driver) override;
    int OutputEndString(CPrinterDriverBase* driver) override;
    int IsDefaultDotType() override;

    int32_t nPaperTyp = 0;             // 0 User, else 1 + row of the model-2 media table
    CString strPaperTyp;               // name of the named medium
    int32_t nMediaSource = 0;          // 0 ASF, 1 Board, 2 Fine Art, 3 Roll
    int32_t nDotTyp = 0;               // stored only
    int32_t nDirectionalControl = 0;   // 0 bi-d, 1 uni 0-80, 2 auto, 3 uni 80-0
    int32_t bCutFlag = 0;
    int32_t bDuplexPrint = 0;
    int32_t nPlateGap = 0;             // 0 Default ... 4 Bi-D Adjust PGpty
    int32_t nPaperThickness = 0;       // index: 0 Default, 1 0.15 mm, 2 0.1 mm, 3..17 0.2..1.6 mm
    int32_t nDryTimeScan = 0;          // ms per scan
    int32_t inkMode = 0;               // 0 printer settings, 1 photo, 2 matte
    int32_t bMoveFullHeadWidth = 1;
    int32_t nInkLevels = 3;            // from field 5 of the print method's parameter string
};
