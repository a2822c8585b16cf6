// The nozzle-check pattern of the test page, as ink planes for the driver module.
#pragma once
#include <vector>

#include "app/JobRunner.h"

namespace printerapp {

// The pattern's geometry at a resolution of resX x resY dpi (resY a multiple of 180).
struct NozzleCheck {
    int nozzles = 180;      // nozzles per ink
    int interleave = 4;     // printed rows per nozzle pitch: resY / 180
    int dashWidth = 72;     // pixels
    int steps = 10;         // dashes of a staircase before it starts again at the left
    int inkGap = 144;       // pixels between two inks' staircases
};

// One plane per ink (2 bits per pixel, largest dot): ink i's staircase starts at column
// i * (steps * dashWidth + inkGap); nozzle n prints row n * interleave, its dash at
// column (n % steps) * dashWidth of the staircase.
std::vector<JobPlane> NozzleCheckPlanes(const NozzleCheck& check, const std::vector<int>& inks);

}  // namespace printerapp
