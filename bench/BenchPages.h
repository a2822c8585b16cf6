// The benchmark's pages: 8 inks of 2-bit halftoned content at the job's resolution.
#pragma once
#include <vector>

#include "app/JobRunner.h"

enum class PageContent {
    Ordered,    // smooth picture, 4 x 4 ordered dither: compresses about 8:1
    Diffusion,  // smooth photo-like picture, serpentine Floyd-Steinberg: noisy, poorly compressible
    Sparse,     // a few pictures and text-like lines on a mostly empty page
};

// A page of widthMm x heightMm at resX x resY dpi; built once per set of arguments.
const std::vector<JobPlane>& BenchPage(PageContent content, double resX, double resY, double widthMm, double heightMm);
