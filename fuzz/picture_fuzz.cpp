// libFuzzer target for the picture loader: any bytes must load and stream to a small page or
// be refused with a message, never crash. Run with -rss_limit_mb to hold memory.
#include <cstddef>
#include <cstdint>
#include <string>

#include "rip/PictureSource.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string error;
    auto source = rip::PictureSource::OpenMemory(data, size, "input", &error);
    if (!source) {
        if (error.empty()) __builtin_trap();
        return 0;
    }
    // Big headers are refused before decoding; the page is small, so every run is quick.
    source->SetPixelLimit(4u << 20);
    rip::PlaceRequest request;
    request.pictureWidth = source->Info().width;
    request.pictureHeight = source->Info().height;
    request.areaWidth = 48;
    request.areaHeight = 64;
    const rip::Placement place = rip::PlacePicture(request);
    size_t rows = 0;
    const bool ok = source->Stream(place, 48, 64, 720, 720, rip::Intent::kRelative,
                                   [&](const uint16_t*, int n, size_t) { rows += static_cast<size_t>(n); return true; }, &error);
    if (ok && rows != 64) __builtin_trap();
    if (!ok && error.empty()) __builtin_trap();
    return 0;
}
