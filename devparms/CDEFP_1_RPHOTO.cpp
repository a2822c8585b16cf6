// Model-1 options: construction, Load and Save, as the model's option table says.
#include "devparms/CDEFP_1_RPHOTO.h"

CDEFP_1_RPHOTO::CDEFP_1_RPHOTO(CPrintEnv* env) : CEpsonRPhotoDevParmsBase("DP1_", env)
{
    nStructSize = static_cast<int32_t>(sizeof(CDEFP_1_RPHOTO));
    dBaseResH = dBaseResV = 5760;
    dTopOffsetMm = kTopOffsetMm;
}

// Both work on the store given at construction; the argument is the host's and unused.
void CDEFP_1_RPHOTO::Load(CPrintEnv*) { LoadOptions(kModel1Options); }

void CDEFP_1_RPHOTO::Save(CPrintEnv*) { SaveOptions(kModel1Options, 0, kModel1Options.count); }
