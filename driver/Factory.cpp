// Create: the module's one export; builds the driver of the model the settings name.
#include "devparms/CDEFP_1_RPHOTO.h"
#include "devparms/CDEFP_2_RPHOTO.h"
#include "driver/CEpsonPhotoR2000.h"
#include "driver/CEpsonPhotoR3000.h"
#include "host/Os.h"

namespace {
constexpr int kModelR2000 = 1;
constexpr int kModelR3000 = 2;
}  // namespace

extern "C" RPHOTO_MODULE_EXPORT IPrinterDriver* Create(CPrintEnv* pEnv)
{
    if (!pEnv) return nullptr;
    switch (pEnv->GetInt(PrEnv_UID) & 0xFF) {
    case kModelR2000: {
        auto* parms = new CDEFP_1_RPHOTO(pEnv);
        auto* driver = new CEpsonPhotoR2000(pEnv, parms);
        driver->m_nInkMode = parms->inkMode;  // after the host base has loaded the stored options
        return driver;
    }
    case kModelR3000:
        return new CEpsonPhotoR3000(pEnv, new CDEFP_2_RPHOTO(pEnv));
    default:
        return nullptr;
    }
}
