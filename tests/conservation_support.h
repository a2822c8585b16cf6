// The conservation suite's job rig: a job described by its settings and page content, run
// through the module's Create as the host runs it, decoded, and compared dot by dot.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "decode/Decoder.h"
#include "decode/Verify.h"
#include "driver/CEpsonRPhotoBase.h"
#include "host/DevParms.h"
#include "host/HostTypes.h"
#include "host/OutputSink.h"
#include "host/PrintEnv.h"

extern "C" IPrinterDriver* Create(CPrintEnv* pEnv);

namespace conservation {

struct Method {
    const char* name;
    int resX, resY;
    int hp, vp;        // horizontal and interleave passes the printer head makes
    int topOffset;     // rows: 1.5 mm at resY, rounded
};

// Horizontal passes follow the head's 360 dpi (720 dpi from 720 dpi up), interleave passes
// its 180 dpi nozzle pitch.
inline const std::vector<Method>& Methods()
{
    static const std::vector<Method> m = {
        {"360x180", 360, 180, 1, 1, 11},   {"360x360", 360, 360, 1, 2, 21},   {"720x720", 720, 720, 1, 4, 43},
        {"1440x720", 1440, 720, 2, 4, 43}, {"2880x720", 2880, 720, 4, 4, 43}, {"1440x1440", 1440, 1440, 2, 8, 85},
        {"5760x1440", 5760, 1440, 8, 8, 85},
    };
    return m;
}

inline const std::vector<int>& Ratios()
{
    static const std::vector<int> r = {1, 2, 3, 4, 6, 8, 12, 20};
    return r;
}

enum class Content { Random, Lines, Gradient };
const char* ContentName(Content c);

struct JobConfig {
    int model = 2;
    int method = 0;               // index into Methods()
    int bits = 2;
    bool weave = true;
    int ratio = 6;                // "WeaveRatio"
    bool compress = true;
    Content content = Content::Random;
    bool longGap = false;         // the empty run inside the page is longer than a band
    int width = 37;               // pixels
    uint32_t seed = 1;
    bool singleDotSize = false;   // the print method's single-dot-size flag
    bool simulateBroken = false;  // "bEnableBrokenNozzles"
    std::vector<int> brokenNozzles;  // nozzles marked broken

    const Method& M() const { return Methods()[static_cast<size_t>(method)]; }
    std::string Name() const;
};

// The page as values, one plane per ink.
struct Page {
    int width = 0, height = 0;
    std::vector<int> hostColors;            // host colour identifier per plane
    std::vector<uint8_t> inks;              // colour byte each plane is printed with
    std::vector<std::vector<uint8_t>> px;   // [plane][y * width + x]
    bool RowEmpty(int y) const;
};

Page MakePage(const JobConfig& c);

struct JobRun {
    std::string bytes;          // the whole stream: start stream, raster, end stream
    int exitResult = 0;
    int started = 0, ended = 0;
    int advancedRows = 0;       // the driver's own count after the output
    int hPasses = 0, vPasses = 0;
    int weaveRatio = 0;         // the ratio the weave ran with (1 with the weave off)
};

JobRun RunJob(const JobConfig& c, const Page& page);

DecodeResult DecodeRun(const JobRun& run, bool trackOrigins);

// The input planes placed where the driver puts the page: below the top offset, at column 0.
std::vector<VerifyPlane> VerifyPlanes(const JobConfig& c, const Page& page);

// The stream's vertical moves against the driver's advanced rows, the horizontal positions
// sent against the columns the decoder placed the blocks at, moves forward, blocks of at most
// 180 lines and no decoder warnings; "" when all hold.
std::string CheckBookkeeping(const JobConfig& c, const JobRun& run, const DecodeResult& d);

// Runs, decodes and compares one configuration; returns "" or what went wrong. ratioInUse,
// when given, receives the weave ratio the driver ran with.
std::string CheckConservation(const JobConfig& c, int* ratioInUse = nullptr);

}  // namespace conservation
