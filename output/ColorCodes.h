// The raster command's colour byte for each host colour identifier.
#pragma once
#include <cstdint>

// Colour code of host colour identifier `id`; identifiers outside the table give 0x00.
uint8_t RasterColorCode(int id);
// Model 1's code for photo black ink on its black plane (host colour 0).
constexpr uint8_t kPhotoBlackColorCode = 0x40;
