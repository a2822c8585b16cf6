// Runs one print job through a driver as the host does: open, start stream, output set-up,
// the rows from top to bottom, output end, end stream, close; from planes held in memory
// into an output sink.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "host/PrinterDriver.h"

struct PlaneImage;

// One ink's plane at the job's resolution, packed at the job's bit depth (most significant
// bits first), ready to hand to the driver row by row.
struct JobPlane {
    int color = 0;                 // host colour identifier
    int width = 0;                 // pixels
    int height = 0;                // rows
    int rowBytes = 0;              // bytes of one packed row
    std::vector<uint8_t> packed;   // height rows of rowBytes bytes
    const uint8_t* Row(int y) const { return packed.data() + static_cast<size_t>(y) * static_cast<size_t>(rowBytes); }
};

// Packs an image's values at `bits` per pixel. False with a message when a value does not
// fit (a level above 1 in a 1-bit job).
bool PackPlane(const PlaneImage& image, int bits, int color, JobPlane* out, std::string* error);
// The same a row at a time: StartPlane sizes the plane (all zero), PackRow packs row y of
// `width` values into `dst` (zeroed).
void StartPlane(int width, int height, int bits, int color, JobPlane* out);
bool PackRow(const uint8_t* src, int width, int bits, int y, uint8_t* dst, std::string* error);

struct JobDescription {
    double resX = 1440, resY = 720;  // dpi
    int bits = 2;                    // 1 or 2
    int compression = 1;             // 1: PackBits
    std::string jobName = "rphoto";
    std::string contextName = "rphoto print";  // the job-open context's name
    std::string mediaName = "ISO A4";
    double mediaWidthMm = 210, mediaLengthMm = 297;
    CDRc margins{3, 3, 3, 3};        // mm
};

struct JobProgress {
    int rowsDone = 0;
    int rows = 0;
    double seconds = 0;
    uint64_t rasterBytes = 0;        // bytes of input raster handed to the driver so far
};

struct JobOutcome {
    int started = 0;                 // the start stream went out
    int exitResult = 0;              // OutputExit's result: the job's success
    int ended = 0;                   // the end stream went out
    uint64_t bytesOut = 0;
    uint64_t rasterBytes = 0;        // input raster of the whole page
    double seconds = 0;
    bool Ok() const { return started && exitResult && ended; }
};

// The driver must come from the module's Create (its device parameters send the streams).
// All planes have the same size. `progress` is called every few rows when given.
JobOutcome RunJob(CPrinterDriverBase& driver, const JobDescription& job, const std::vector<JobPlane>& planes,
                  IOutputSink& sink, const std::function<void(const JobProgress&)>& progress = {});
