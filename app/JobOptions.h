// Parsing of the job options that several commands share.
#pragma once
#include <string>

#include "host/HostTypes.h"

// "HxV" in dpi, e.g. "1440x720"; throws CommandError otherwise.
void ParseMethod(const std::string& method, double* h, double* v);
// "L,T,R,B" in mm, each a non-negative number; throws CommandError otherwise.
CDRc ParseMargins(const std::string& text);
