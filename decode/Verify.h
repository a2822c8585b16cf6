// Checks a decoded stream against the planes it was printed from: every input dot laid down
// exactly once, at its own page position, with its own value.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "decode/Decoder.h"

// One input plane as plain data.
struct VerifyPlane {
    uint8_t ink = 0;               // colour byte of the raster blocks that print this plane (ESC i)
    int32_t width = 0;             // pixels
    int32_t height = 0;            // rows
    std::vector<uint8_t> values;   // width x height dot values, row-major: 0..3 (0/1 in 1-bit jobs)
    // Or, with values empty: rows packed at `bits` (1 or 2) per pixel, most significant first,
    // rowBytes apart, as the host hands them. Not owned: they must outlive the verification.
    const uint8_t* packed = nullptr;
    size_t rowBytes = 0;
    int bits = 2;
    // Decoded page position of input pixel (0, 0): the driver's top offset in rows
    // (1.5 mm at the vertical resolution: 43 rows at 720 dpi), column 0.
    int32_t pageRow = 0;
    int32_t pageColumn = 0;
    // Optional, width x height: nonzero where the dot is expected to be missing (a nozzle
    // marked broken prints it). Empty: every dot is expected.
    std::vector<uint8_t> expectMissing;
};

// A plane of rows packed at `bits` (1 or 2) per pixel, most significant bits first, as the
// host hands them to the driver; rowBytes apart. Placed at pageRow, column 0. It refers to
// `packed`, which must outlive it.
VerifyPlane PlaneFromPacked(uint8_t ink, int32_t width, int32_t height, const uint8_t* packed, size_t rowBytes,
                            int bits, int32_t pageRow);

struct VerifyOptions {
    bool singleDotSize = false;    // every set pixel is expected with value 1
    size_t page = 0;               // decoded page to compare
    size_t maxSamples = 8;         // faulty positions described per ink
};

// Counts for one ink. A dot printed one position off counts as one missing and one extra.
struct InkVerdict {
    uint8_t ink = 0;
    uint64_t expected = 0;         // input dots not marked as expected missing
    uint64_t found = 0;            // decoded positions holding a dot
    uint64_t missing = 0;          // expected dots with no dot at their position
    uint64_t extra = 0;            // dots where the input has none (outside the input too)
    uint64_t wrongValue = 0;       // dots at an input dot's position with another value
    uint64_t multiple = 0;         // positions laid more than once
    uint64_t markedMissing = 0;    // marked as expected missing and indeed missing
    uint64_t markedPresent = 0;    // marked as expected missing but printed
    std::vector<std::string> samples;  // "row 45, column 12 (input 12, 2): missing, want 3"

    bool Ok() const { return missing == 0 && extra == 0 && wrongValue == 0 && multiple == 0 && markedPresent == 0; }
};

struct VerifyReport {
    std::string error;                 // the stream did not decode, or the planes are inconsistent
    std::vector<InkVerdict> inks;      // input planes in their order, then inks only the stream has

    bool Ok() const;
    const InkVerdict* Ink(uint8_t ink) const;
};

// Compares page options.page of a decoded stream with the input planes.
VerifyReport VerifyDots(const DecodeResult& decoded, const std::vector<VerifyPlane>& planes,
                        const VerifyOptions& options = {});

// The same verdict as VerifyDots on Decode's result, without keeping the page: each row is
// compared as soon as the head has left it, and its storage serves the rows below. A stream that
// moves the paper back over compared rows is decoded and compared whole. `decoded`, when given,
// receives the decoder's result (its planes then hold only the rows never compared).
VerifyReport VerifyStream(const uint8_t* data, size_t n, const std::vector<VerifyPlane>& planes,
                          const VerifyOptions& options = {}, const DecodeOptions& decodeOptions = {},
                          DecodeResult* decoded = nullptr);

// A short text table, one line per ink, a verdict line and the first faulty positions.
std::string FormatVerifyReport(const VerifyReport& report);
