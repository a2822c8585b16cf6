// Pictures of a decoded page: one PGM per ink, and a colour preview with a legend of the inks.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "decode/Decoder.h"

struct RgbImage {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;  // row-major, 3 bytes a pixel
};

// The page as printed: each ink in its display colour, blended by multiplication, dot value v
// covering v/3 of a pixel (a set pixel fully at 1 bit per pixel); scaled down by area averaging
// to square pixels at most maxWidth wide (and 8 Mpixels in all); only the inked area of the
// page, from its topmost and leftmost dot to its lowest and rightmost; a legend strip of ink swatches and names below.
RgbImage RenderPreview(const DecodedPage& page, int maxWidth);

// Writes the picture as PNG into an open file; false when a write failed.
bool WritePng(const RgbImage& image, FILE* f);
// Binary PGM of one ink's dot values (maxval 3) over the inked area of the page: from the
// topmost row and leftmost column with a dot of any ink to the lowest and rightmost.
bool WritePlanePgm(const DecodedPage& page, const InkPlane& plane, FILE* f);
// The same into a file by name; false with "PATH: why" in `error` on failure.
bool WritePng(const RgbImage& image, const std::string& path, std::string& error);
bool WritePlanePgm(const DecodedPage& page, const InkPlane& plane, const std::string& path, std::string& error);
