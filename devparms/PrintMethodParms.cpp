// Reads the print method's parameter string from the settings store.
#include "devparms/PrintMethodParms.h"

void ReadPrintMethodFields(const CPrintEnv* env, CStringList* list)
{
    if (!env || !list) return;
    const CString method = env->GetString(PrEnv_PrintMethod);
    const CString key = CString("$Parms$") + method;
    Split(env->GetString(key, ""), ",", list, 1);
}
