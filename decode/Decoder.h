// Decoder of ESC/P2 and remote-mode printer streams: every command, and every dot laid on the page.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "decode/InkPlane.h"

struct DecodeOptions {
    // Keep the pass and nozzle of every dot: 8 bytes a position beside the 2 bits of its value.
    // A full A4 page at 1440 x 720 dpi holds about 70 Mpixels per ink, so big jobs are decoded
    // without it.
    bool trackOrigins = true;
    int32_t maxRows = 1 << 20;             // page limit in vertical units
    int32_t maxColumns = 1 << 18;          // page limit in horizontal units
    // What these printers can print: the widest medium (13 in) and the longest page (A3+,
    // 483 mm) at the stream's resolution; a dot beyond either is an error.
    double maxPaperWidthMm = 330.2;
    double maxPaperLengthMm = 483;
    // Together with a stream of at most 240 MiB and a preview of at most 8 Mpixels, these keep
    // `rphoto decode` under 1 GiB whatever the stream says.
    // Storage of all ink planes together: 2 bits a stored position (a full A4 page at 1440 x 720
    // dpi in 8 inks takes about 200 MiB), a byte more in rows with a position printed twice.
    uint64_t maxPlaneBytes = 448ull << 20;
    uint64_t maxListingBytes = 128ull << 20;  // the commands and raster blocks kept
    // One PackBits block unpacked (the widest block these printers take is under 4 MiB).
    uint64_t maxBlockBytes = 32ull << 20;
    size_t maxWarnings = 100;              // later warnings are counted, not kept
};

// One decoded command, as the printer read it.
struct StreamCommand {
    size_t offset = 0;   // of its first byte
    size_t length = 0;   // bytes, parameters and raster data included
    std::string name;    // "ESC ( v", "ESC i", "MI" (remote-mode records by their two letters)
    std::string text;    // the arguments in words: "advance 117 lines"
    bool remote = false; // a record inside remote mode
};

// One ESC i block and where its dots went.
struct RasterBlock {
    size_t command = 0;      // index into DecodeResult::commands
    int page = 0;
    uint32_t pass = 0;       // head pass over the whole job
    uint8_t ink = 0;         // colour byte
    int compression = 0;     // 0 raw, 1 PackBits
    int bitsPerPixel = 2;
    int bytesPerLine = 0;
    int lines = 0;
    size_t dataBytes = 0;    // bytes as sent (compressed size)
    int32_t row = 0;         // page row of raster line 0
    int32_t column = 0;      // page column of pixel 0
    int32_t rowStep = 1;     // page rows between raster lines (nozzle pitch)
    int32_t columnStep = 1;  // page columns between pixels (dot pitch)
    uint64_t dots = 0;       // non-zero pixels
};

// A page between form feeds: one plane per ink, in order of first use.
struct DecodedPage {
    std::vector<InkPlane> planes;
    int32_t dpiX = 0, dpiY = 0;   // of page columns and rows
    uint32_t passes = 0;          // head passes that printed on this page
    uint32_t feeds = 0;           // vertical moves (ESC ( v, ESC ( V, LF)
    int64_t feedLines = 0;        // their sum in page rows
    // Declared paper, in page columns / rows (0 when the stream did not say).
    int32_t paperColumns = 0, paperRows = 0;

    const InkPlane* Plane(uint8_t ink) const;
    int32_t Width() const;   // 1 + rightmost column with a dot of any ink
    int32_t Height() const;  // 1 + lowest row with a dot of any ink
    int32_t Top() const;     // topmost row with a dot of any ink (0 when there is none)
    int32_t Left() const;    // leftmost column with a dot of any ink (0 when there is none)
};

struct DecodeIssue {
    size_t offset = 0;
    std::string command;  // "ESC i", "remote MI"; empty when between commands
    std::string message;
    std::string Text() const;  // "offset 0x00012a: ESC i: PackBits run overflows the block"
};

struct DecodeResult {
    std::vector<StreamCommand> commands;
    std::vector<RasterBlock> blocks;
    std::vector<DecodedPage> pages;
    std::vector<DecodeIssue> warnings;
    size_t warningsDropped = 0;
    std::optional<DecodeIssue> error;  // decoding stops at the first error
    size_t bytes = 0;                  // stream length

    bool Ok() const { return !error; }
    uint32_t Passes() const;  // head passes over the whole job
};

// Decodes a whole stream. Never throws for bad input: the first fault ends decoding and is
// reported in `error`, with everything decoded before it kept.
DecodeResult Decode(const uint8_t* data, size_t n, const DecodeOptions& options = {});
