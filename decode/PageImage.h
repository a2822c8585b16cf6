// Pictures of a decoded page: one PGM per ink, and a colour preview with a legend of the inks.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "decode/Decoder.h"

struct RgbImage {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;  // row-major, 3 bytes a pixel
};

// The page as printed: each ink in its display colour, blended by multiplication, dot value v
// covering v/3 of a pixel (a set pixel fully at 1 bit per pixel); scaled down by area averaging
// to square pixels at most maxWidth wide; a legend strip of ink swatches and names below.
RgbImage RenderPreview(const DecodedPage& page, int maxWidth);

// Each writes a temporary file beside `path` and renames it; false with `error` set on failure.
bool WritePng(const RgbImage& image, const std::string& path, std::string& error);
// Binary PGM of one ink's dot values (maxval 3), as wide and tall as the page's dots.
bool WritePlanePgm(const DecodedPage& page, const InkPlane& plane, const std::string& path, std::string& error);
