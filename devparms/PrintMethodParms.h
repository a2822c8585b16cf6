// The current print method's parameter string ("$Parms$" + method name), split into fields.
#pragma once
#include "host/CString.h"
#include "host/PrintEnv.h"

// Fields are counted from 1 by their users; field n is list->GetAt(n - 1). A store without
// the method's parameter string (or a null store) gives an empty list.
void ReadPrintMethodFields(const CPrintEnv* env, CStringList* list);
