// Prints one page of a PAPPL job: rows of 8-bit sRGB or grey pixels go through the separation
// and halftoning into the driver module (made through Create) and its bytes to the device.
#pragma once
#include <memory>
#include <string>

#include <pappl/pappl.h>

#include "rip/PageRip.h"

class DriverModule;

namespace printerapp {

// The geometry of one page's raster as the source delivers it.
struct PageRaster {
    int width = 0, height = 0;  // source pixels and rows of the whole sheet
    int resX = 1440, resY = 720;  // printer dpi
    int stepX = 1, stepY = 1;     // printer pixels per source pixel, across and down
    rip::PixelFormat format = rip::PixelFormat::kRgb8;
};

// The module the application loaded at start.
void SetDriverModule(const DriverModule* module);
const DriverModule* LoadedDriverModule();

class PagePrinter {
public:
    PagePrinter();
    ~PagePrinter();
    // Builds the store, the driver and the page stage from the job's options and the raster's
    // geometry, and sends the job's start stream. False with the job's message set on failure.
    bool Start(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device, const PageRaster& raster);
    // Source row `y` of the sheet; rows and pixels in the margins are left out.
    bool Row(unsigned y, const unsigned char* line);
    // Sends what is pending and the end stream.
    bool Finish();
    const std::string& Error() const { return m_error; }

private:
    struct State;
    std::unique_ptr<State> m_state;
    std::string m_error;
};

}  // namespace printerapp
