// What the printer remembers between commands while it reads a stream.
#pragma once
#include <cstdint>

struct PrinterState {
    // ESC ( U: units in 1/unitBase inch. Until set, the printer's default of 1/360 inch.
    bool unitsSet = false;
    uint32_t unitBase = 3600, pageUnit = 10, vertUnit = 10, horizUnit = 10;
    // ESC ( D: distance between nozzle rows and horizontal dot pitch, in 1/resBase inch.
    bool resolutionSet = false;
    uint32_t resBase = 0, nozzlePitch = 0, dotPitch = 0;
    int microWeave = 0;  // ESC ( i: non-zero puts the rows of a block next to each other
    bool graphics = false;
    // Head position: row in vertical units, column in horizontal units.
    int64_t row = 0, column = 0;
    // Declared paper, in page units; 0 when not declared.
    int64_t paperWidth = 0, paperLength = 0;
    bool formatSet = false;
    int64_t formatTop = 0, formatBottom = 0;
};
