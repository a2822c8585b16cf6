// The machine-readable summary of a decoded stream (JSON).
#pragma once
#include <string>

#include "decode/Decoder.h"

// Inks, dots per ink and dot size, passes, feeds, page size and dpi, bytes per command kind.
std::string SummaryJson(const DecodeResult& result);
