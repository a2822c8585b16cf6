// The print head both models share.
#pragma once

constexpr int kNozzles = 180;           // nozzles per colour, 1/180 inch apart
constexpr double kTopOffsetMm = 1.5;    // the head's first line below the top margin
