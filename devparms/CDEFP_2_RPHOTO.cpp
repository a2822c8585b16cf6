// Model-2 options: construction, Load and Save (with the print method's ink levels).
#include "devparms/CDEFP_2_RPHOTO.h"

#include "devparms/PrintMethodParms.h"
#include "host/Platform.h"

namespace {
constexpr int kDefaultInkLevels = 3;
constexpr int kInkLevelsField = 5;  // counted from 1
}  // namespace

CDEFP_2_RPHOTO::CDEFP_2_RPHOTO(CPrintEnv* env) : CEpsonRPhotoDevParmsBase("DP2_", env)
{
    nStructSize = static_cast<int32_t>(sizeof(CDEFP_2_RPHOTO));
    dBaseResH = dBaseResV = 5760;
    dTopOffsetMm = 1.5;
}

void CDEFP_2_RPHOTO::Load(CPrintEnv* env)
{
    nPaperTyp = GetPrefixedInt("nPaperTyp", 0);
    strPaperTyp = GetPrefixedString("strPaperTyp", "");
    nMediaSource = GetPrefixedInt("nMediaSource", 0);
    nDotTyp = GetPrefixedInt("nDotTyp", 0);
    nDirectionalControl = GetPrefixedInt("nDirectionalControl", 0);
    bCutFlag = GetPrefixedInt("bCutFlag", 0);
    bDuplexPrint = GetPrefixedInt("bDuplexPrint", 0);
    nPlateGap = GetPrefixedInt("nPlateGap", 0);
    nPaperThickness = GetPrefixedInt("nPaperThickness", 0);
    nDryTimeScan = GetPrefixedInt("nDryTimeScan", 0);
    inkMode = GetPrefixedInt("inkMode", 0);
    bMoveFullHeadWidth = GetPrefixedInt("bMoveFullHeadWidth", 1);

    // The ink levels belong to the print method, not to the stored options.
    CStringList fields(10);
    ReadPrintMethodFields(env, &fields);
    nInkLevels = kDefaultInkLevels;
    if (fields.GetCount() >= kInkLevelsField) nInkLevels = Atoi(fields.GetAt(kInkLevelsField - 1));

    LoadWeaveBlock();
}

void CDEFP_2_RPHOTO::Save(CPrintEnv* env)
{
    PutPrefixedInt("nPaperTyp", nPaperTyp);
    PutPrefixedString("strPaperTyp", strPaperTyp);
    PutPrefixedInt("nMediaSource", nMediaSource);
    PutPrefixedInt("nDotTyp", nDotTyp);
    PutPrefixedInt("nDirectionalControl", nDirectionalControl);
    PutPrefixedInt("bCutFlag", bCutFlag);
    PutPrefixedInt("bDuplexPrint", bDuplexPrint);
    PutPrefixedInt("nPlateGap", nPlateGap);
    PutPrefixedInt("nPaperThickness", nPaperThickness);
    PutPrefixedInt("nDryTimeScan", nDryTimeScan);
    PutPrefixedInt("inkMode", inkMode);
    PutPrefixedInt("bMoveFullHeadWidth", bMoveFullHeadWidth);

    // Three ink levels are printed with two bits per pixel, any other count with one.
    if (env) {
        env->PutInt(PrEnv_InkLevels, nInkLevels);
        env->PutInt(PrEnv_BitsPerPixel, nInkLevels == 3 ? 2 : 1);
    }

    SaveWeaveBlock();
}

int CDEFP_2_RPHOTO::IsDefaultDotType() { return nDotTyp == 0 ? 1 : 0; }
