// Reading one ink's halftoned plane from a netpbm file: PBM (P4, P1) or PGM (P5, P2) with
// maxval 1 or 3, whose pixel values are the ink levels 0..3.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct PlaneImage {
    int width = 0;               // pixels
    int height = 0;              // rows
    int maxval = 1;              // 1 or 3
    std::vector<uint8_t> pixels; // one value per pixel, row after row
};

// Reads `path` into *out. On a malformed file returns false with "PATH: what is wrong
// (where)" in *error.
bool ReadPlaneImage(const std::string& path, PlaneImage* out, std::string* error);
// The same from bytes already in memory; `name` stands for the file in messages.
bool ParsePlaneImage(const std::string& bytes, const std::string& name, PlaneImage* out, std::string* error);
