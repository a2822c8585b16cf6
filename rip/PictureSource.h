// Loading a picture with libvips: JPEG, PNG, TIFF (8 or 16 bits, grey, RGB, CMYK), WebP and
// PDF pages. The picture is streamed top to bottom (sequential access) through turning,
// Lanczos resampling and placing on the page, then converted by lcms2 from its embedded
// profile (sRGB when it has none) to the working space (sRGB, 16 bits per sample).
// A picture that needs turning is read with random access (held at its own size, never at
// print resolution).
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "rip/Placement.h"

namespace rip {

enum class Intent { kRelative, kPerceptual };

struct PictureInfo {
    int width = 0, height = 0;  // pixels (PDF: at 72 dpi)
    double dpiX = 72, dpiY = 72;
    bool pdf = false;
    std::string loader;         // libvips' loader name
};

// Receives working-space rows: `rows` rows of width x 3 samples, `stride` samples apart.
using RowConsumer = std::function<bool(const uint16_t* rgb, int rows, size_t stride)>;

class PictureSource {
public:
    // Reads the header of `path` (page counts from 1). Null with "PATH: what" in *error.
    static std::unique_ptr<PictureSource> Open(const std::string& path, int page, std::string* error);
    // The same from bytes in memory; `name` stands for the file in messages.
    static std::unique_ptr<PictureSource> OpenMemory(const void* data, size_t size, const std::string& name,
                                                     std::string* error);
    ~PictureSource();

    const PictureInfo& Info() const;
    // Pictures above this many pixels are refused before any is decoded.
    void SetPixelLimit(uint64_t pixels);
    // Streams the placed picture on an area of areaWidth x areaHeight colour pixels at the
    // given resolution; white around it. False with "NAME: what" in *error when the picture
    // is damaged or the consumer stopped.
    bool Stream(const Placement& place, int areaWidth, int areaHeight, double dpiX, double dpiY, Intent intent,
                const RowConsumer& consumer, std::string* error);

    struct Impl;  // the loader's state, known only to its source file

private:
    PictureSource();
    std::unique_ptr<Impl> m;
};

}  // namespace rip
