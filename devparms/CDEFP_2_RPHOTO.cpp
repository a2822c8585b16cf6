// Model-2 options: construction, Load and Save (with the print method's ink levels).
#include "devparms/CDEFP_2_RPHOTO.h"

#include "devparms/PrintMethodParms.h"
#include "host/Platform.h"

namespace {
constexpr int kDefaultInkLevels = 3;
}  // namespace

CDEFP_2_RPHOTO::CDEFP_2_RPHOTO(CPrintEnv* env) : CEpsonRPhotoDevParmsBase("DP2_", env)
{
    nStructSize = static_cast<int32_t>(sizeof(CDEFP_2_RPHOTO));
    dBaseResH = dBaseResV = 5760;
    dTopOffsetMm = kTopOffsetMm;
}

void CDEFP_2_RPHOTO::Load(CPrintEnv* env)
{
    LoadOptions(kModel2Options);
    // The ink levels belong to the print method, not to the stored options.
    CStringList fields(10);
    ReadPrintMethodFields(env, &fields);
    nInkLevels = kDefaultInkLevels;
    if (fields.GetCount() >= kInkLevelsField) nInkLevels = Atoi(fields.GetAt(kInkLevelsField - 1));
}

// The host's ink-level entries come between the model's own options and the weave block.
void CDEFP_2_RPHOTO::Save(CPrintEnv* env)
{
    const int weaveBlock = static_cast<int>(kModel2Options.Find("bEnableWeave") - kModel2Options.options);
    SaveOptions(kModel2Options, 0, weaveBlock);
    // Three ink levels are printed with two bits per pixel, any other count with one.
    if (env) {
        env->PutInt(PrEnv_InkLevels, nInkLevels);
        env->PutInt(PrEnv_BitsPerPixel, nInkLevels == 3 ? 2 : 1);
    }
    SaveOptions(kModel2Options, weaveBlock, kModel2Options.count);
}

int CDEFP_2_RPHOTO::IsDefaultDotType() { return nDotTyp == 0 ? 1 : 0; }
