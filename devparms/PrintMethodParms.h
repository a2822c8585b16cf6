// The current print method's parameter string ("$Parms$" + method name), split into fields.
#pragma once
#include "host/CString.h"
#include "host/PrintEnv.h"

// Fields are counted from 1 by their users; field n is list->GetAt(n - 1). A store without
// the method's parameter string (or a null store) gives an empty list.
void ReadPrintMethodFields(const CPrintEnv* env, CStringList* list);

// The fields the driver reads.
constexpr int kInkLevelsField = 5;       // ink levels of model 2
constexpr int kDotSizeField = 6;         // model 2's dot size, less 16
constexpr int kSingleDotSizeField = 7;   // nonzero: every set pixel prints as the smallest dot
