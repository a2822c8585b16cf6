// The raster image processor's page stage: rows of 8-bit sRGB or grey pixels in, top to
// bottom; separated into the model's inks, halftoned and handed row by row to a RowSink
// (normally a StreamJob that feeds the driver module).
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CPrintEnv;

namespace rip {

enum class HalftoneMethod { kDiffusion, kMask };
enum class PixelFormat { kRgb8, kGrey8, kRgb16 };  // kRgb16: working-space RGB, native-endian

// Everything the page stage needs to know, fixed at page start.
struct PageSettings {
    int modelId = 2;                 // 1 R2000, 2 R3000
    int width = 0;                   // page raster in printer pixels
    int height = 0;                  // rows
    double resX = 1440, resY = 720;  // dpi
    // Input rows may be coarser than the printer raster: each input pixel covers stepX
    // printer pixels across and each input row stepY printer rows (1 = one to one).
    int stepX = 1, stepY = 1;
    int bits = 2;                    // bits per pixel handed to the module, 1 or 2
    int inkLevels = 3;               // drop sizes available (1..3) with 2 bits
    bool singleDotSize = false;      // the print method prints every dot as one size
    int blackInkMode = 0;            // model 1: 0 photo black, 1 matte black; model 2: 0..2 as stored
    std::string media;               // medium name from the model's table (sets the ink limit)
    bool glossOptimizer = false;     // model 1: gloss optimiser where little ink lands
    HalftoneMethod halftone = HalftoneMethod::kDiffusion;
    uint32_t seed = 1;               // same seed, same input: same bytes
    int threads = 0;                 // 0: every core; the output does not depend on it
};

// Fills the halftone and separation fields from a job's store (PrEnv_BitsPerPixel,
// PrEnv_InkLevels, the print method's single-dot-size flag, black-ink mode, medium, gloss
// optimiser) for the given model and page geometry.
PageSettings PageSettingsFromStore(const CPrintEnv& store, int modelId, double resX, double resY, int width,
                                   int height);

// The host colour identifiers of a model's inks, in the order PageRip hands out planes.
std::vector<int> ModelInks(int modelId);

// Receives halftoned rows in page order.
class RowSink {
public:
    virtual ~RowSink() = default;
    // One row with ink: planes[i] is ink i's row packed at `bits` per pixel, most significant
    // bits first, (width * bits + 7) / 8 bytes. False stops the page (e.g. a failed write).
    virtual bool DataRow(const uint8_t* const* planes) = 0;
    // `count` rows without any ink.
    virtual bool EmptyRows(int count) = 0;
};

class PageRip {
public:
    PageRip(const PageSettings& settings, RowSink& sink);
    ~PageRip();
    PageRip(const PageRip&) = delete;
    PageRip& operator=(const PageRip&) = delete;

    const PageSettings& Settings() const;
    // Host colour identifier of each plane handed to the sink.
    const std::vector<int>& Colors() const;

    // Input rows, top to bottom, each ceil(width / stepX) pixels; `stride` bytes apart (0:
    // packed). False once the sink refused a row or more rows than the page holds arrive.
    bool PushRows(const uint8_t* pixels, int rows, PixelFormat format, size_t stride = 0);
    // Ends the page: rows never given are blank; everything pending reaches the sink.
    bool Finish();
    // Why PushRows or Finish returned false.
    const std::string& Error() const;

    // CPU time spent in each stage so far, summed over the threads that ran it.
    double SeparationSeconds() const;
    double HalftoneSeconds() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};

}  // namespace rip
