// Model-1 options: construction, Load and Save.
#include "devparms/CDEFP_1_RPHOTO.h"

CDEFP_1_RPHOTO::CDEFP_1_RPHOTO(CPrintEnv* env) : CEpsonRPhotoDevParmsBase("DP1_", env)
{
    nStructSize = static_cast<int32_t>(sizeof(CDEFP_1_RPHOTO));
    dBaseResH = dBaseResV = 5760;
    dTopOffsetMm = 1.5;
}

// Both work on the store given at construction; the argument is the host's and unused.
void CDEFP_1_RPHOTO::Load(CPrintEnv*)
{
    nPaperTyp = GetPrefixedInt("nPaperTyp", 18);
    strPaperTyp = GetPrefixedString("strPaperTyp", "");
    nMediaSource = GetPrefixedInt("nMediaSource", 0);
    bBidirectional = GetPrefixedInt("bBidirectional", 1);
    bDuplexPrint = GetPrefixedInt("bDuplexPrint", 0);
    nBottomMargin = GetPrefixedInt("nBottomMargin", 0);
    nPlateGap = GetPrefixedInt("nPlateGap", 0);
    bPlatenGapBiDirectional = GetPrefixedInt("bPlatenGapBiDirectional", 0);
    inkMode = GetPrefixedInt("inkMode", 0);
    bMoveFullHeadWidth = GetPrefixedInt("bMoveFullHeadWidth", 1);
    LoadWeaveBlock();
}

void CDEFP_1_RPHOTO::Save(CPrintEnv*)
{
    PutPrefixedInt("nPaperTyp", nPaperTyp);
    PutPrefixedString("strPaperTyp", strPaperTyp);
    PutPrefixedInt("nMediaSource", nMediaSource);
    PutPrefixedInt("bBidirectional", bBidirectional);
    PutPrefixedInt("bDuplexPrint", bDuplexPrint);
    PutPrefixedInt("nBottomMargin", nBottomMargin);
    PutPrefixedInt("nPlateGap", nPlateGap);
    PutPrefixedInt("bPlatenGapBiDirectional", bPlatenGapBiDirectional);
    PutPrefixedInt("inkMode", inkMode);
    PutPrefixedInt("bMoveFullHeadWidth", bMoveFullHeadWidth);
    SaveWeaveBlock();
}
