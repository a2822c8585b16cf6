// Create: the module's one export. (Being built: returns no driver yet.)
#include "host/PrinterDriver.h"

extern "C" __attribute__((visibility("default"))) IPrinterDriver* Create(CPrintEnv* pEnv)
{
    (void)pEnv;
    return nullptr;
}
